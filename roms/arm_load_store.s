@ ARM single transfers: word, byte, halfword and signed, misaligned, write-back, SWP.
    .include "testlib.inc"
    .global _start
    .arm
    .equ DATA, 0x02000100
_start:
    test_begin
    ldr r9, =DATA
    ldr r0, =0x44332211
    str r0, [r9]
    ldr r0, =0x88776655
    str r0, [r9, #4]

    @ Misaligned word loads rotate the aligned word.
    ldr r0, [r9, #1]
    expect r0, 0x11443322, 1
    ldr r0, [r9, #3]
    expect r0, 0x33221144, 2
    ldrb r0, [r9, #6]
    expect r0, 0x77, 3

    @ A misaligned word store lands with its halves exchanged; reading it back the same way
    @ gives the value.
    ldr r0, =0xAABBCCDD
    str r0, [r9, #10]
    ldr r1, [r9, #8]
    expect r1, 0xCCDDAABB, 4
    ldr r1, [r9, #10]
    expect r1, 0xAABBCCDD, 5
    strb r0, [r9, #9]
    ldr r1, [r9, #8]
    expect r1, 0xCCDDDDBB, 6

    @ Pre- and post-indexing, write-back after the load, register offsets.
    mov r1, r9
    .word 0xE4911004                @ ldr r1, [r1], #4: the write-back wins over the loaded value
    expect r1, DATA + 4, 7
    mov r1, r9
    ldr r0, [r1], #4
    expect r1, DATA + 4, 8
    ldr r0, [r1, #-4]!
    expect r0, 0x44332211, 9
    expect r1, DATA, 10
    mov r2, #1
    ldr r0, [r1, r2, lsl #2]
    expect r0, 0x88776655, 11
    mov r2, #16
    ldr r0, [r9, -r2, lsr #2]!
    expect r9, DATA - 4, 12
    add r9, r9, #4
    ldrt r0, [r9], #4
    expect r9, DATA + 4, 13
    sub r9, r9, #4

    @ PC as a base reads 8 ahead; a stored PC is 12 ahead.
1:  ldr r0, [pc, #-8]
    ldr r1, 1b
    sub r0, r0, r1
    expect r0, 0, 14
2:  str pc, [r9, #16]
    ldr r0, [r9, #16]
    adr r1, 2b
    sub r0, r0, r1
    expect r0, 12, 15

    @ A load into PC jumps to the loaded address.
    adr r0, 3f
    str r0, [r9, #16]
    ldr pc, [r9, #16]
    b fail
3:
    @ Halfwords and signed loads.
    ldr r0, =0x80FF7F01
    str r0, [r9, #20]
    ldrh r0, [r9, #22]
    expect r0, 0x80FF, 16
    ldrsh r0, [r9, #22]
    expect r0, 0xFFFF80FF, 17
    ldrsh r0, [r9, #21]             @ an odd address: the addressed byte, sign-extended
    expect r0, 0x7F, 18
    ldrsb r0, [r9, #23]
    expect r0, 0xFFFFFF80, 19
    ldrsb r0, [r9, #21]
    expect r0, 0x7F, 20
    mov r2, #2
    ldrh r0, [r9, r2]
    expect r0, 0x4433, 21
    ldr r0, =0x12345678
    add r1, r9, #20
    strh r0, [r1], #2
    expect r1, DATA + 22, 22
    ldr r0, [r9, #20]
    expect r0, 0x80FF5678, 23
    mov r2, #2
    ldrsh r0, [r1, -r2]!
    expect r0, 0x5678, 24
    expect r1, DATA + 20, 25

    @ SWP and SWPB.
    ldr r0, =0xCAFEF00D
    add r2, r9, #24
    str r0, [r2]
    ldr r1, =0x11223344
    swp r3, r1, [r2]
    expect r3, 0xCAFEF00D, 26
    ldr r0, [r2]
    expect r0, 0x11223344, 27
    mov r1, #0xAB
    add r2, r2, #1
    swpb r3, r1, [r2]
    expect r3, 0x33, 28
    ldr r0, [r9, #24]
    expect r0, 0x1122AB44, 29
    swp r3, r3, [r2]                @ misaligned: the old word rotated, same register
    expect r3, 0x441122AB, 30

    test_end
fail:
    test_abort
    .ltorg
