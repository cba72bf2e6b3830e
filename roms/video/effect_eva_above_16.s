@ Alpha blending with EVA = 20, taken as 16, and EVB = 4: the first target keeps its full
@ colour and a quarter of the colour below is added, clamped to 31.
    .include "scene.inc"
    .set BLDMOD_VALUE, 0x2245
    .set COLEV_VALUE, 0x0414
    .set BLDY_VALUE, 0
    .include "effect_scene.inc"
