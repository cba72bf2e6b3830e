@ WIN0 and WIN1 over two layers: red BG0 (priority 1) under blue stripes of BG1 (priority 0)
@ on a grey backdrop. Outside both windows both layers show; WIN0 (x 40-119, y 20-99) shows
@ only the stripes; WIN1 (x 100-199, y 60-139) shows only BG0, brightened (BLDY 8), and lies
@ under WIN0 where they overlap.
    .include "scene.inc"
    colour 0, 12, 12, 12
    colour 1, 31, 0, 0
    colour 2, 0, 0, 31
    tile16 0x06000020, 1, 1                 @ tile 1: red
    tile16 0x06000040, 2, 2                 @ tile 2: blue
    fill 0x0600F800, 0x0001, 1024           @ BG0 map (screen base 31): all red
    fill 0x0600F000, 0x0002, 512, 0, 4      @ BG1 map (screen base 30): every other column
    set16 0x04000008, 0x1F01                @ BG0CNT: priority 1
    set16 0x0400000A, 0x1E00                @ BG1CNT: priority 0
    set16 0x04000040, (40 << 8) | 120       @ WIN0H
    set16 0x04000044, (20 << 8) | 100       @ WIN0V
    set16 0x04000042, (100 << 8) | 200      @ WIN1H
    set16 0x04000046, (60 << 8) | 140       @ WIN1V
    set16 0x04000048, 0x2102                @ WININ: WIN0 BG1; WIN1 BG0 with effects
    set16 0x0400004A, 0x0003                @ WINOUT: outside BG0 and BG1
    set16 0x04000050, 0x0081                @ BLDCNT: brighten, BG0 first target
    set16 0x04000054, 8                     @ BLDY
    set16 0x04000000, 0x6300                @ mode 0, BG0, BG1, WIN0, WIN1
    scene_end
