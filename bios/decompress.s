@ Unpacking and decompression: BitUnPack, LZ77, Huffman, run-length and the difference
@ filters. Each takes r0 = source and r1 = destination.
    .include "bios.inc"
    .syntax unified
    .arm
    .text

@ Writes the byte in REG to the destination r1 and advances it. The VRAM forms collect two
@ bytes in r6 and store them as one halfword, because VRAM takes no byte writes; a last odd
@ byte is never written.
.macro put_byte reg, vram
.if \vram
    tst r1, #1
    moveq r6, \reg
    orrne r6, r6, \reg, lsl #8
    strhne r6, [r1, #-1]
    add r1, r1, #1
.else
    strb \reg, [r1], #1
.endif
.endm

@ Reads the header word at r0 into r3 = output size and moves r0 past it. Leaves the
@ function when the data or its end lies in the boot image, or when the size is 0.
.macro read_header
    ldr r3, [r0], #4
    mov r3, r3, lsr #8
    reject_low_source r0
    add r12, r0, r3
    reject_low_source r12
    cmp r3, #0
    bxeq lr
.endm

@ LZ77: a flag byte, then eight blocks from its top bit down. A 0 bit is one literal byte;
@ a 1 bit is two bytes giving length (3-18) and distance (1-4096) of a copy from the output
@ already written, byte by byte, so a copy may overlap itself. The last block is not cut
@ at the output size.
.macro lz77_body vram
    read_header
    push {r4-r6}
1:  ldrb r12, [r0], #1
    mov r2, #8
2:  tst r12, #0x80
    bne 3f
    ldrb r11, [r0], #1
    put_byte r11, \vram
    subs r3, r3, #1
    ble 9f
    b 4f
3:  ldrb r11, [r0], #1
    ldrb r4, [r0], #1
    mov r5, r11, lsr #4
    add r5, r5, #3                  @ length
    and r11, r11, #0xF
    orr r4, r4, r11, lsl #8
    sub r4, r1, r4
    sub r4, r4, #1                  @ where the copy starts
    sub r3, r3, r5
5:  ldrb r11, [r4], #1
    put_byte r11, \vram
    subs r5, r5, #1
    bne 5b
    cmp r3, #0
    ble 9f
4:  mov r12, r12, lsl #1
    subs r2, r2, #1
    bne 2b
    b 1b
9:  pop {r4-r6}
    bx lr
.endm

@ Run-length: a flag byte; bit 7 clear copies the next (flag AND 0x7F) + 1 bytes, bit 7
@ set repeats the next byte (flag AND 0x7F) + 3 times.
.macro rl_body vram
    read_header
    push {r4-r6}
1:  ldrb r12, [r0], #1
    tst r12, #0x80
    and r12, r12, #0x7F
    bne 3f
    add r12, r12, #1
    sub r3, r3, r12
2:  ldrb r11, [r0], #1
    put_byte r11, \vram
    subs r12, r12, #1
    bne 2b
    b 4f
3:  add r12, r12, #3
    sub r3, r3, r12
    ldrb r11, [r0], #1
5:  put_byte r11, \vram
    subs r12, r12, #1
    bne 5b
4:  cmp r3, #0
    bgt 1b
    pop {r4-r6}
    bx lr
.endm

@ 8-bit differences: each output byte is the previous one plus the next input byte.
.macro diff8_body vram
    read_header
    push {r4-r6}
    ldrb r12, [r0], #1
1:  put_byte r12, \vram
    subs r3, r3, #1
    ble 9f
    ldrb r11, [r0], #1
    add r12, r12, r11
    and r12, r12, #0xFF
    b 1b
9:  pop {r4-r6}
    bx lr
.endm

    .global lz77_uncomp_wram
lz77_uncomp_wram:                   @ 0x11
    lz77_body 0

    .global lz77_uncomp_vram
lz77_uncomp_vram:                   @ 0x12
    lz77_body 1

    .global rl_uncomp_wram
rl_uncomp_wram:                     @ 0x14
    rl_body 0

    .global rl_uncomp_vram
rl_uncomp_vram:                     @ 0x15
    rl_body 1

    .global diff8bit_unfilter_wram
diff8bit_unfilter_wram:             @ 0x16
    diff8_body 0

    .global diff8bit_unfilter_vram
diff8bit_unfilter_vram:             @ 0x17
    diff8_body 1

@ Diff16bitUnFilter (0x18): as the 8-bit form with halfwords; the size counts bytes.
    .global diff16bit_unfilter
diff16bit_unfilter:
    read_header
    ldrh r12, [r0], #2
1:  strh r12, [r1], #2
    subs r3, r3, #2
    bxle lr
    ldrh r11, [r0], #2
    add r12, r12, r11
    b 1b

@ BitUnPack (0x10): r2 = info (u16 source length, u8 source width 1/2/4/8, u8 destination
@ width 1-32, u32 offset with bit 31: add it to zero units too). Units are taken from each
@ source byte from the low bits up, the offset added, and packed from the low bits up into
@ words; only whole words are written.
    .global bit_unpack
bit_unpack:
    ldrh r3, [r2]
    reject_low_source r0
    add r12, r0, r3
    reject_low_source r12
    push {r4-r10}
    ldrb r4, [r2, #2]
    ldrb r5, [r2, #3]
    ldr r6, [r2, #4]
    cmp r4, #0
    beq 9f
    bic r11, r6, #0x80000000        @ the offset
    mov r9, #1
    mov r9, r9, lsl r4
    sub r9, r9, #1                  @ source unit mask
    mov r7, #0                      @ word being filled
    mov r8, #0                      @ bits filled
1:  subs r3, r3, #1
    blo 9f
    ldrb r10, [r0], #1
    mov r2, #8
2:  and r12, r10, r9
    mov r10, r10, lsr r4
    cmp r12, #0
    bne 3f
    tst r6, #0x80000000
    beq 4f
3:  add r12, r12, r11
4:  orr r7, r7, r12, lsl r8         @ a unit wider than the destination spills over
    add r8, r8, r5
    cmp r8, #32
    blo 5f
    str r7, [r1], #4
    mov r7, #0
    mov r8, #0
5:  subs r2, r2, r4
    bgt 2b
    b 1b
9:  pop {r4-r10}
    bx lr

@ HuffUnComp (0x13): header (unit width in bits 0-3, output size in bits 8-31), the tree
@ size byte n, the tree from the root at r0 + 5, then the bitstream in words, top bit first.
@ A node's low 6 bits give the offset of its child pair; bits 7 and 6 mark child 0 and
@ child 1 as data. Units go into each output word from the top, so the first ends lowest.
    .global huff_uncomp
huff_uncomp:
    reject_low_source r0
    push {r4-r10}
    ldr r3, [r0]
    and r4, r3, #0xF                @ unit width
    mov r3, r3, lsr #8              @ output size
    ldrb r5, [r0, #4]
    add r6, r0, #5                  @ root node
    add r7, r0, r5, lsl #1
    add r7, r7, #6                  @ bitstream
    mov r8, #0
    mov r9, #0
    mov r10, r6
    cmp r3, #0
    cmpne r4, #0
    beq 9f
1:  ldr r12, [r7], #4
    mov r2, #32
2:  ldrb r11, [r10]
    and r0, r11, #0x3F
    bic r5, r10, #1
    add r5, r5, r0, lsl #1
    add r5, r5, #2                  @ child 0
    movs r12, r12, lsl #1
    bcs 3f
    mov r10, r5
    tst r11, #0x80
    b 4f
3:  add r10, r5, #1
    tst r11, #0x40
4:  beq 6f
    ldrb r0, [r10]                  @ a data byte: emit it and start again at the root
    mov r10, r6
    mov r8, r8, lsr r4
    rsb r5, r4, #32
    orr r8, r8, r0, lsl r5
    add r9, r9, r4
    cmp r9, #32
    blo 6f
    str r8, [r1], #4
    mov r8, #0
    mov r9, #0
    subs r3, r3, #4
    ble 9f
6:  subs r2, r2, #1
    bne 2b
    b 1b
9:  pop {r4-r10}
    bx lr
