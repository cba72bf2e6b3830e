@ FIFO A plays a 512 Hz square on the right only (as roms/fifo_square.s feeds it) while
@ channel 2 plays on the left only, the tones at half ratio.
    .arm
    .include "sound.inc"
    .global _start
_start:
    io16 SOUNDCNT_X, 0x80           @ master on
    io16 SOUNDCNT_H, 0x0901         @ FIFO A right, in use, timer 0; tones at half ratio
    tone_routing 0x2000             @ channel 2 left
    io16 SOUND2CNT_L, 0xF080        @ volume 15, duty 2
    io16 SOUND2CNT_H, 0x8000 | 1792 @ restart
    mov r0, #0x04000000
    ldr r3, =table
    str r3, [r0, #0xBC]             @ DMA1SAD
    ldr r1, =0x040000A0
    str r1, [r0, #0xC0]             @ DMA1DAD: FIFO A
    io16 0xC6, 0xB640               @ DMA1: on, sound timing, words, repeat, fixed target
    io16 0x100, 0xFC00              @ TM0: overflow every 1024 cycles
    io16 0x102, 0x0080
frame:
    wait_vblank
    str r3, [r0, #0xBC]             @ back to the table's start
    b frame
    .ltorg
    .align 2
table:
    .rept 16
    .fill 16, 1, 0x40
    .fill 16, 1, 0xC0
    .endr
