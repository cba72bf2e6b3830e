@ Demo: a mode-3 bitmap of moving colour bands. Each frame waits for the vertical blank by
@ polling VCOUNT, then redraws the picture shifted by the frame count; holding A reverses it.
    .arm
    .global _start
_start:
    mov r0, #0x04000000
    ldr r1, =0x0403             @ mode 3, BG2 on
    strh r1, [r0]
    mov r11, #0                 @ frame phase
frame:
    mov r0, #0x04000000
wait_vblank:
    ldrh r1, [r0, #6]           @ VCOUNT
    cmp r1, #160
    bne wait_vblank

    add r1, r0, #0x130
    ldrh r1, [r1]               @ KEYINPUT: bit 0 clear while A is held
    tst r1, #1
    addne r11, r11, #1
    subeq r11, r11, #1

    mov r2, #0x06000000         @ VRAM
    mov r3, #0                  @ y
row:
    mov r4, #0                  @ x
    add r5, r3, r11             @ green and blue follow y and time
column:
    add r6, r4, r11, lsl #1     @ red follows x and time
    and r6, r6, #31
    and r7, r5, #31
    orr r6, r6, r7, lsl #5
    add r7, r4, r3
    and r7, r7, #31
    orr r6, r6, r7, lsl #10
    strh r6, [r2], #2
    add r4, r4, #1
    cmp r4, #240
    bne column
    add r3, r3, #1
    cmp r3, #160
    bne row

    mov r0, #0x04000000
wait_draw:
    ldrh r1, [r0, #6]           @ leave the vertical blank before the next frame
    cmp r1, #160
    beq wait_draw
    b frame
    .ltorg
