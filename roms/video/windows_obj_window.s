@ The OBJ window: a 64x64 sprite in window mode at (80, 40) marks a region that shows only red
@ BG0; WIN0 (x 40-99, whole height) shows only the blue stripes of BG1 but does not cut into
@ the OBJ window's region; outside, both layers show over the grey backdrop.
    .include "scene.inc"
    colour 0, 12, 12, 12
    colour 1, 31, 0, 0
    colour 2, 0, 0, 31
    tile16 0x06000020, 1, 1
    tile16 0x06000040, 2, 2
    fill 0x0600F800, 0x0001, 1024
    fill 0x0600F000, 0x0002, 512, 0, 4
    fill 0x06010000, 0x1111, 1024           @ sprite tiles 0-63: solid
    fill 0x07000000, 0x0200, 128, 0, 8      @ every sprite disabled...
    set16 0x07000000, 0x0800 | 40           @ ...but sprite 0: window mode, y 40
    set16 0x07000002, 0xC000 | 80           @ 64x64, x 80
    set16 0x07000004, 0
    set16 0x04000008, 0x1F01
    set16 0x0400000A, 0x1E00
    set16 0x04000040, (40 << 8) | 100       @ WIN0H
    set16 0x04000044, 160                   @ WIN0V: lines 0-159
    set16 0x04000048, 0x0002                @ WININ: WIN0 BG1
    set16 0x0400004A, 0x0103                @ WINOUT: OBJ window BG0; outside BG0 and BG1
    set16 0x04000000, 0xB340                @ mode 0, BG0, BG1, sprites 1D, WIN0, OBJ window
    scene_end
