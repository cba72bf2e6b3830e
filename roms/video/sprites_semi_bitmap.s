@ Semi-transparent sprites in bitmap mode 5 (frame 0, no transformation: the 160 x 128 frame,
@ all blue, in the top-left corner on a grey backdrop). Brighten (BLDY 8) with sprites a first
@ target and BG2 the only second target (BLDCNT 0x0490): the bitmap modes brighten the whole
@ line; the semi-transparent sprites straddling the frame's right and bottom edges blend over
@ the frame and are brightened over the backdrop; the ordinary one at the left is brightened.
    .include "scene.inc"
    colour 0, 12, 12, 12
    colour 257, 31, 31, 31
    colour 258, 31, 0, 0
    fill 0x06000000, 24 << 10, 160 * 128    @ frame 0: blue
    .set tile, 512                          @ sprite tiles 512-527 (the bitmap takes the rest)
    .rept 16
    tile16 0x06010000 + 32 * tile, 1, 2
    .set tile, tile + 1
    .endr

    fill 0x07000000, 0x0200, 128, 0, 8
    sprite 0, 20, 0x8000 | 16, 512          @ 32 x 32, ordinary
    sprite 1, 0x0400 | 20, 0x8000 | 144, 512
    sprite 2, 0x0400 | 112, 0x8000 | 64, 512
    sprite 3, 0x0400 | 112, 0x8000 | 144, 512

    set16 0x04000024, 0                     @ BG2PC (0x100 at power-on)
    set16 0x04000026, 0x0100                @ BG2PD
    set16 0x04000050, 0x0490
    set16 0x04000052, 0x0808
    set16 0x04000054, 8
    set16 0x04000000, 0x1445                @ mode 5, frame 0, BG2, sprites, 1D mapping
    scene_end
