@ Bitmap mode 5 showing frame 0, not scaled, scrolled by the reference point (-40, -16): the
@ frame sits at columns 40-199, lines 16-143, with the backdrop (dark teal) around it. Frame 1
@ must not show.
    .include "scene.inc"
    colour 0, 0, 8, 8
    .include "mode5_frames.inc"
    set16 0x04000024, 0                     @ BG2PC (0x100 at power-on)
    set16 0x04000026, 0x0100                @ BG2PD
    set32 0x04000028, (-40 * 256) & 0x0FFFFFFF
    set32 0x0400002C, (-16 * 256) & 0x0FFFFFFF
    set16 0x04000000, 0x0405                @ mode 5, frame 0, BG2
    scene_end
