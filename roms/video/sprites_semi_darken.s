@ Semi-transparent sprites with darken (BLDY 8), sprites a first target, the blue band and the
@ backdrop second targets (BLDCNT 0x21D0): they blend over the band and the backdrop and are
@ darkened over the green band; the ordinary sprites are darkened everywhere.
    .include "scene.inc"
    .include "semi_scene.inc"
    set16 0x04000050, 0x21D0
    set16 0x04000000, 0x1340                @ mode 0, BG0, BG1, sprites, 1D mapping
    scene_end
