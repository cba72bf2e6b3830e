@ Keeps much of the machine busy at once, for the save state tests: at every frame's end, where
@ states are saved, a long DMA 3 transfer started from the V-counter interrupt at line 200 is
@ still under way (so timer interrupts are held back behind it and the CPU waits inside its
@ handler), timers 2 and 3 count with part of a 1024-cycle prescaler period done, FIFOs A and
@ B play tables fed by sound DMA, the four tone channels sound, and between interrupts the
@ CPU sleeps in the boot image's Halt from THUMB code. What it sees goes into the mode 3
@ picture, the battery RAM and r4-r7.
    .arm
    .include "sound.inc"
    .global _start
_start:
    mov r0, #0x04000000
    ldr r1, =handler
    ldr r2, =0x03007FFC
    str r1, [r2]
    io16 0x000, 0x0403              @ DISPCNT: mode 3, BG2
    io16 0x004, (200 << 8) | 0x28   @ DISPSTAT: VBlank and V-counter interrupts, line 200

    sound_on 0xFF00                 @ channels 1-4 on both sides
    io16 SOUNDCNT_H, 0xFB02         @ FIFO A on timer 0, FIFO B on timer 1, both sides
    io16 SOUND1CNT_L, 0x002E        @ sweep down every 2/128 s
    io16 SOUND1CNT_H, 0xF080        @ volume 15, duty 2
    io16 SOUND1CNT_X, 0x8000 | 1200
    io16 SOUND2CNT_L, 0x2B40        @ volume 2, rising every 3/64 s
    io16 SOUND2CNT_H, 0x8000 | 1800
    wave_bank wave
    io16 SOUND3CNT_L, 0x0080        @ on, the bank just filled played
    io16 SOUND3CNT_H, 0x2000
    io16 SOUND3CNT_X, 0x8000 | 1900
    io16 SOUND4CNT_L, 0xA000
    io16 SOUND4CNT_H, 0x8000 | 0x0034

    mov r0, #0x04000000
    ldr r1, =samples_a
    str r1, [r0, #0xBC]             @ DMA1SAD
    ldr r1, =0x040000A0
    str r1, [r0, #0xC0]             @ DMA1DAD: FIFO A
    ldr r1, =samples_b
    str r1, [r0, #0xC8]             @ DMA2SAD
    ldr r1, =0x040000A4
    str r1, [r0, #0xCC]             @ DMA2DAD: FIFO B
    io16 0xC6, 0xB640               @ DMA1, DMA2: on, sound timing, words, repeat, fixed target
    io16 0xD2, 0xB640
    io16 0x100, 0xFC00              @ TM0: every 1024 cycles
    io16 0x102, 0x0080
    io16 0x104, 0xFD00              @ TM1: every 768 cycles
    io16 0x106, 0x0080
    io16 0x108, 0xFFC0              @ TM2: every 64 x 1024 cycles, interrupt
    io16 0x10A, 0x00C3
    io16 0x10C, 0xFFFE              @ TM3: every second overflow of TM2, interrupt
    io16 0x10E, 0x00C4
    io16 0x200, 0x0065              @ IE: VBlank, V-counter, timers 2 and 3
    io16 0x208, 1                   @ IME

    mov r4, #0
    mov r5, #0
    mov r6, #0
    mov r7, #0
    ldr r1, =sleep + 1
    bx r1

@ Interrupts: acknowledges them, then a V-counter start of DMA 3, a VBlank battery RAM write
@ and sound DMA restart, a pixel for each timer interrupt.
handler:
    ldr r1, [r0, #0x200]
    and r1, r1, r1, lsr #16         @ IE AND IF
    add r2, r0, #0x200
    strh r1, [r2, #2]               @ IF: acknowledged
    ldr r12, =0x03000000            @ the handler's counters
    tst r1, #0x04
    beq 1f
    ldr r2, =0x08000000
    str r2, [r0, #0xD4]             @ DMA3SAD: the program itself
    ldr r3, [r12]                   @ destination moves on each frame
    add r3, r3, #0x100
    bic r3, r3, #0x30000
    str r3, [r12]
    add r3, r3, #0x02000000
    str r3, [r0, #0xD8]             @ DMA3DAD
    ldr r2, =0x80003000             @ 0x3000 halfwords, immediate
    str r2, [r0, #0xDC]
1:
    tst r1, #0x01
    beq 2f
    ldr r2, [r12, #4]
    add r2, r2, #1
    str r2, [r12, #4]
    and r2, r2, #0xFF
    add r3, r2, #0x0E000000
    ldrb r2, [r3]                   @ battery RAM: what was there, plus one
    add r2, r2, #1
    strb r2, [r3]
    str r2, [r12, #12]
    ldr r2, =samples_a
    str r2, [r0, #0xBC]
    ldr r2, =samples_b
    str r2, [r0, #0xC8]
2:
    tst r1, #0x60
    bxeq lr
    ldr r2, [r12, #8]               @ pixel index, stepping through the screen
    ldr r3, =997
    add r2, r2, r3
    ldr r3, =38400
    cmp r2, r3
    subhs r2, r2, r3
    str r2, [r12, #8]
    add r3, r0, #0x100
    ldrh r3, [r3, #4]               @ TM1 count and the battery RAM byte as the colour
    ldr r12, [r12, #12]
    eor r3, r3, r12, lsl #10
    add r2, r2, r2
    add r2, r2, #0x06000000
    strh r3, [r2]
    bx lr
    .ltorg

    .thumb
    .thumb_func
sleep:
    swi 2                           @ Halt until an interrupt
    mov r0, #0x80
    lsl r0, r0, #19                 @ 0x04000000
    mov r1, #0x84
    lsl r1, r1, #1                  @ 0x108: TM2CNT_L
    ldrh r2, [r0, r1]
    add r4, r4, r2
    lsl r3, r4, #3
    eor r5, r3
    ldrh r2, [r0, #6]               @ VCOUNT
    add r6, r6, r2
    add r7, r7, #1
    b sleep

    .align 2
wave:
    .byte 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF
    .byte 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10
samples_a:
    .rept 16
    .fill 8, 1, 0x30
    .fill 8, 1, 0xD0
    .endr
samples_b:
    .rept 8
    .byte 0, 20, 40, 60, 80, 60, 40, 20, 0, -20, -40, -60, -80, -60, -40, -20
    .endr
