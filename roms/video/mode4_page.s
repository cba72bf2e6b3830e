@ Mode 4 showing the second page (DISPCNT bit 4), 40 KB into VideoRam. The first page is all
@ colour 100 (red) and must not show. On the second page line y uses colour y mod 64 (a blue
@ ramp); columns 0-1, 16-17, ... and lines 0, 64 and 128 use colour 0, which bitmaps draw:
@ they show the backdrop colour (yellow).
    .include "scene.inc"
    colour 0, 31, 31, 0
    colour 100, 31, 0, 0
    .set i, 1
    .rept 63
    colour i, 0, i >> 2, i >> 1
    .set i, i + 1
    .endr
    fill 0x06000000, 100 * 0x0101, 19200
    .set y, 0
    .rept 160
    fill 0x0600A000 + 240 * y, (y & 63) * 0x0101, 120
    .set y, y + 1
    .endr
    .set k, 0
    .rept 15
    fill 0x0600A000 + 16 * k, 0, 160, 0, 240
    .set k, k + 1
    .endr
    set16 0x04000000, 0x0414    @ mode 4, second page, BG2 on
    scene_end
