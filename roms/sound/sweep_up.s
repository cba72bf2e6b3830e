@ Channel 1 from frequency 1500 with an upward sweep (time 1, shift 3): 1687, 1897, then
@ 2134, beyond 2047, which stops the channel and clears SOUNDCNT_X bit 0.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x1100
    io16 SOUND1CNT_L, 0x0013        @ sweep time 1, upwards, shift 3
    io16 SOUND1CNT_H, 0xF080        @ volume 15, duty 2
    io16 SOUND1CNT_X, 0x8000 | 1500 @ restart
    watch_sound
    .ltorg
