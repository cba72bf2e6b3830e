@ Alpha blending: BG0 and BG2 are first targets, EVA = 12, EVB = 10. Over the white backdrop
@ a grey of level c becomes floor(12c / 16) + 19, clamped to 31 from c = 16 on; over blue
@ BG1 each component is blended the same way; BG0 over BG2 blends over the blended red.
    .include "scene.inc"
    .set BLDMOD_VALUE, 0x2245   @ blend; first BG0, BG2; second BG1, backdrop
    .set COLEV_VALUE, 0x0A0C
    .set BLDY_VALUE, 0
    .include "effect_scene.inc"
