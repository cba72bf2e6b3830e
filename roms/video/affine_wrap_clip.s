@ Mode 2, two 128x128 affine layers with the reference point at (-10, 0). BG2 (priority 0,
@ no wraparound, identity matrix) is clipped: columns 0-9 and 138-239 and lines 128-159 show
@ BG3. BG3 (priority 1, wraparound, PB = 0.25) shows map columns 118-127 in the first ten
@ pixels of line 0 and leans a quarter pixel further right on each line.
    .include "scene.inc"
    colour 0, 0, 0, 0
    colour 17, 31, 31, 31
    .set t, 1
    .rept 16
    colour t, (t * 2) - 1, 32 - (t * 2), 8
    colour 32 + t, 4, t + 8, 31 - t
    tile256 0x06000000 + 64 * t, 17, t
    fill 0x06004000 + 64 * t, (32 + t) * 0x0101, 32
    .set t, t + 1
    .endr
    @ BG2 map (32 KB): diagonal bands, tile ((row + column) mod 16) + 1
    .set row, 0
    .rept 16
    .set col, 0
    .rept 8
    fill 0x06008000 + 16 * row + col * 2, (((row + 2 * col) & 15) + 1) | ((((row + 2 * col + 1) & 15) + 1) << 8)
    .set col, col + 1
    .endr
    .set row, row + 1
    .endr
    @ BG3 map (34 KB): vertical bands, tile column + 1
    .set row, 0
    .rept 16
    fill 0x06008800 + 16 * row, 0x0201, 8, 0x0202
    .set row, row + 1
    .endr

    set16 0x0400000C, 0x1000    @ BG2CNT: priority 0, characters 0, map 32 KB, 128x128
    set16 0x0400000E, 0x3105    @ BG3CNT: priority 1, characters 16 KB, map 34 KB, wraparound
    set16 0x04000020, 0x0100    @ BG2PA
    set16 0x04000022, 0
    set16 0x04000024, 0
    set16 0x04000026, 0x0100    @ BG2PD
    set32 0x04000028, 0xFFFFF600 @ BG2X = -10.0
    set32 0x0400002C, 0
    set16 0x04000030, 0x0100    @ BG3PA
    set16 0x04000032, 0x0040    @ BG3PB = 0.25
    set16 0x04000034, 0
    set16 0x04000036, 0x0100    @ BG3PD
    set32 0x04000038, 0xFFFFF600 @ BG3X = -10.0
    set32 0x0400003C, 0
    set16 0x04000000, 0x0C02    @ mode 2, BG2 and BG3 on
    scene_end
