@ Shows the keypad: ten squares in a row, one per KEYINPUT bit from the left (A, B, Select,
@ Start, Right, Left, Up, Down, R, L), white while the button is held and dark blue while it
@ is not, on a grey screen that shows where the picture ends. The squares are redrawn in
@ every vertical blank.
    .arm
    .global _start
    .equ SQUARE, 18             @ side of a square in pixels
    .equ PITCH, 22              @ from one square to the next
    .equ LEFT, 10
    .equ TOP, 71
_start:
    mov r0, #0x04000000
    ldr r1, =0x0403             @ mode 3, BG2 on
    strh r1, [r0]
    ldr r11, =0x7FFF            @ held: white
    ldr r12, =0x2800            @ released: dark blue
    ldr r1, =0x4210             @ grey
    mov r2, #0x06000000
    mov r3, #240 * 160
fill:
    strh r1, [r2], #2
    subs r3, r3, #1
    bne fill
frame:
    ldrh r1, [r0, #6]           @ VCOUNT
    cmp r1, #160
    bne frame
    add r1, r0, #0x130
    ldrh r8, [r1]               @ KEYINPUT: a bit is clear while its button is held
    mov r9, #0                  @ button bit
    ldr r2, =0x06000000 + (TOP * 240 + LEFT) * 2
square:
    mov r1, #1
    tst r8, r1, lsl r9
    moveq r10, r11
    movne r10, r12
    mov r3, r2                  @ first pixel of the row
    mov r4, #SQUARE             @ rows left
row:
    mov r5, r3
    mov r6, #SQUARE             @ pixels left
pixel:
    strh r10, [r5], #2
    subs r6, r6, #1
    bne pixel
    add r3, r3, #480            @ next line
    subs r4, r4, #1
    bne row
    add r2, r2, #PITCH * 2
    add r9, r9, #1
    cmp r9, #10
    bne square
leave_vblank:
    ldrh r1, [r0, #6]
    cmp r1, #160
    beq leave_vblank
    b frame
    .ltorg
