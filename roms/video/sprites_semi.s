@ Semi-transparent sprites in mode 0, alpha blending with EVA = EVB = 8 and the blue band
@ (BG0, lines 64-95) and the backdrop as second targets (BLDMOD 0x2140). Across the band's top
@ edge: an ordinary red sprite (drawn as it is), a semi-transparent red one (blended over the
@ band and over the grey backdrop alike), and one of priority 2 that the band covers. An
@ OBJ-window sprite at the right shows nothing, as no window is on.
    .include "scene.inc"
    colour 0, 12, 12, 12
    colour 1, 0, 0, 24
    colour 257, 31, 31, 31
    colour 258, 31, 0, 0

    fill 0x06000020, 0x1111, 16
    fill 0x0600F800 + 64 * 8, 0x0001, 4 * 32
    fill 0x06010020, 0x2222, 16, 0          @ sprite tile 1: solid red
    .set tile, 2                            @ tiles 2-17: red in white frames
    .rept 16
    tile16 0x06010000 + 32 * tile, 1, 2
    .set tile, tile + 1
    .endr

    fill 0x07000000, 0x0200, 128, 0, 8
    sprite 0, 48, 0x8000 | 24, 2                @ 32 x 32, ordinary
    sprite 1, 0x0400 | 48, 0x8000 | 72, 2       @ semi-transparent
    sprite 2, 0x0400 | 48, 0x8000 | 120, 0x0802 @ semi-transparent, priority 2
    sprite 3, 0x0800 | 48, 0x8000 | 168, 2      @ OBJ window
    sprite 4, 0x0400 | 104, 0x4000 | 72, 1      @ semi-transparent, solid, on the backdrop

    set16 0x04000050, 0x2140
    set16 0x04000052, 0x0808
    set16 0x04000008, 0x1F01
    set16 0x04000000, 0x1140
    scene_end
