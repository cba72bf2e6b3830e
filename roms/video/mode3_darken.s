@ Mode 3 with the identity matrix set by the program: per line, red ramps over 32 pixels,
@ green steps every 32 pixels and blue grows every 4 lines. BLDMOD selects darken with no
@ target bits and BLDY = 8: the whole bitmap is darkened by half anyway.
    .include "scene.inc"
    .set y, 0
    .rept 160
    fill 0x06000000 + 480 * y, ((y >> 2) & 31) << 10, 240, 1
    .set y, y + 1
    .endr
    set16 0x04000020, 0x0100    @ BG2PA
    set16 0x04000022, 0
    set16 0x04000024, 0
    set16 0x04000026, 0x0100    @ BG2PD
    set16 0x04000050, 0x00C0    @ BLDMOD: darken, no targets
    set16 0x04000054, 8         @ BLDY
    set16 0x04000000, 0x0403    @ mode 3, BG2 on
    scene_end
