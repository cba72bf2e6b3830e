@ ARM branches: conditions, B, BL, BX into THUMB code and back, and SWI (run with the
@ arm_swi_bios boot image).
    .include "testlib.inc"
    .global _start
    .arm

@ Sets bit n of r0 for every condition n that passes.
.macro conditions
    mov r0, #0
    orreq r0, r0, #1 << 0
    orrne r0, r0, #1 << 1
    orrcs r0, r0, #1 << 2
    orrcc r0, r0, #1 << 3
    orrmi r0, r0, #1 << 4
    orrpl r0, r0, #1 << 5
    orrvs r0, r0, #1 << 6
    orrvc r0, r0, #1 << 7
    orrhi r0, r0, #1 << 8
    orrls r0, r0, #1 << 9
    orrge r0, r0, #1 << 10
    orrlt r0, r0, #1 << 11
    orrgt r0, r0, #1 << 12
    orrle r0, r0, #1 << 13
    orr r0, r0, #1 << 14
    .word 0xF3800902                @ condition 15: orr r0, r0, #0x8000 is never executed
.endm

_start:
    test_begin

    msr cpsr_f, #0x60000000         @ Z C
    conditions
    expect r0, 0x66A5, 1
    msr cpsr_f, #0x80000000         @ N
    conditions
    expect r0, 0x6A9A, 2
    msr cpsr_f, #0x90000000         @ N V
    conditions
    expect r0, 0x565A, 3
    msr cpsr_f, #0x20000000         @ C
    conditions
    expect r0, 0x55A6, 4

    @ B forwards and backwards.
    mov r0, #0
    b 2f
1:  add r0, r0, #1
    b 3f
2:  add r0, r0, #0x10
    b 1b
3:  expect r0, 0x11, 5

    @ BL leaves the return address in LR.
    bl subroutine
4:  adr r1, 4b
    sub r0, r5, r1
    expect r0, 0, 6
    expect r6, 0x5B, 7

    @ BX into THUMB code and back into ARM code.
    adr lr, 5f
    ldr r0, =thumb_code + 1
    mov r1, #0
    bx r0
5:  mrs r4, cpsr
    and r4, r4, #0x20
    expect r4, 0, 8
    expect r1, 42, 9
    expect r2, 0x22, 10

    @ A software interrupt from System mode returns to it through the boot image.
    mov r0, #0x1F
    msr cpsr_fc, r0
    msr cpsr_f, #0x80000000
    swi 0x12
6:  adr r1, 6b
    sub r0, r11, r1
    expect r0, 0, 11
    expect r12, 0x8000001F, 12
    mrs r4, cpsr
    and r4, r4, #0xFF
    expect r4, 0x1F, 13

    test_end

subroutine:
    mov r5, lr
    mov r6, #0x5B
    mov pc, lr

    .thumb
    .align 2
thumb_code:
    mov r1, #40
    add r1, #2
    mov r2, #0x22
    bx lr
    .arm
    .align 2
    .ltorg
