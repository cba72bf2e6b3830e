@ Channel 4 on the left only, shifted at its fastest (ratio 0, shift clock 0): falling from
@ volume 15 with envelope step time 1, then after 30 frames restarted at volume 15 with
@ length 60, which stops it and clears SOUNDCNT_X bit 3.
    .arm
    .include "sound.inc"
    .global _start
_start:
    sound_on 0x8000                 @ channel 4 left
    io16 SOUND4CNT_L, 0xF100        @ volume 15, down, step time 1
    io16 SOUND4CNT_H, 0x8000        @ restart
    wait_frames 30
    io16 SOUND4CNT_L, 0xF000 | 60   @ volume 15, no envelope step, length 60
    io16 SOUND4CNT_H, 0xC000        @ restart, length enabled
    watch_sound
    .ltorg
