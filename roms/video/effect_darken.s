@ Darken with BLDY = 31, taken as 16: BG0, BG2 and the backdrop (first targets) turn black;
@ BG1 (not a target) keeps its blue.
    .include "scene.inc"
    .set BLDMOD_VALUE, 0x00E5
    .set COLEV_VALUE, 0
    .set BLDY_VALUE, 31
    .include "effect_scene.inc"
