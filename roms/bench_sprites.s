@ 128 sprites of 64 x 64, 256 colours, spread so that most lines cross dozens of them; every
@ fourth entry is affine (rotated and scaled, double size). Mode 0 with one text layer.
    .include "scene.inc"
    fill 0x05000200, 0x1234, 256, 0x0133
    fill 0x05000000, 0x0842
    fill 0x05000002, 0x2108                      @ BG0 colour 1: dark grey
    fill 0x06010000, 0x0101, 0x4000, 0x0305     @ all sprite tiles: varied colours
    fill 0x06000020, 0x1111, 16
    fill 0x0600F800, 0x0001, 32 * 20
    .set e, 0
    .rept 128
    .if (e % 4) == 0
    fill 0x07000000 + 8 * e, 0x2300 | ((e * 37) % 150)
    fill 0x07000002 + 8 * e, 0xC000 | (((e / 4) % 32) << 9) | ((e * 53) % 240)
    .else
    fill 0x07000000 + 8 * e, 0x2000 | ((e * 37) % 150)
    fill 0x07000002 + 8 * e, 0xC000 | ((e & 1) << 12) | ((e * 53) % 240)
    .endif
    fill 0x07000004 + 8 * e, ((e * 64) % 1024) | ((e % 4) << 10)
    .set e, e + 1
    .endr
    .set g, 0
    .rept 32
    fill 0x07000006 + 32 * g, 0x00E0
    fill 0x0700000E + 32 * g, 0x0030
    fill 0x07000016 + 32 * g, 0xFFD0
    fill 0x0700001E + 32 * g, 0x00E0
    .set g, g + 1
    .endr
    set16 0x04000008, 0x1F03                     @ BG0 behind every sprite
    set16 0x04000000, 0x1140
    scene_end
