@ Sprites as first target outside alpha mode (BLDMOD 0x2110: sprites first target, effect
@ mode 0, the blue band BG0 and the backdrop second targets; EVA = 12, EVB = 4). Mode-1
@ sprites stay semi-transparent: they blend, the sprite taking EVA and what lies below EVB,
@ over the band and over the backdrop, which shows through the band's holes. Ordinary sprites
@ stay as they are. Left: an ordinary red sprite across the band's top edge; middle: a mode-1
@ one; right: a mode-1 one over a band with holes (its tiles' frames are transparent).
    .include "scene.inc"
    colour 0, 12, 12, 12
    colour 1, 0, 0, 24
    colour 257, 31, 31, 31
    colour 258, 31, 0, 0

    fill 0x06000020, 0x1111, 16             @ BG0 tile 1: solid; tile 2: framed by holes
    tile16 0x06000040, 0, 1
    fill 0x0600F800 + 64 * 8, 0x0001, 4 * 32
    fill 0x0600F800 + 64 * 8 + 40, 0x0002, 4, 0, 64
    fill 0x0600F800 + 64 * 8 + 42, 0x0002, 4, 0, 64
    fill 0x0600F800 + 64 * 8 + 44, 0x0002, 4, 0, 64
    fill 0x0600F800 + 64 * 8 + 46, 0x0002, 4, 0, 64
    .set tile, 2                            @ tiles 2-17: red in white frames
    .rept 16
    tile16 0x06010000 + 32 * tile, 1, 2
    .set tile, tile + 1
    .endr

    fill 0x07000000, 0x0200, 128, 0, 8
    sprite 0, 48, 0x8000 | 24, 2
    sprite 1, 0x0400 | 48, 0x8000 | 96, 2
    sprite 2, 0x0400 | 64, 0x8000 | 160, 2

    set16 0x04000050, 0x2110
    set16 0x04000052, 0x040C
    set16 0x04000008, 0x1F01
    set16 0x04000000, 0x1140
    scene_end
