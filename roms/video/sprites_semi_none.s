@ Semi-transparent sprites with BLDCNT effect mode 0 and the blue band (BG0) as the only second
@ target (BLDCNT 0x0100): they blend over the band alone and show as they are over the green
@ band and the backdrop, like the ordinary sprites beside them.
    .include "scene.inc"
    .include "semi_scene.inc"
    set16 0x04000050, 0x0100
    set16 0x04000000, 0x1340                @ mode 0, BG0, BG1, sprites, 1D mapping
    scene_end
