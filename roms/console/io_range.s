@ Only 0x04000000-0x040003FF of region 4 holds the I/O registers; the internal memory control
@ register at 0x04000800 repeats every 64 KB. Writes anywhere else in the region, as a debug
@ log port at 0x04FFF600-0x04FFF780 gets them, change no register and read back 0.
    .include "testlib.inc"
    .include "report.inc"
    .arm
    .global _start
_start:
    test_begin
    mov r9, #0x04000000
    add r10, r9, #0x200             @ IE, IF (+2), WAITCNT (+4), IME (+8)
    ldr r0, =0x0403                 @ mode 3 with BG2, no forced blank
    strh r0, [r9]
    mov r0, #0x0001
    strh r0, [r10]           @ IE: VBlank
    ldr r0, =0x4014
    strh r0, [r10, #0x004]           @ WAITCNT

    @ A line of log text at the port, word by word from 0x04FFF600 to 0x04FFF780.
    ldr r1, =0x04FFF600
    ldr r2, =0x04FFF784
    ldr r0, =0x6C6C6548             @ "Hell"
1:  str r0, [r1], #4
    cmp r1, r2
    bne 1b
    ldr r1, =0x04000400             @ where DISPCNT would repeat
    ldr r0, =0xFFFF
    strh r0, [r1]
    ldr r1, =0x0400FFFE
    strh r0, [r1]
    ldr r1, =0x04000701             @ where HALTCNT would repeat: no halt
    strb r0, [r1]

    ldrh r4, [r9]
    expect r4, 0x0403, 1            @ DISPCNT
    ldrh r4, [r10]
    expect r4, 0x0001, 2            @ IE
    ldrh r4, [r10, #0x002]
    expect r4, 0, 3                 @ IF: nothing acknowledged or requested by the text
    ldrh r4, [r10, #0x004]
    expect r4, 0x4014, 4            @ WAITCNT
    ldrh r4, [r10, #0x008]
    expect r4, 0, 5                 @ IME
    ldrb r4, [r9, #0x300]
    expect r4, 1, 6                 @ POSTFLG
    ldr r1, =0x04FFF780
    ldr r4, [r1]
    expect r4, 0, 7                 @ nothing stored there
    ldr r1, =0x04000400
    ldrh r4, [r1]
    expect r4, 0, 8

    @ The memory control register keeps what is written, at each of its repeats.
    ldr r1, =0x04000800
    ldr r4, [r1]
    expect r4, 0x0D000020, 9
    ldr r0, =0x0E000020
    str r0, [r1]
    ldr r1, =0x04FF0800
    ldr r4, [r1]
    expect r4, 0x0E000020, 10
    ldrh r4, [r9]
    expect r4, 0x0403, 11           @ and is not DISPCNT

    report_end
    .ltorg
