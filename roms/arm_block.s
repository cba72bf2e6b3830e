@ ARM block transfers: addressing modes, base in the list, empty lists and the S bit.
    .include "testlib.inc"
    .global _start
    .arm
    .equ DATA, 0x02000200
_start:
    test_begin
    ldr r9, =DATA

    @ Lowest register at the lowest address in every mode.
    mov r0, #0x10
    mov r1, #0x11
    mov r2, #0x12
    mov r10, r9
    stmia r10!, {r0-r2}
    expect r10, DATA + 12, 1
    ldr r3, [r9, #8]
    expect r3, 0x12, 2
    add r10, r9, #0x40
    stmdb r10!, {r0-r2}
    expect r10, DATA + 0x34, 3
    ldr r3, [r9, #0x34]
    expect r3, 0x10, 4
    add r10, r9, #0x40
    stmda r10, {r0-r2}
    ldr r3, [r9, #0x38]
    expect r3, 0x10, 5
    ldr r3, [r9, #0x40]
    expect r3, 0x12, 6
    add r10, r9, #0x40
    ldmib r10!, {r4, r5}            @ from DATA + 0x44 and + 0x48
    expect r10, DATA + 0x48, 7
    sub r10, r10, #0x10
    ldmda r10, {r4, r5}             @ from DATA + 0x34 and + 0x38
    expect r4, 0x10, 8
    expect r5, 0x10, 9

    @ The base in a stored list: old when lowest, updated otherwise.
    mov r0, r9
    stmia r0!, {r0, r1}
    ldr r3, [r9]
    expect r3, DATA, 10
    mov r0, #0x20
    add r1, r9, #0x10
    .word 0xE8A10003                @ stmia r1!, {r0, r1}
    ldr r3, [r9, #0x14]
    expect r3, DATA + 0x18, 11
    expect r1, DATA + 0x18, 12

    @ A loaded base keeps the loaded value.
    str r9, [r9, #0x50]
    mov r0, #0x77
    str r0, [r9, #0x54]
    add r0, r9, #0x50
    .word 0xE8B00003                @ ldmia r0!, {r0, r1}
    expect r0, DATA, 13
    expect r1, 0x77, 14

    @ An empty list transfers nothing and keeps the base.
    mov r10, r9
    .word 0xE8AA0000                @ stmia r10!, {}
    .word 0xE8BA0000                @ ldmia r10!, {}
    expect r10, DATA, 15

    @ PC in a loaded list jumps.
    adr r0, 1f
    str r0, [r9, #0x60]
    add r10, r9, #0x60
    ldmia r10, {pc}
    b fail
1:
    @ S bit in IRQ mode: the User registers are stored, and SP does not move.
    mov r0, #0x1F                   @ System mode to set the User registers
    msr cpsr_c, r0
    ldr lr, =0x5A5A
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, 0x03007F00, 16
    mov r0, #0xD2
    msr cpsr_c, r0
    mov lr, #0x14
    add sp, r9, #0x80
    .word 0xE96D400F                @ stmdb sp!, {r0-r3, lr}^
    ldr r3, [r9, #0x7C]             @ read before a check pushes below SP
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, DATA + 0x80, 17
    expect r3, 0x5A5A, 18

    @ LDM with S and without PC loads the User registers, without write-back.
    mov r0, #0x13
    str r0, [r9, #0x90]
    mov r0, #0x15
    str r0, [r9, #0x94]
    add r10, r9, #0x90
    .word 0xE8FA6000                @ ldmia r10!, {r13, r14}^
    expect r10, DATA + 0x90, 19
    expect lr, 0x14, 20             @ the IRQ link register is untouched

    @ LDM with S and PC returns to the saved mode.
    mov r0, #0x1F
    msr spsr_fc, r0
    mov r0, #0x42
    str r0, [r9, #0xA0]
    adr r0, 2f
    str r0, [r9, #0xA4]
    add sp, r9, #0xA0
    ldmfd sp!, {r0, pc}^
    b fail
2:  mrs r4, cpsr
    expect r4, 0x1F, 21
    expect lr, 0x15, 22             @ the User link register loaded above
    expect r0, 0x42, 23
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, DATA + 0xA8, 24

    test_end
fail:
    test_abort
    .ltorg
