@ ARM data processing: results, flags and the shifter carry-out, checked from inside.
    .include "testlib.inc"
    .global _start
    .arm
_start:
    test_begin

    @ Logical operations with S take C from the shifter; immediates leave it.
    msr cpsr_f, #0x20000000         @ C set
    mov r1, #1
    ands r0, r1, #0x80000000        @ zero result, C stays set
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x60000000, 1
    ldr r1, =0x80000001
    movs r0, r1, lsl #1             @ C = old bit 31
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r0, 2, 2
    expect r4, 0x20000000, 3
    movs r0, r1, lsr #32            @ 0, C = bit 31
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r0, 0, 4
    expect r4, 0x60000000, 5
    movs r0, r1, asr #32            @ sign fill
    expect r0, 0xFFFFFFFF, 6
    msr cpsr_f, #0                  @ C clear
    movs r0, r1, rrx                @ C = bit 0, old C into bit 31
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r0, 0x40000000, 7
    expect r4, 0x20000000, 8
    msr cpsr_f, #0x20000000         @ each check leaves Z and C set
    mov r0, r1, rrx                 @ C stays set without S
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r0, 0xC0000000, 9
    expect r4, 0x20000000, 10

    @ Register-specified amounts.
    mov r2, #32
    movs r0, r1, lsl r2             @ 0, C = bit 0
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x60000000, 11
    mov r2, #33
    movs r0, r1, lsr r2             @ 0, C = 0
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x40000000, 12
    mov r2, #0x100                  @ low byte 0: unchanged, C unchanged
    msr cpsr_f, #0x20000000
    movs r0, r1, ror r2
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r0, 0x80000001, 13
    expect r4, 0xA0000000, 14
    mov r2, #4
    mov r0, r1, ror r2
    expect r0, 0x18000000, 15

    @ Arithmetic flags.
    ldr r1, =0x7FFFFFFF
    adds r0, r1, #1                 @ N and V
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x90000000, 16
    mov r1, #0
    subs r0, r1, #1                 @ borrow: C clear
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x80000000, 17
    rsbs r0, r1, #1                 @ 1 - 0
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r0, 1, 18
    expect r4, 0x20000000, 19
    mov r1, #10
    sbc r0, r1, #3                  @ C set: 10 - 3
    expect r0, 7, 20
    msr cpsr_f, #0
    sbc r0, r1, #3                  @ C clear: 10 - 3 - 1
    expect r0, 6, 21
    msr cpsr_f, #0
    rsc r0, r1, #3                  @ 3 - 10 - 1
    expect r0, 0xFFFFFFF8, 22
    mvn r0, #0
    adds r0, r0, #1                 @ carry out, zero
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x60000000, 23
    cmn r1, #10                     @ flags only
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x00000000, 24
    expect r0, 0, 25
    teq r1, r1
    mrs r4, cpsr
    and r4, r4, #0x40000000
    expect r4, 0x40000000, 26

    @ ADC with RRX uses the carry from before the instruction twice.
    msr cpsr_f, #0x20000000
    mov r1, #5
    mov r2, #3
    adc r0, r1, r2, rrx
    expect r0, 0x80000007, 27

    @ R15 as an operand: + 8, and + 12 with a register-specified shift.
    mov r2, #0
1:  .word 0xE08F0212               @ add r0, pc, r2, lsl r2
    adr r1, 1b
    sub r0, r0, r1
    expect r0, 12, 28
2:  add r0, pc, #0
    adr r1, 2b
    sub r0, r0, r1
    expect r0, 8, 29

    @ BIC, ORR, EOR, MVN.
    ldr r1, =0xFF00FF00
    bic r0, r1, #0xF000000F
    expect r0, 0x0F00FF00, 30
    orr r0, r1, #0xFF
    expect r0, 0xFF00FFFF, 31
    eor r0, r1, r1, ror #8
    expect r0, 0xFFFFFFFF, 32
    mvn r0, r1
    expect r0, 0x00FF00FF, 33

    test_end
    .ltorg
