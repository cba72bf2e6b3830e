@ Plays a 512 Hz square wave through sound FIFO A on both sides: timer 0 clocks the FIFO at
@ 16384 samples per second and DMA 1 refills it from a 512-byte table, whose start is set
@ again at every vertical blank so that the source never runs off the table.
    .arm
    .global _start
_start:
    mov r0, #0x04000000
    mov r1, #0x80
    strh r1, [r0, #0x84]        @ SOUNDCNT_X: master enable
    ldr r1, =0x0B00
    strh r1, [r0, #0x82]        @ SOUNDCNT_H: FIFO A on both sides, reset, timer 0
    ldr r2, =table
    str r2, [r0, #0xBC]         @ DMA1SAD
    ldr r1, =0x040000A0
    str r1, [r0, #0xC0]         @ DMA1DAD: FIFO A
    ldr r1, =0xB640
    strh r1, [r0, #0xC6]        @ DMA1CNT_H: on, sound timing, words, repeat, fixed target
    add r3, r0, #0x100
    ldr r1, =0xFC00
    strh r1, [r3]               @ TM0CNT_L: overflow every 1024 cycles
    mov r1, #0x80
    strh r1, [r3, #2]           @ TM0CNT_H: on
frame:
    ldrh r1, [r0, #6]
    cmp r1, #160
    bne frame
    str r2, [r0, #0xBC]         @ back to the table's start
leave_vblank:
    ldrh r1, [r0, #6]
    cmp r1, #160
    beq leave_vblank
    b frame
    .ltorg
    .align 2
table:
    .rept 16
    .fill 16, 1, 0x40
    .fill 16, 1, 0xC0
    .endr
