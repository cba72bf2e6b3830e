@ Sprites in mode 0 over a blue text band (BG0, priority 1, lines 64-95), one-dimensional
@ mapping. Top row: two framed 16 x 16 sprites of equal priority (entry 0, green, in front of
@ entry 5, blue); a yellow one at y = 248 showing its lower half on lines 0-7; a green one at
@ x = 504 showing its right half at columns 0-7; a 256-colour sprite (quadrants red, green /
@ blue, yellow) plain, flipped horizontally, vertically and both. Middle: a yellow sprite of
@ priority 2 behind the band and one of priority 0 in front of it; an affine sprite turned by
@ 45 degrees in a double-size box and one magnified twice and clipped to its box, its centre
@ in view. Bottom: that sprite with mosaic (blocks of 4 x 4) beside a plain one; a disabled
@ entry draws nothing.
    .include "scene.inc"
    colour 0, 6, 6, 6
    colour 1, 0, 0, 20
    colour 257, 31, 31, 31
    colour 258, 31, 0, 0
    colour 273, 31, 31, 31
    colour 274, 0, 31, 0
    colour 289, 31, 31, 31
    colour 290, 0, 0, 31
    colour 305, 31, 31, 31
    colour 306, 31, 31, 0
    colour 321, 31, 31, 31
    colour 322, 31, 0, 0
    colour 323, 0, 31, 0
    colour 324, 0, 0, 31
    colour 325, 31, 31, 0

    fill 0x06000020, 0x1111, 16         @ BG0 tile 1: solid
    fill 0x0600F800 + 64 * 8, 0x0001, 4 * 32

    tile16 0x06010020, 1, 2             @ sprite tiles 1-4: a 16 x 16 of framed tiles
    tile16 0x06010040, 1, 2
    tile16 0x06010060, 1, 2
    tile16 0x06010080, 1, 2
    tile256 0x06010100, 65, 66          @ tiles 8-15: 256-colour quadrants in white frames,
    tile256 0x06010140, 65, 67          @ red, green / blue, yellow
    tile256 0x06010180, 65, 68
    tile256 0x060101C0, 65, 69

    fill 0x07000000, 0x0200, 128, 0, 8  @ every entry disabled
    fill 0x07000006, 181                @ group 0: 45 degrees
    fill 0x0700000E, 181
    fill 0x07000016, 0xFF4B
    fill 0x0700001E, 181
    fill 0x07000026, 0x80               @ group 1: twice the size
    fill 0x0700002E, 0
    fill 0x07000036, 0
    fill 0x0700003E, 0x80

    sprite 5, 24, 0x4000 | 28, 0x2001
    sprite 0, 20, 0x4000 | 20, 0x1001
    sprite 1, 248, 0x4000 | 60, 0x3001
    sprite 2, 40, 0x4000 | 504, 0x1001
    sprite 3, 0x2000 | 20, 0x4000 | 80, 8
    sprite 4, 0x2000 | 20, 0x5000 | 104, 8
    sprite 6, 0x2000 | 20, 0x6000 | 128, 8
    sprite 7, 0x2000 | 20, 0x7000 | 152, 8
    sprite 8, 56, 0x4000 | 40, 0x3801
    sprite 9, 56, 0x4000 | 70, 0x3001
    sprite 10, 0x2300 | 56, 0x4000 | 110, 8
    sprite 11, 0x2100 | 56, 0x4200 | 160, 8
    sprite 12, 0x3000 | 110, 0x4000 | 80, 8
    sprite 13, 0x2000 | 110, 0x4000 | 104, 8
    sprite 14, 0x2200 | 110, 0x4000 | 128, 8

    set16 0x0400004C, 0x3300            @ MOSAIC: sprite blocks 4 x 4
    set16 0x04000008, 0x1F01            @ BG0CNT: priority 1, map at 62 KB
    set16 0x04000000, 0x1140            @ mode 0, BG0 and sprites on, 1D mapping
    scene_end
