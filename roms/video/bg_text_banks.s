@ Text layers and transparency. BG2 (16 colours, priority 1) shows tile 1 in bank 5 on the
@ left and bank 4 on the right of lines 0-79: nibble 0 (the tile's frame) is transparent, so
@ BG3 (256 colours, solid blue, priority 3, lines 0-119) shows through as a grid. BG1 (256
@ colours, priority 2, lines 80-159) uses colour 80, the entry BG2's bank 5 hides while its
@ tiles are drawn, and colour 16; its byte-0 pixels show BG3, or the grey backdrop below
@ line 120.
    .include "scene.inc"
    colour 0, 8, 8, 8
    colour 3, 0, 0, 24
    colour 16, 31, 31, 0
    colour 64, 31, 0, 31
    colour 65, 0, 31, 31
    colour 80, 31, 0, 0
    colour 81, 0, 31, 0

    tile16 0x06000020, 0, 1
    fill 0x06004040, 0x0303, 32
    tile256 0x06004080, 0, 80
    tile256 0x060040C0, 16, 0

    .set row, 0
    .rept 10
    fill 0x0600E000 + 64 * row, 0x5001, 15
    fill 0x0600E000 + 64 * row + 30, 0x4001, 17
    .set row, row + 1
    .endr
    fill 0x0600E800, 0x0001, 15 * 32
    .set row, 10
    .rept 10
    fill 0x0600F000 + 64 * row, 0x0002, 15
    fill 0x0600F000 + 64 * row + 30, 0x0003, 17
    .set row, row + 1
    .endr

    set16 0x0400000A, 0x1E86    @ BG1CNT: priority 2, characters 16 KB, 256 colours, map 60 KB
    set16 0x0400000C, 0x1C01    @ BG2CNT: priority 1, characters 0, 16 colours, map 56 KB
    set16 0x0400000E, 0x1D87    @ BG3CNT: priority 3, characters 16 KB, 256 colours, map 58 KB
    set16 0x04000000, 0x0E00    @ mode 0, BG1-BG3 on
    scene_end
