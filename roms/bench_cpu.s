@ CPU benchmark workload: an endless mix of ARM data processing, loads and stores to work
@ and internal RAM, multiplies, block transfers and a THUMB subroutine called through BX.
    .arm
    .global _start
_start:
    ldr r8, =0x02000000         @ work RAM buffer
    ldr r9, =0x03000100         @ internal RAM buffer
    ldr r10, =thumb_part + 1
    mov r0, #0
    mov r1, #1
outer:
    mov r2, #64
arm_loop:
    add r0, r0, r1
    eor r1, r1, r0, lsl #3
    subs r3, r0, r1, ror #5
    orrmi r3, r3, #0x80000000
    mul r4, r0, r1
    str r0, [r8, r2, lsl #2]
    ldr r5, [r8, r2, lsl #2]
    strh r1, [r9], #2
    ldrh r6, [r9, #-2]!
    stmia r9, {r0-r3}
    ldmia r9, {r4-r7}
    subs r2, r2, #1
    bne arm_loop
    mov lr, pc
    bx r10
    b outer
    .ltorg

    .thumb
    .thumb_func
thumb_part:
    mov r2, #32
thumb_loop:
    add r0, r0, r1
    lsl r3, r0, #2
    eor r1, r3
    mov r4, r9
    str r0, [r4, #4]
    ldr r5, [r4, #4]
    sub r2, #1
    bne thumb_loop
    bx lr
