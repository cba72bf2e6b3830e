@ Semi-transparent sprites in alpha mode with the blue band and the backdrop as second targets
@ and the green band (BG1) as a first target (BLDCNT 0x2142): they blend over the blue band and
@ the backdrop; over the green band, itself blended over the backdrop but no second target,
@ they show as they are.
    .include "scene.inc"
    .include "semi_scene.inc"
    set16 0x04000050, 0x2142
    set16 0x04000000, 0x1340                @ mode 0, BG0, BG1, sprites, 1D mapping
    scene_end
