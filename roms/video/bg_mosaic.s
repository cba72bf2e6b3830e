@ Mosaic with blocks of 4x4 pixels (MOSAIC = 0x33). Lines 0-79: BG0, 16 colours, a tile of
@ diagonal colour stripes, HOFS 3 (an odd start). Lines 80-159: BG1, 256 colours, a tile of
@ 64 colours (red grows to the right, green downwards). Vertically, lines 4-7 all show the
@ map at VOFS + 4; horizontally the first pixel is sampled, then every fourth from pixel 3.
    .include "scene.inc"
    colour 0, 0, 0, 0
    .set i, 0
    .rept 64
    colour i + 1, (i & 7) * 4 + 3, (i >> 3) * 4 + 3, 16
    .set i, i + 1
    .endr
    .set row, 0
    .rept 8
    .set n0, ((row + 0) & 7) + 1
    .set n1, ((row + 1) & 7) + 1
    .set n2, ((row + 2) & 7) + 1
    .set n3, ((row + 3) & 7) + 1
    .set n4, ((row + 4) & 7) + 1
    .set n5, ((row + 5) & 7) + 1
    .set n6, ((row + 6) & 7) + 1
    .set n7, ((row + 7) & 7) + 1
    fill 0x06000020 + 4 * row, n0 | (n1 << 4) | (n2 << 8) | (n3 << 12)
    fill 0x06000022 + 4 * row, n4 | (n5 << 4) | (n6 << 8) | (n7 << 12)
    .set row, row + 1
    .endr
    fill 0x06004040, 0x0201, 32, 0x0202
    fill 0x0600E000, 0x0001, 10 * 32
    fill 0x0600E800 + 10 * 64, 0x0001, 10 * 32

    set16 0x04000008, 0x1C40    @ BG0CNT: mosaic, characters 0, 16 colours, map 56 KB
    set16 0x0400000A, 0x1DC4    @ BG1CNT: mosaic, characters 16 KB, 256 colours, map 58 KB
    set16 0x04000010, 3         @ BG0HOFS
    set16 0x0400004C, 0x0033    @ MOSAIC: 4x4 background blocks
    set16 0x04000000, 0x0300    @ mode 0, BG0 and BG1 on
    scene_end
