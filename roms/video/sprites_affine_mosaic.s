@ Mosaic on affine sprites (MOSAIC sprite blocks of 4 x 4). Top row: a 32 x 32 sprite of red
@ tiles in white frames turned by 30 degrees, without mosaic and with it; then a 256-colour one
@ (a ramp of tiles in white frames) turned by 30 degrees and magnified 1.5 times in a double-size
@ box, with mosaic. Bottom row: the framed sprite with mosaic as an ordinary sprite and as an
@ affine one with the identity matrix, which must look alike.
    .include "scene.inc"
    colour 0, 6, 6, 6
    colour 257, 31, 31, 31
    colour 258, 31, 0, 0
    .set i, 0
    .rept 16
    colour 259 + i, 31 - i, 2 * i, 16
    .set i, i + 1
    .endr
    .set tile, 0                            @ tiles 0-15: 16 colours, framed
    .rept 16
    tile16 0x06010000 + 32 * tile, 1, 2
    .set tile, tile + 1
    .endr
    .set k, 0                               @ tiles 32-63: 256 colours, framed, a ramp
    .rept 16
    tile256 0x06010400 + 64 * k, 1, 3 + k
    .set k, k + 1
    .endr

    fill 0x07000000, 0x0200, 128, 0, 8
    sprite 0, 0x0100 | 24, 0x8000 | 16, 0                   @ affine, group 0
    sprite 1, 0x1100 | 24, 0x8000 | 72, 0                   @ affine, mosaic
    sprite 2, 0x3300 | 8, 0x8000 | (1 << 9) | 128, 32       @ 256 colours, double, group 1
    sprite 3, 0x1000 | 104, 0x8000 | 16, 0                  @ ordinary, mosaic
    sprite 4, 0x1100 | 104, 0x8000 | (2 << 9) | 72, 0       @ affine identity, mosaic
    @ Group 0: 30 degrees. Group 1: 30 degrees, magnified 1.5 times. Group 2: identity.
    set16 0x07000006, 222
    set16 0x0700000E, 0xFF80
    set16 0x07000016, 128
    set16 0x0700001E, 222
    set16 0x07000026, 148
    set16 0x0700002E, 0xFFAB
    set16 0x07000036, 85
    set16 0x0700003E, 148
    set16 0x07000046, 0x0100
    set16 0x0700004E, 0
    set16 0x07000056, 0
    set16 0x0700005E, 0x0100

    set16 0x0400004C, 0x3300                @ MOSAIC: sprite blocks 4 x 4
    set16 0x04000000, 0x1040                @ mode 0, sprites, 1D mapping
    scene_end
