@ Rendering benchmark: a busy mode-0 scene. Four 256-colour layers full of gradient tiles
@ (one colour-0 pixel in 256 is transparent), alpha blending of BG0 and BG2 over the layers
@ below, and every layer scrolling in its own direction once a frame.
    .set SCENE_LOOP, 1
    .include "scene.inc"
    fill 0x05000000, 0x0C63, 256, 0x0421
    fill 0x06000000, 0x0201, 2048, 0x0202   @ tiles 0-63: bytes 1, 2, ..., 255, 0, 1, ...
    .set bg, 0
    .rept 4
    .set part, 0
    .rept 16
    fill 0x0600C000 + 0x800 * bg + 128 * part, 0, 64, 1
    .set part, part + 1
    .endr
    .set bg, bg + 1
    .endr
    set16 0x04000008, 0x1880    @ BG0CNT: priority 0, 256 colours, map 48 KB
    set16 0x0400000A, 0x1981    @ BG1CNT: priority 1, map 50 KB
    set16 0x0400000C, 0x1A82    @ BG2CNT: priority 2, map 52 KB
    set16 0x0400000E, 0x1B83    @ BG3CNT: priority 3, map 54 KB
    set16 0x04000050, 0x2A45    @ BLDMOD: blend BG0, BG2 over BG1, BG3, backdrop
    set16 0x04000052, 0x0808    @ COLEV: 8/16 each
    set16 0x04000000, 0x0F00    @ mode 0, BG0-BG3 on
    scene_end

scene_loop:
    mov r0, #0x04000000
    mov r4, #0                  @ frame counter
frame:
    ldrh r1, [r0, #6]           @ VCOUNT
    cmp r1, #160
    bne frame
    add r4, r4, #1
    strh r4, [r0, #0x10]        @ BG0HOFS
    strh r4, [r0, #0x12]        @ BG0VOFS
    rsb r2, r4, #0
    strh r2, [r0, #0x14]        @ BG1HOFS
    mov r2, r4, lsl #1
    strh r2, [r0, #0x1A]        @ BG2VOFS
    strh r2, [r0, #0x1C]        @ BG3HOFS
    rsb r2, r4, #0
    strh r2, [r0, #0x1E]        @ BG3VOFS
leave_vblank:
    ldrh r1, [r0, #6]
    cmp r1, #160
    beq leave_vblank
    b frame
    .ltorg
