@ Channel 3 on both sides: bank 0 holds a triangle, bank 1 a square. For 30 frames the
@ channel plays bank 0 in 32-sample mode, then it switches to 64-sample mode and plays both.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x4400                 @ channel 3 left and right
    io16 SOUND3CNT_L, 0x40          @ bank 1 played: the CPU sees bank 0
    wave_bank triangle
    io16 SOUND3CNT_L, 0x00          @ bank 0 played: the CPU sees bank 1
    wave_bank square
    io16 SOUND3CNT_H, 0x2000        @ full volume
    io16 SOUND3CNT_X, 0x8000 | 1668 @ restart
    io16 SOUND3CNT_L, 0x80          @ on, 32 samples, bank 0
    wait_frames 30
    io16 SOUND3CNT_L, 0xA0          @ on, 64 samples
    watch_sound
    .ltorg
    .align 2
triangle:
    .byte 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF
    .byte 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10
square:
    .fill 8, 1, 0xFF
    .fill 8, 1, 0x00
