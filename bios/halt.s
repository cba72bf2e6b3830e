@ Sleeping and waiting: Halt, Stop, CustomHalt, IntrWait, VBlankIntrWait; and SoundBias.
    .include "bios.inc"
    .syntax unified
    .arm
    .text

@ Halt (0x02): sleeps until an enabled interrupt is requested. All registers are kept.
    .global halt
halt:
    mov r12, #IO_BASE
    mov r11, #0
    strb r11, [r12, #REG_HALTCNT]
    bx lr

@ Stop (0x03): the deep sleep that only the keypad, cartridge and serial interrupts end.
    .global stop
stop:
    mov r12, #IO_BASE
    mov r11, #0x80
    strb r11, [r12, #REG_HALTCNT]
    bx lr

@ CustomHalt (0x27): writes the low byte of r2 to HALTCNT.
    .global custom_halt
custom_halt:
    mov r12, #IO_BASE
    strb r2, [r12, #REG_HALTCNT]
    bx lr

@ VBlankIntrWait (0x05): IntrWait(1, 1).
    .global vblank_intr_wait
vblank_intr_wait:
    mov r0, #1
    mov r1, #1
    @ falls through into IntrWait

@ IntrWait (0x04): r0 = 0 returns at once when an interrupt in r1 was already seen; any other
@ r0 discards what was seen before. Then it halts until the program's handler records one of
@ the interrupts in r1 at 0x03007FF8 (the handler must OR the IF bits it acknowledges in
@ there). Returns with IME = 1, r0 = the bits found, r3 = 0. Needs IRQs enabled in the
@ caller's CPSR and the bits in IE, or it waits for ever, as on the console.
    .global intr_wait
intr_wait:
    mov r12, #IO_BASE
    mov r3, r0
    mov r11, lr
    bl intr_check
    cmp r3, #0
    bne 1f
    cmp r0, #0
    bne 2f
1:  mov r0, #0
    strb r0, [r12, #REG_HALTCNT]
    bl intr_check
    cmp r0, #0
    beq 1b
2:  mov r3, #0
    bx r11

@ With IME off: r0 = r1 AND the recorded flags, and those bits are taken out of the flags.
@ Then IME = 1. r12 = IO_BASE. Clobbers r2.
intr_check:
    mov r2, #0
    str r2, [r12, #REG_IME]
    ldrh r2, [r12, #VAR_IRQ_FLAGS]
    ands r0, r1, r2
    bicne r2, r2, r0
    strhne r2, [r12, #VAR_IRQ_FLAGS]
    mov r2, #1
    str r2, [r12, #REG_IME]
    bx lr

@ SoundBias (0x19): moves the bias level (SOUNDBIAS bits 1-9) one step of 2 at a time to
@ 0x200 when r0 is not zero, or to 0 when it is, with a short delay between steps.
@ Bits 10-15 are kept.
    .global sound_bias
sound_bias:
    mov r12, #IO_BASE
    cmp r0, #0
    movne r0, #0x200
1:  ldrh r1, [r12, #REG_SOUNDBIAS]
    mov r2, r1, lsl #22
    mov r2, r2, lsr #22             @ the level, bits 0-9
    cmp r0, #0
    bne 2f
    cmp r2, #2                      @ falling: stop below one step
    blo 4f
    sub r1, r1, #2
    b 3f
2:  cmp r2, #0x200                  @ rising
    bhs 4f
    add r1, r1, #2
3:  strh r1, [r12, #REG_SOUNDBIAS]
    mov r3, #9
5:  subs r3, r3, #1
    bne 5b
    b 1b
4:  bx lr
