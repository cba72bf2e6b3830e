@ Arithmetic functions: Div, DivArm, Sqrt, ArcTan, ArcTan2 and MidiKey2Freq.
    .include "bios.inc"
    .syntax unified
    .arm
    .text

@ DivArm (0x07): Div with numerator and denominator swapped.
    .global div_arm
div_arm:
    mov r3, r0
    mov r0, r1
    mov r1, r3
    @ falls through into Div

@ Div (0x06): r0 / r1, truncated toward zero. Returns r0 = quotient, r1 = remainder with
@ the numerator's sign, r3 = |quotient|. 0x80000000 / -1 gives 0x80000000 with remainder 0.
@ Division by zero returns r0 = -1 for a negative numerator and 1 otherwise, r1 = the
@ numerator and r3 = 1: the console gives these for numerators -1, 0 and 1 and never
@ returns for any other, which would only hang the program.
    .global div
div:
    cmp r1, #0
    beq div_by_zero
    push {r4, lr}
    eor r4, r0, r1                  @ bit 31: the quotient is negative
    and r4, r4, #0x80000000
    cmp r0, #0
    orrlt r4, r4, #1                @ bit 0: the numerator (and remainder) is negative
    rsblt r0, r0, #0
    cmp r1, #0
    rsblt r1, r1, #0
    bl divide_unsigned
    mov r1, r0
    mov r0, r3
    tst r4, #0x80000000
    rsbne r0, r0, #0
    tst r4, #1
    rsbne r1, r1, #0
    pop {r4, lr}
    bx lr
div_by_zero:
    mov r1, r0
    cmp r0, #0
    mvnlt r0, #0
    movge r0, #1
    mov r3, #1
    bx lr

@ Unsigned r0 / r1 (r1 not zero): r3 = quotient, r0 = remainder. Clobbers r1, r2, r12.
divide_unsigned:
    mov r3, #0
    mov r2, #1
1:  cmp r1, #0x80000000             @ line the divisor up under the numerator
    cmplo r1, r0
    movlo r1, r1, lsl #1
    movlo r2, r2, lsl #1
    blo 1b
2:  cmp r0, r1
    subhs r0, r0, r1
    orrhs r3, r3, r2
    movs r2, r2, lsr #1
    movne r1, r1, lsr #1
    bne 2b
    bx lr

@ Sqrt (0x08): floor of the square root of the unsigned r0, one result bit per step.
    .global sqrt
sqrt:
    mov r1, #0
    mov r2, #0x40000000
1:  add r3, r1, r2
    cmp r0, r3
    subhs r0, r0, r3
    movhs r1, r1, lsr #1
    addhs r1, r1, r2
    movlo r1, r1, lsr #1
    movs r2, r2, lsr #2
    bne 1b
    mov r0, r1
    bx lr

@ ArcTan (0x09): r0 = tangent in 1.14 fixed point (sign-extended); returns the angle with
@ 0x4000 = pi/2, sign-extended. The console's polynomial in 32-bit arithmetic: every product
@ keeps its low 32 bits and every shift is arithmetic. Exits with r1 = a, r3 = b.
    .global arctan
arctan:
    mul r1, r0, r0
    mov r1, r1, asr #14
    rsb r1, r1, #0                  @ a = -(t*t >> 14)
    mov r3, #0xA9                   @ b
    adr r12, arctan_coefficients
    mov r2, #7
1:  mul r3, r1, r3
    mov r3, r3, asr #14
    ldr r11, [r12], #4
    add r3, r3, r11
    subs r2, r2, #1
    bne 1b
    mul r0, r3, r0
    mov r0, r0, asr #16
    bx lr
arctan_coefficients:
    .word 0x390, 0x91C, 0xFB6, 0x16AA, 0x2081, 0x3651, 0xA2F9

