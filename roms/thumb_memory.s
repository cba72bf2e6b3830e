@ THUMB loads and stores: PC-relative, register and immediate offsets, halfwords and signed
@ loads, SP-relative, PUSH/POP and STMIA/LDMIA. Case numbers: hundreds = format.
.include "testlib.inc"
.include "thumb_checks.inc"

.equ DATA, 0x02000000

.global _start
.arm
_start:
    test_begin
    tstart

@ Format 6: the word-aligned address + 4; the word is read whole.
    .p2align 2
    nop
    ldr r0, [pc, #4]          @ at an address ending in 2: reads that address + 6
    b 1f
    .hword 0
    .word 0x11223344
1:
    texpect r0, 0x11223344, 601

@ Format 7: register offsets; only the word load rotates a misaligned word.
    ldr r1, =DATA
    ldr r0, =0x11223344
    str r0, [r1]
    mov r2, #1
    ldr r0, [r1, r2]
    texpect r0, 0x44112233, 701
    ldrb r0, [r1, r2]
    texpect r0, 0x33, 702
    ldr r0, =0xAABBCCDD
    mov r2, #0x11
    strb r0, [r1, r2]
    ldr r3, [r1, #0x10]
    texpect r3, 0x0000DD00, 703

@ Format 8: halfwords and sign extension.
    ldr r0, =0x8001F280
    str r0, [r1, #0x20]
    mov r2, #0x20
    ldsb r0, [r1, r2]
    texpect r0, 0xFFFFFF80, 801
    mov r2, #0x22
    ldrh r0, [r1, r2]
    texpect r0, 0x8001, 802
    mov r2, #0x23
    ldsh r0, [r1, r2]         @ an odd address reads the addressed byte, sign-extended
    texpect r0, 0xFFFFFF80, 803
    ldr r0, =0x1234ABCD
    mov r2, #0x32
    strh r0, [r1, r2]
    ldr r3, [r1, #0x30]
    texpect r3, 0xABCD0000, 804

    tpool

@ Format 9: immediate offsets; a misaligned word is not rotated.
    ldr r1, =DATA
    add r2, r1, #1
    ldr r0, [r2, #0]
    texpect r0, 0x11223344, 901
    ldr r0, =0x55667788
    str r0, [r1, #124]
    ldr r3, [r1, #124]
    texpect r3, 0x55667788, 902
    strb r0, [r1, #31]
    ldrb r3, [r1, #31]
    texpect r3, 0x88, 903
    ldr r3, [r1, #28]
    texpect r3, 0x88000000, 904

@ Format 10: halfword immediates.
    strh r0, [r1, #62]
    ldrh r3, [r1, #62]
    texpect r3, 0x7788, 1001

@ Format 11: SP-relative.
    mov r4, sp
    ldr r0, =DATA + 0x200
    mov sp, r0
    ldr r0, =0xCAFEF00D
    str r0, [sp, #1020]
    ldr r3, [sp, #1020]
    texpect r3, 0xCAFEF00D, 1101
    ldr r2, =DATA + 0x200 + 1020
    ldr r3, [r2]
    texpect r3, 0xCAFEF00D, 1102

    tpool

@ Format 14: PUSH and POP.
    ldr r0, =DATA + 0x100
    mov sp, r0
    mov r0, #0xA
    mov r2, #0xC
    ldr r3, =0x0800ABCD
    mov lr, r3
    push {r0, r2, lr}
    mov r3, sp
    ldr r5, =DATA + 0xF4
    sub r3, r5
    tcheck eq, 1401
    ldr r3, [r5]
    texpect r3, 0xA, 1402
    ldr r3, [r5, #4]
    texpect r3, 0xC, 1403
    ldr r3, [r5, #8]
    texpect r3, 0x0800ABCD, 1404
    pop {r3, r6, r7}
    texpect r3, 0xA, 1405
    texpect r6, 0xC, 1406
    texpect r7, 0x0800ABCD, 1407
    mov r3, sp
    ldr r5, =DATA + 0x100
    sub r3, r5
    tcheck eq, 1408

    adr r0, popTarget
    add r0, #1                @ the odd word leaves THUMB state unchanged
    push {r0}
    pop {pc}
    tfail 1409
    .p2align 2
popTarget:
    mov sp, r4

    tpool

@ Format 15: STMIA writes the base back after the first store; LDMIA keeps a loaded base.
    ldr r0, =DATA + 0x40
    mov r1, #7
    stmia r0!, {r0, r1}
    ldr r2, =DATA + 0x40
    ldr r3, [r2]
    texpect r3, DATA + 0x40, 1501
    ldr r3, [r2, #4]
    texpect r3, 7, 1502
    texpect r0, DATA + 0x48, 1503
    mov r0, #9
    ldr r1, =DATA + 0x60
    .hword 0xC103             @ stmia r1!, {r0, r1}: the stored R1 is the written-back one
    ldr r2, =DATA + 0x60
    ldr r3, [r2, #4]
    texpect r3, DATA + 0x68, 1504
    ldr r0, =DATA + 0x40
    .hword 0xC803             @ ldmia r0!, {r0, r1}: the loaded R0 wins
    texpect r0, DATA + 0x40, 1505
    texpect r1, 7, 1506
    ldr r7, =DATA + 0x60
    ldmia r7!, {r2, r5}
    texpect r2, 9, 1507
    texpect r5, DATA + 0x68, 1508
    texpect r7, DATA + 0x68, 1509

    tfinish
