@ Byte writes by memory: the RAMs take the byte alone; palette RAM and background video RAM
@ (64 KB in the tile modes, 80 KB in the bitmap modes) take it in both halves of its
@ halfword; sprite video RAM and OAM ignore it.
    .include "testlib.inc"
    .include "report.inc"

@ Fills the halfword at ADDRESS with 0xFFFF, writes the byte 0x12 at ADDRESS + 1 and counts a
@ failure of CASE unless the halfword then reads EXPECTED. Clobbers r0, r1, r4.
.macro byte_into address, expected, case
    ldr r1, =\address
    ldr r0, =0xFFFF
    strh r0, [r1]
    mov r0, #0x12
    strb r0, [r1, #1]
    ldrh r4, [r1]
    expect r4, \expected, \case
.endm

    .arm
    .global _start
_start:
    test_begin
    mov r9, #0x04000000

    byte_into 0x02000000, 0x12FF, 1 @ work RAM
    byte_into 0x03000100, 0x12FF, 2 @ internal RAM
    byte_into 0x05000010, 0x1212, 3 @ background palette
    byte_into 0x05000210, 0x1212, 4 @ sprite palette
    byte_into 0x07000000, 0xFFFF, 5 @ OAM

    mov r0, #0x0080                 @ mode 0 (with forced blank)
    strh r0, [r9]
    byte_into 0x06000000, 0x1212, 6
    byte_into 0x0600FFFE, 0x1212, 7
    byte_into 0x06010000, 0xFFFF, 8 @ sprite tiles
    byte_into 0x06017FFE, 0xFFFF, 9

    mov r0, #0x0083                 @ mode 3: bitmap up to 0x06013FFF
    strh r0, [r9]
    byte_into 0x06010000, 0x1212, 10
    byte_into 0x06013FFE, 0x1212, 11
    byte_into 0x06014000, 0xFFFF, 12
    byte_into 0x06018000, 0x1212, 13 @ repeats 0x06010000

    report_end
    .ltorg
