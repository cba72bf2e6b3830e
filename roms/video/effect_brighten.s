@ Brighten with BLDY = 8: BG0, BG2 and the backdrop are first targets, BG1 is not. A level c
@ becomes c + floor((31 - c) / 2); the white backdrop stays white.
    .include "scene.inc"
    .set BLDMOD_VALUE, 0x00A5
    .set COLEV_VALUE, 0
    .set BLDY_VALUE, 8
    .include "effect_scene.inc"
