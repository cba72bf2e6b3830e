@ Channel 3 on both sides at frequency value 1792: its 32 samples (sixteen at 15, sixteen at
@ 0) take 8 x 256 cycles each, so one period lasts 65536 cycles, 1/256 s.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x4400                 @ channel 3 left and right
    io16 SOUND3CNT_L, 0x40          @ bank 1 played: the CPU sees bank 0
    wave_bank square
    io16 SOUND3CNT_H, 0x2000        @ full volume
    io16 SOUND3CNT_L, 0x80          @ on, 32 samples, bank 0
    io16 SOUND3CNT_X, 0x8000 | 1792 @ restart
    watch_sound
    .ltorg
    .align 2
square:
    .fill 8, 1, 0xFF
    .fill 8, 1, 0x00
