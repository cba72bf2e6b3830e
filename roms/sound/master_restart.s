@ As a square-wave demo starts its notes: the master enable alone (0x80) in SOUNDCNT_X, then
@ restarts of channel 1 (left, 512 Hz) and channel 2 (right, 1024 Hz). r6 holds SOUNDCNT_X
@ right after the restarts; after 20 frames a write tries to turn status bits 2 and 3 on and
@ 0 and 1 off, and r5 holds SOUNDCNT_X after it.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x1200                 @ channel 1 left, channel 2 right
    io16 SOUND1CNT_L, 0x0000        @ no sweep
    io16 SOUND1CNT_H, 0xF080        @ volume 15, duty 2
    io16 SOUND1CNT_X, 0x8000 | 1792 @ restart: 131072 / 256 Hz
    io16 SOUND2CNT_L, 0xF080
    io16 SOUND2CNT_H, 0x8000 | 1920 @ restart: 131072 / 128 Hz
    mov r0, #0x04000000
    ldrh r6, [r0, #SOUNDCNT_X]
    wait_frames 20
    io16 SOUNDCNT_X, 0x8C
    ldrh r5, [r0, #SOUNDCNT_X]
    watch_sound
    .ltorg
