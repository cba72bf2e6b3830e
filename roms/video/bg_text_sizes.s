@ Text layer screen sizes with large offsets, one band of 40 lines each. Tile t (1-32) has an
@ inner colour (t - 1) mod 8 + 1 of its bank's ramp and a frame colour 12 + (t - 1) div 8, so
@ each map column can be told apart; banks 1-4 are red, green, blue and yellow ramps. Tile 40
@ (magenta) fills map areas that must never be shown.
@   lines 0-39:    BG0, 512x256, HOFS 300: right block (green) from column 5, then left (red)
@   lines 40-79:   BG1, 256x256, HOFS 300: the same as HOFS 44, red only
@   lines 80-119:  BG2, 256x512, VOFS 200: lower block rows 3-7, one ramp colour a row
@   lines 120-159: BG3, 512x512, HOFS 300 VOFS 300: lower-right (yellow), then lower-left (blue)
    .include "scene.inc"
    colour 0, 4, 4, 4
    .set bank, 1
    .rept 5
    .set i, 1
    .rept 8
    .if bank == 1
    colour 16 * bank + i, 7 + 3 * i, 0, 0
    .elseif bank == 2
    colour 16 * bank + i, 0, 7 + 3 * i, 0
    .elseif bank == 3
    colour 16 * bank + i, 0, 0, 7 + 3 * i
    .else
    colour 16 * bank + i, 7 + 3 * i, 7 + 3 * i, 0
    .endif
    .set i, i + 1
    .endr
    colour 16 * bank + 9, 31, 0, 31
    colour 16 * bank + 12, 31, 31, 31
    colour 16 * bank + 13, 0, 0, 0
    colour 16 * bank + 14, 16, 16, 16
    colour 16 * bank + 15, 31, 16, 0
    .set bank, bank + 1
    .endr

    .set t, 1
    .rept 32
    tile16 0x06000000 + 32 * t, 12 + ((t - 1) >> 3), ((t - 1) & 7) + 1
    .set t, t + 1
    .endr
    tile16 0x06000000 + 32 * 40, 9, 9

    @ BG0: blocks at 16 and 18 KB, rows 0-4
    .set row, 0
    .rept 5
    fill 0x06004000 + 64 * row, 0x1001, 32, 1
    fill 0x06004800 + 64 * row, 0x2001, 32, 1
    .set row, row + 1
    .endr
    @ BG1: block at 20 KB, rows 5-9
    .set row, 5
    .rept 5
    fill 0x06005000 + 64 * row, 0x1001, 32, 1
    .set row, row + 1
    .endr
    @ BG2: blocks at 24 and 26 KB; the upper rows 0-24 and the block after the pair are never
    @ on screen
    fill 0x06006000, 0x5028, 25 * 32
    .set row, 3
    .rept 5
    fill 0x06006800 + 64 * row, 0x2001 + row, 32
    .set row, row + 1
    .endr
    fill 0x06007000, 0x5028, 1024
    @ BG3: blocks at 32, 34, 36 and 38 KB, and a fifth never shown
    fill 0x06008000, 0x5028, 2048
    fill 0x06009000, 0x5028, 5 * 32
    fill 0x06009800, 0x5028, 5 * 32
    fill 0x06009000 + 26 * 64, 0x5028, 6 * 32
    fill 0x06009800 + 26 * 64, 0x5028, 6 * 32
    .set row, 20
    .rept 6
    fill 0x06009000 + 64 * row, 0x3001, 32, 1
    fill 0x06009800 + 64 * row, 0x4001, 32, 1
    .set row, row + 1
    .endr
    fill 0x0600A000, 0x5028, 1024

    set16 0x04000008, 0x4800    @ BG0CNT: map 16 KB, 512x256
    set16 0x0400000A, 0x0A00    @ BG1CNT: map 20 KB, 256x256
    set16 0x0400000C, 0x8C00    @ BG2CNT: map 24 KB, 256x512
    set16 0x0400000E, 0xD000    @ BG3CNT: map 32 KB, 512x512
    set16 0x04000010, 300       @ BG0HOFS
    set16 0x04000014, 300       @ BG1HOFS
    set16 0x0400001A, 200       @ BG2VOFS
    set16 0x0400001C, 300       @ BG3HOFS
    set16 0x0400001E, 300       @ BG3VOFS
    set16 0x04000000, 0x0F00    @ mode 0, BG0-BG3 on
    scene_end
