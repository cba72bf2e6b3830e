@ Semi-transparent sprites under windows, darken (BLDY 8) with sprites a first target and the
@ blue band the second target (BLDCNT 0x01D0). WIN0 (columns 0-135, every line) shows
@ everything with effects: the left pair of columns as in the darken scene, except over the
@ backdrop, no second target here, where the semi-transparent sprite is darkened. Outside,
@ without effects, a second pair (ordinary at x = 152, semi-transparent at x = 200) shows as
@ it is everywhere.
    .include "scene.inc"
    .include "semi_scene.inc"
    sprite 4, 0x8000 | 16, 0xC000 | 152, 0
    sprite 5, 0x8000 | 80, 0xC000 | 152, 0
    sprite 6, 0x8400 | 16, 0xC000 | 200, 0
    sprite 7, 0x8400 | 80, 0xC000 | 200, 0
    set16 0x04000040, 136                   @ WIN0H: columns 0-135
    set16 0x04000044, 160                   @ WIN0V: every line
    set16 0x04000048, 0x0033                @ WININ: BG0, BG1, sprites, effects
    set16 0x0400004A, 0x0013                @ WINOUT: BG0, BG1, sprites
    set16 0x04000050, 0x01D0
    set16 0x04000000, 0x3340                @ mode 0, BG0, BG1, sprites, 1D mapping, WIN0
    scene_end
