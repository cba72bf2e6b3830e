@ Bitmap mode 5 showing frame 1 (DISPCNT bit 4) through a scaling and a shear: PA = 0.75 (the
@ frame widened to 213 columns), PD = 1.5 (squeezed to 85 lines), PC = 1/8 (each column a
@ further eighth of a row down, so the frame's top and bottom edges climb to the right) and
@ the reference point at (-10, -12). Columns and lines whose point lies outside the frame show
@ the backdrop (dark teal). Frame 0 must not show.
    .include "scene.inc"
    colour 0, 0, 8, 8
    .include "mode5_frames.inc"
    set16 0x04000020, 0x00C0                @ BG2PA = 0.75
    set16 0x04000022, 0                     @ BG2PB
    set16 0x04000024, 0x0020                @ BG2PC = 1/8
    set16 0x04000026, 0x0180                @ BG2PD = 1.5
    set32 0x04000028, (-10 * 256) & 0x0FFFFFFF
    set32 0x0400002C, (-12 * 256) & 0x0FFFFFFF
    set16 0x04000000, 0x0415                @ mode 5, frame 1, BG2
    scene_end
