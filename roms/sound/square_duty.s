@ Channel 1 at frequency 1792 (512 Hz) with duty 2 and volume 15 on both sides, started by
@ the restart bit as a game does; the tone buffers at full ratio and 0 dB.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x1100                 @ channel 1 left and right
    io16 SOUND1CNT_L, 0x0000        @ no sweep
    io16 SOUND1CNT_H, 0xF080        @ volume 15, no envelope step, duty 2
    io16 SOUND1CNT_X, 0x8000 | 1792 @ restart
    watch_sound
    .ltorg
