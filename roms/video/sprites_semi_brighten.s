@ Semi-transparent sprites with brighten (BLDY 8), sprites a first target and the blue band the
@ only second target (BLDCNT 0x0190): they blend over the band and are brightened over the green
@ band and the backdrop, as the ordinary sprites are everywhere.
    .include "scene.inc"
    .include "semi_scene.inc"
    set16 0x04000050, 0x0190
    set16 0x04000000, 0x1340                @ mode 0, BG0, BG1, sprites, 1D mapping
    scene_end
