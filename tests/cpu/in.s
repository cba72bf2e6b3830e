ldmda r6, {r0, r1}
stmia r0!, {}
