@ Two envelopes: channel 1 (left) falls from 15 with step time 2, channel 2 (right) rises
@ from 0 with step time 1.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x1200                 @ channel 1 left, channel 2 right
    io16 SOUND1CNT_L, 0x0000
    io16 SOUND1CNT_H, 0xF280        @ volume 15, down, step time 2, duty 2
    io16 SOUND1CNT_X, 0x8000 | 1792 @ restart
    io16 SOUND2CNT_L, 0x0980        @ volume 0, up, step time 1, duty 2
    io16 SOUND2CNT_H, 0x8000 | 1900 @ restart
    watch_sound
    .ltorg
