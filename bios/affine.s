@ Rotation and scaling matrices: BgAffineSet and ObjAffineSet.
    .include "bios.inc"
    .syntax unified
    .arm
    .text

@ r6 = angle (u16) in, out r7 = sine and r6 = cosine in 1.14, from the top 8 bits of the
@ angle. r12 = sine_table.
.macro sine_cosine
    mov r6, r6, lsr #8
    add r7, r12, r6, lsl #1
    ldrsh r7, [r7]
    add r6, r6, #64                 @ a quarter turn further
    and r6, r6, #0xFF
    add r6, r12, r6, lsl #1
    ldrsh r6, [r6]
.endm

@ REG = (A * B) >> 14, arithmetic.
.macro scaled reg, a, b
    mul \reg, \a, \b
    mov \reg, \reg, asr #14
.endm

@ ObjAffineSet (0x0F): r0 = source entries (s16 sx, s16 sy, u16 angle, 2 bytes padding),
@ r1 = destination, r2 = count, r3 = bytes between the written halfwords (2 packed, 8 OAM).
@ Writes pa = cos*sx, pb = -(sin*sx), pc = sin*sy, pd = cos*sy, in 8.8 fixed point.
    .global obj_affine_set
obj_affine_set:
    cmp r2, #0
    bxle lr
    push {r4-r9}
    ldr r12, =sine_table
1:  ldrsh r4, [r0]
    ldrsh r5, [r0, #2]
    ldrh r6, [r0, #4]
    add r0, r0, #8
    sine_cosine
    scaled r8, r6, r4
    strh r8, [r1], r3
    scaled r8, r7, r4
    rsb r8, r8, #0                  @ negated after the shift, as on the console
    strh r8, [r1], r3
    scaled r8, r7, r5
    strh r8, [r1], r3
    scaled r8, r6, r5
    strh r8, [r1], r3
    subs r2, r2, #1
    bne 1b
    pop {r4-r9}
    bx lr

@ BgAffineSet (0x0E): r0 = source entries of 20 bytes (s32 texture centre x and y in 24.8,
@ s16 screen centre x and y, s16 sx and sy in 8.8, u16 angle), r1 = destination entries of
@ 16 bytes laid out as BG2PA-BG2Y, r2 = count. The start point is the texture centre minus
@ the matrix applied to the screen centre.
    .global bg_affine_set
bg_affine_set:
    cmp r2, #0
    bxle lr
    push {r4-r10}
    ldr r12, =sine_table
1:  ldrsh r4, [r0, #12]
    ldrsh r5, [r0, #14]
    ldrh r6, [r0, #16]
    sine_cosine
    scaled r8, r6, r4               @ pa
    scaled r9, r7, r4
    rsb r9, r9, #0                  @ pb
    scaled r10, r7, r5              @ pc
    scaled r11, r6, r5              @ pd
    strh r8, [r1]
    strh r9, [r1, #2]
    strh r10, [r1, #4]
    strh r11, [r1, #6]
    ldrsh r4, [r0, #8]              @ screen centre
    ldrsh r5, [r0, #10]
    ldr r6, [r0]
    mul r7, r8, r4
    sub r6, r6, r7
    mul r7, r9, r5
    sub r6, r6, r7
    str r6, [r1, #8]
    ldr r6, [r0, #4]
    mul r7, r10, r4
    sub r6, r6, r7
    mul r7, r11, r5
    sub r6, r6, r7
    str r6, [r1, #12]
    add r0, r0, #20
    add r1, r1, #16
    subs r2, r2, #1
    bne 1b
    pop {r4-r10}
    bx lr

    .ltorg
