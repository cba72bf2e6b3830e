@ Sprites in bitmap mode 3 with BG2 at priority 1 and brightening on (BLDMOD 0x0090, EVY = 6):
@ the bitmap (colour ramps) is brightened whatever the targets say, sprites (a first target)
@ are brightened as drawn. Of four framed sprites of priorities 0, 1, 2 and 3 only the first
@ two show; sprites behind BG2 are not drawn at all in the bitmap modes.
    .include "scene.inc"
    colour 257, 31, 31, 31
    colour 258, 24, 0, 0
    .set row, 0                             @ red ramps across, blue grows down the lines
    .rept 160
    fill 0x06000000 + 480 * row, (row / 5) << 10, 240, 1
    .set row, row + 1
    .endr
    .set tile, 513                          @ sprite tiles from 0x06014000 (tile 512 on)
    .rept 16
    tile16 0x06010000 + 32 * tile, 1, 2
    .set tile, tile + 1
    .endr

    fill 0x07000000, 0x0200, 128, 0, 8
    sprite 0, 60, 0x8000 | 24, 513
    sprite 1, 60, 0x8000 | 76, 0x0400 | 513
    sprite 2, 60, 0x8000 | 128, 0x0800 | 513
    sprite 3, 60, 0x8000 | 180, 0x0C00 | 513

    set16 0x04000050, 0x0090
    set16 0x04000054, 6
    set16 0x04000024, 0                     @ BG2PC (0x100 at power-on): no transformation
    set16 0x04000026, 0x0100
    set16 0x0400000C, 0x0001
    set16 0x04000000, 0x1443                @ mode 3, BG2 and sprites on, 1D mapping
    scene_end
