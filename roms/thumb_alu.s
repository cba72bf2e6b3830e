@ THUMB register operations: shifts, ADD/SUB, immediates, the ALU operations, high registers
@ and the PC/SP address arithmetic. Case numbers: hundreds = format.
.include "testlib.inc"
.include "thumb_checks.inc"

.global _start
.arm
_start:
    test_begin
    tstart

@ Format 1: shifts by an immediate, with 0 meaning no shift, LSR #32 or ASR #32.
    ldr r1, =0x80000001
    lsl r0, r1, #1
    tcheck cs, 101
    tcheck pl, 102
    texpect r0, 2, 103
    lsl r0, r1, #0
    tcheck cs, 104            @ carry from the previous shift survives LSL #0
    tcheck mi, 105
    lsr r0, r1, #32
    tcheck eq, 106
    tcheck cs, 107
    lsr r0, r1, #1
    texpect r0, 0x40000000, 108
    asr r0, r1, #32
    tcheck mi, 109
    texpect r0, 0xFFFFFFFF, 110
    asr r0, r1, #4
    texpect r0, 0xF8000000, 111

@ Format 2: ADD/SUB with a register or a 3-bit immediate.
    ldr r1, =0xFFFFFFFF
    mov r2, #1
    add r0, r1, r2
    tcheck eq, 201
    tcheck cs, 202
    tcheck vc, 203
    ldr r1, =0x80000000
    sub r0, r1, #1
    tcheck vs, 204
    tcheck cs, 205
    texpect r0, 0x7FFFFFFF, 206
    mov r1, #2
    sub r0, r1, #3
    tcheck cc, 207
    tcheck mi, 208
    add r7, r1, #7
    texpect r7, 9, 209

@ Format 3: 8-bit immediates.
    mov r0, #0
    tcheck eq, 301
    tcheck pl, 302
    mov r6, #255
    cmp r6, #255
    tcheck eq, 303
    tcheck cs, 304
    add r6, #1
    texpect r6, 256, 305
    sub r6, #255
    tcheck ne, 306
    texpect r6, 1, 307

    tpool

@ Format 4: ALU operations.
    ldr r0, =0xF0F0F0F0
    ldr r1, =0xFF00FF00
    and r0, r1
    texpect r0, 0xF000F000, 401
    eor r0, r1
    texpect r0, 0x0F000F00, 402
    orr r0, r1
    texpect r0, 0xFF00FF00, 403
    bic r0, r1
    tcheck eq, 404
    mvn r0, r1
    texpect r0, 0x00FF00FF, 405
    tst r0, r1
    tcheck eq, 406

    mov r0, #3
    mov r1, #32
    lsl r0, r1                @ by 32: 0, C = old bit 0
    tcheck cs, 407
    tcheck eq, 408
    tpool
    mov r0, #3
    mov r1, #0
    lsl r0, r1                @ by 0: nothing changes
    tcheck cs, 409
    texpect r0, 3, 410
    ldr r0, =0x80000000
    mov r1, #40
    asr r0, r1
    texpect r0, 0xFFFFFFFF, 411
    ldr r0, =0x80000001
    mov r1, #32
    ror r0, r1                @ by 32: value kept, C = bit 31
    tcheck cs, 412
    texpect r0, 0x80000001, 413
    mov r1, #33
    ror r0, r1
    texpect r0, 0xC0000000, 414
    ldr r2, =0x100
    mov r0, #1
    lsr r0, r2                @ only the low byte of Rs counts
    texpect r0, 1, 415

    mov r0, #5
    mov r1, #3
    cmp r0, r0                @ C set
    adc r0, r1
    texpect r0, 9, 416
    mov r2, #0
    cmp r2, r1                @ C clear (borrow)
    sbc r0, r1
    texpect r0, 5, 417

    ldr r1, =0x80000000
    neg r0, r1
    tcheck vc, 418            @ V stays clear even for 0 - 0x80000000
    tcheck cc, 419
    mov r1, #0
    neg r0, r1
    tcheck cs, 420
    tcheck eq, 421
    tpool

    mov r0, #1
    mov r1, #2
    cmp r0, r1
    tcheck lt, 422
    ldr r1, =0xFFFFFFFF
    cmn r0, r1
    tcheck eq, 423

    ldr r0, =0x10001
    mov r1, #3
    mul r0, r1
    texpect r0, 0x30003, 424

    tpool

@ Format 5: high registers; R15 reads as the instruction address + 4.
    ldr r0, =0x12345678
    mov r8, r0
    mov r9, r8
    mov r1, r9
    texpect r1, 0x12345678, 501
    mov r0, #1
    add r8, r0
    mov r1, r8
    texpect r1, 0x12345679, 502
    tpool
    cmp r8, r0
    tcheck hi, 503

    .p2align 2
    mov r0, pc
movHere:
    texpect r0, movHere + 2, 504

    adr r1, movTarget
    add r1, #1                @ a THUMB target for MOV PC: bit 0 is dropped
    mov pc, r1
    tfail 505
    .p2align 2
movTarget:
    ldr r1, =addedTarget - 2
    ldr r2, =addBase
    sub r1, r2
    .p2align 2
    add pc, r1                @ PC reads as the address after this one + 2
addBase:
    tfail 506
    nop
addedTarget:

@ Formats 12 and 13: address arithmetic.
    .p2align 2
    nop
    add r0, pc, #8            @ at an address ending in 2: word-aligned address + 4 + 8
alignedHere:
    texpect r0, alignedHere + 8, 1201
    mov r1, sp
    add r0, sp, #1020
    sub r0, r1
    texpect r0, 1020, 1202
    add sp, #-508
    mov r0, sp
    sub r1, r0
    texpect r1, 508, 1301
    add sp, #508

    tfinish
