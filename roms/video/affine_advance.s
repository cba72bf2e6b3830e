@ Mode 1. BG2 (affine, 256x256, wraparound) with PB = 1.0 and PD = 0: every line samples the
@ same map row (Y stays 3.0) and starts one pixel further right than the line above, so the
@ columns of map row 0 become diagonal bands. BG0 (text, in front) draws a band of framed
@ tiles over lines 0-31.
    .include "scene.inc"
    colour 0, 0, 0, 0
    colour 2, 31, 31, 31
    .set i, 0
    .rept 8
    colour 25 + i, 31 - 3 * i, 4 * i, 6
    .set i, i + 1
    .endr
    colour 65, 31, 31, 0
    colour 66, 0, 0, 31
    fill 0x06000040, 0x0201, 32, 0x0202 @ tile 1: byte 8r + c + 1
    fill 0x06000080, 0x0202, 32         @ tile 2: white
    fill 0x06008000, 0x0201, 16         @ map row 0: tiles 1, 2, 1, 2, ...
    tile16 0x0600C020, 2, 1             @ BG0 tile 1: yellow, framed in blue
    fill 0x0600F000, 0x4001, 4 * 32     @ BG0 rows 0-3, bank 4

    set16 0x04000008, 0x1E0C    @ BG0CNT: priority 0, characters 48 KB, 16 colours, map 60 KB
    set16 0x0400000C, 0x7001    @ BG2CNT: priority 1, characters 0, map 32 KB, wrap, 256x256
    set16 0x04000020, 0x0100    @ BG2PA
    set16 0x04000022, 0x0100    @ BG2PB
    set16 0x04000024, 0
    set16 0x04000026, 0         @ BG2PD
    set32 0x04000028, 0
    set32 0x0400002C, 0x0300    @ BG2Y = 3.0
    set16 0x04000000, 0x0501    @ mode 1, BG0 and BG2 on
    scene_end
