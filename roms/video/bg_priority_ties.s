@ Priorities and ties. Four 96x64 rectangles, placed by scrolling: BG3 yellow at (16, 16),
@ BG2 blue at (48, 40), BG0 red at (100, 8), BG1 green at (120, 56). BG0, BG2 and BG3 share
@ priority 1 (the lower number is in front among them), BG1 has priority 0 and is in front of
@ all: from the front, green, red, blue, yellow.
    .include "scene.inc"
    colour 0, 0, 0, 0
    colour 1, 31, 0, 0
    colour 2, 0, 31, 0
    colour 3, 0, 0, 31
    colour 4, 31, 31, 0
    .set k, 1
    .rept 4
    fill 0x06000000 + 64 * k, k * 0x0101, 32
    .set k, k + 1
    .endr
    .set bg, 0
    .rept 4
    .set row, 0
    .rept 8
    fill 0x0600E000 + 0x800 * bg + 64 * row, bg + 1, 12
    .set row, row + 1
    .endr
    .set bg, bg + 1
    .endr

    set16 0x04000008, 0x1C81    @ BG0CNT: priority 1, 256 colours, map 56 KB
    set16 0x0400000A, 0x1D80    @ BG1CNT: priority 0, map 58 KB
    set16 0x0400000C, 0x1E81    @ BG2CNT: priority 1, map 60 KB
    set16 0x0400000E, 0x1F81    @ BG3CNT: priority 1, map 62 KB
    set16 0x04000010, 256 - 100
    set16 0x04000012, 256 - 8
    set16 0x04000014, 256 - 120
    set16 0x04000016, 256 - 56
    set16 0x04000018, 256 - 48
    set16 0x0400001A, 256 - 40
    set16 0x0400001C, 256 - 16
    set16 0x0400001E, 256 - 16
    set16 0x04000000, 0x0F00    @ mode 0, BG0-BG3 on
    scene_end
