ldmda r6, {r0, r1}
umull r0, r1, r2, r3
smull r0, r1, r2, r3
umlals r0, r1, r2, r3
mlas r0, r1, r2, r3
bl .+0x100
bx r1
swi 0x0C
