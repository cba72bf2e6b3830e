@ Length counters: channel 2 (left) with length 60 and channel 3 (right) with length 255
@ stop by themselves and clear their SOUNDCNT_X status bits.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x2400                 @ channel 2 left, channel 3 right
    io16 SOUND2CNT_L, 0xF080 | 60   @ volume 15, duty 2, length 60
    io16 SOUND2CNT_H, 0xC000 | 1792 @ restart, length enabled
    io16 SOUND3CNT_L, 0x00          @ the CPU sees bank 1
    wave_bank level8
    io16 SOUND3CNT_H, 0x2000 | 255  @ full volume, length 255
    io16 SOUND3CNT_L, 0xC0          @ on, bank 1 played
    io16 SOUND3CNT_X, 0xC000 | 1668 @ restart, length enabled
    watch_sound
    .ltorg
    .align 2
level8:
    .fill 16, 1, 0x88