@ ArcTan2 (0x0A): r0 = x, r1 = y; returns the angle of (x, y) in 0x0000-0xFFFF for a full
@ turn. Each octant divides the smaller coordinate (shifted left by 14) by the larger and
@ adds or subtracts ArcTan of that from the octant's edge. The result is not masked: x > 0
@ with y a tiny negative value can give 0x10000, as on the console.
    .global arctan2
arctan2:
    push {r4-r6, lr}
    mov r4, r0                      @ x
    mov r5, r1                      @ y
    cmp r5, #0
    bne 1f
    cmp r4, #0
    movge r0, #0
    movlt r0, #0x8000
    b arctan2_done
1:  cmp r4, #0
    bne 2f
    cmp r5, #0
    movgt r0, #0x4000
    movle r0, #0xC000
    b arctan2_done
2:  rsb r6, r4, #0                  @ -x
    cmp r5, #0
    blt arctan2_lower
    cmp r4, #0
    blt arctan2_upper_left
    cmp r4, r5                      @ x > 0, y > 0
    bge arctan2_y_over_x_plus_0
    b arctan2_x_over_y_from_4000
arctan2_upper_left:                 @ x < 0, y > 0
    cmp r6, r5
    blt arctan2_x_over_y_from_4000
    mov r6, #0x8000
    b arctan2_y_over_x_plus
arctan2_lower:
    rsb r1, r5, #0                  @ -y
    cmp r4, #0
    bgt arctan2_lower_right
    cmp r6, r1                      @ x < 0, y < 0
    movgt r6, #0x8000
    bgt arctan2_y_over_x_plus
    mov r6, #0xC000
    b arctan2_x_over_y_from
arctan2_lower_right:                @ x > 0, y < 0
    cmp r4, r1
    movlt r6, #0xC000
    blt arctan2_x_over_y_from
    mov r6, #0x10000
    b arctan2_y_over_x_plus
arctan2_y_over_x_plus_0:
    mov r6, #0
arctan2_y_over_x_plus:              @ r6 + ArcTan((y << 14) / x)
    mov r0, r5, lsl #14
    mov r1, r4
    bl div
    bl arctan
    add r0, r6, r0
    b arctan2_done
arctan2_x_over_y_from_4000:
    mov r6, #0x4000
arctan2_x_over_y_from:              @ r6 - ArcTan((x << 14) / y)
    mov r0, r4, lsl #14
    mov r1, r5
    bl div
    bl arctan
    sub r0, r6, r0
arctan2_done:
    pop {r4-r6, lr}
    bx lr

@ MidiKey2Freq (0x1F): r0 = WaveData (frequency word at +4), r1 = key, r2 = fine tune in
@ 1/256 semitones. Returns freq * 2^((key + fine/256 - 180) / 12) in the console's fixed
@ point: keys past 178 play as key 178 with fine 255.
    .global midi_key2freq
midi_key2freq:
    push {r4-r6, lr}
    ldr r4, [r0, #4]
    cmp r1, #178
    movhi r1, #178
    movhi r2, #255
    mov r5, r1
    bl semitone_scale
    mov r6, r0                      @ S(key)
    add r1, r5, #1
    bl semitone_scale               @ S(key + 1)
    sub r0, r0, r6
    mov r2, r2, lsl #24
    umull r3, r1, r0, r2
    add r6, r6, r1                  @ F = S(key) + hi32((S(key+1) - S(key)) * (fine << 24))
    umull r3, r0, r4, r6            @ hi32(freq * F)
    pop {r4-r6, lr}
    bx lr

@ r0 = S(r1) = 2^31 * 2^((r1 mod 12) / 12) >> (14 - r1 / 12). Clobbers r1, r3, r12.
semitone_scale:
    mov r3, #14
1:  cmp r1, #12
    subhs r1, r1, #12
    subhs r3, r3, #1
    bhs 1b
    ldr r12, =semitone_table
    ldr r0, [r12, r1, lsl #2]
    mov r0, r0, lsr r3
    bx lr

    .ltorg
