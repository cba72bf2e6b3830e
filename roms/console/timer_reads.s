@ A running timer is brought up to the cycle of a read of its counter and of a write of its
@ control: the counter reads the exact count, and a timer started and stopped within one
@ scheduler slice counts the cycles in between.
    .include "testlib.inc"
    .include "report.inc"
    .arm
    .global _start
_start:
    test_begin
    ldr r9, =0x04000100             @ TM0CNT_L, TM0CNT_H (+2)
    add r10, r9, #0x100             @ IE, IF (+2), IME (+8)

    @ Timer 0 at one count per cycle: ten instructions between two reads take 40 cycles from
    @ the cartridge, not 0 or a whole slice of 64.
    mov r0, #0
    strh r0, [r9]
    mov r0, #0x80
    strh r0, [r9, #0x002]
    ldrh r4, [r9]
    .rept 10
    mov r0, r0
    .endr
    ldrh r5, [r9]
    sub r6, r5, r4
    sub r6, r6, #30
    cmp r6, #20
    bls 1f
    fail_case 1
1:  mov r0, #0
    strh r0, [r9, #0x002]

    @ Started at 0xFFFE with its interrupt on and stopped about 20 cycles later, timer 0
    @ overflows and requests its interrupt, every time. IRQs stay masked in the CPSR.
    mov r0, #0x9F
    msr cpsr_c, r0
    mov r0, #0x08
    strh r0, [r10]           @ IE: timer 0
    mov r0, #1
    strh r0, [r10, #0x008]           @ IME
    ldr r7, =0xFFFE
    mov r8, #0                      @ overflows seen
    mov r6, #16                     @ tries
2:  strh r7, [r9]
    mov r0, #0x08
    strh r0, [r10, #0x002]           @ acknowledge
    mov r0, #0xC0
    strh r0, [r9, #0x002]           @ start, interrupt on overflow
    mov r0, r0
    mov r0, r0
    mov r0, #0
    strh r0, [r9, #0x002]           @ stop
    ldrh r0, [r10, #0x002]
    tst r0, #0x08
    addne r8, r8, #1
    subs r6, r6, #1
    bne 2b
    expect r8, 16, 2

    report_end
    .ltorg
