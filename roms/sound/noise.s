@ Channel 4 on both sides at volume 15, its register shifted 8192 times a second (ratio 1,
@ shift clock 5): for 30 frames with 15 bits, then restarted with 7 bits for 30 frames, then
@ restarted with shift clock 14, which stops the shifts.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x8800                 @ channel 4 left and right
    io16 SOUND4CNT_L, 0xF000        @ volume 15, no envelope step
    io16 SOUND4CNT_H, 0x8051        @ restart, 15 bits, ratio 1, shift clock 5
    wait_frames 30
    io16 SOUND4CNT_H, 0x8059        @ restart, 7 bits
    wait_frames 30
    io16 SOUND4CNT_H, 0x80E1        @ restart, shift clock 14
    watch_sound
    .ltorg
