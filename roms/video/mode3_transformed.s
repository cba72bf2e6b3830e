@ Mode 3 with BG2PA = 2.0: the bitmap (all white) is not drawn. Every line shows the backdrop
@ colour (teal) instead, brightened by BLDMOD's forced effect (brighten, BLDY = 4).
    .include "scene.inc"
    colour 0, 0, 12, 12
    fill 0x06000000, 0x7FFF, 38400
    set16 0x04000020, 0x0200    @ BG2PA = 2.0
    set16 0x04000022, 0
    set16 0x04000024, 0
    set16 0x04000026, 0x0100    @ BG2PD
    set16 0x04000050, 0x0080    @ BLDMOD: brighten, no targets
    set16 0x04000054, 4         @ BLDY
    set16 0x04000000, 0x0403    @ mode 3, BG2 on
    scene_end
