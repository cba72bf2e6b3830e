@ Memory functions: RegisterRamReset, CpuSet, CpuFastSet and GetBiosChecksum.
    .include "bios.inc"
    .syntax unified
    .arm
    .text

@ Zeroes r1 bytes (a multiple of 4) from r0 on, 32 bytes per store where it can.
@ Clobbers r0-r3 and r5-r10.
zero_fill:
    mov r2, #0
    mov r3, #0
    mov r5, #0
    mov r6, #0
    mov r7, #0
    mov r8, #0
    mov r9, #0
    mov r10, #0
1:  cmp r1, #32
    blo 2f
    stmia r0!, {r2, r3, r5-r10}
    sub r1, r1, #32
    b 1b
2:  subs r1, r1, #4
    strhs r2, [r0], #4
    bhi 2b
    bx lr

@ Zeroes SIZE bytes at ADDRESS. Clobbers r0-r3 and r5-r10.
.macro clear address, size
    ldr r0, =\address
    ldr r1, =\size
    bl zero_fill
.endm

@ RegisterRamReset (0x01): r0 selects what is reset. DISPCNT always becomes 0x0080 (forced
@ blank). The parts run in the console's order: 7 I/O, 5 serial, 6 sound, 0 on-board WRAM,
@ 3 VRAM, 4 OAM, 2 palette, 1 on-chip WRAM below 0x03007E00. Nothing else is written, so
@ the serial registers keep their values while bit 5 is clear.
    .global register_ram_reset
register_ram_reset:
    push {r4-r10, lr}
    mov r4, r0
    mov r12, #IO_BASE
    mov r0, #0x80
    strh r0, [r12, #REG_DISPCNT]
    tst r4, #0x80
    blne reset_io
    tst r4, #0x20
    blne reset_serial
    tst r4, #0x40
    blne reset_sound
    tst r4, #0x01
    beq 1f
    clear 0x02000000, 0x40000
1:  tst r4, #0x08
    beq 1f
    clear 0x06000000, 0x18000
1:  tst r4, #0x10
    beq 1f
    clear 0x07000000, 0x400
1:  tst r4, #0x04
    beq 1f
    clear 0x05000000, 0x400
1:  tst r4, #0x02
    beq 1f
    clear 0x03000000, 0x7E00
1:  pop {r4-r10, lr}
    bx lr

@ Interrupt control, display, DMA, timers and the keypad interrupt. r12 = IO_BASE.
reset_io:
    push {lr}
    clear 0x04000200, 0x20
    ldr r0, =0xFFFF
    add r1, r12, #REG_IE
    strh r0, [r1, #(REG_IF - REG_IE)]                   @ acknowledges every pending interrupt
    clear 0x04000004, 0x5C
    clear 0x040000B0, 0x60
    mov r0, #0
    add r1, r12, #0x100
    strh r0, [r1, #(REG_KEYCNT - 0x100)]
    mov r0, #0x100                  @ identity matrices for BG2 and BG3
    strh r0, [r12, #REG_BG2PA]
    strh r0, [r12, #REG_BG2PD]
    strh r0, [r12, #REG_BG3PA]
    strh r0, [r12, #REG_BG3PD]
    pop {lr}
    bx lr

@ Serial registers: general-purpose mode in RCNT, the JOY flags acknowledged.
reset_serial:
    push {lr}
    clear 0x04000110, 0x20
    mov r0, #0x8000
    add r1, r12, #0x100
    strh r0, [r1, #(REG_RCNT - 0x100)]
    mov r0, #7
    strb r0, [r12, #REG_JOYCNT]
    clear 0x04000140, 0x20
    pop {lr}
    bx lr

@ Sound: master off (which clears the channel registers), then on to set the mixer, both
@ wave RAM banks cleared, and master off again. SOUNDBIAS keeps its level (bits 0-9).
reset_sound:
    push {lr}
    mov r0, #0
    strh r0, [r12, #REG_SOUNDCNT_X]
    clear 0x04000060, 0x20
    mov r0, #0x80
    strh r0, [r12, #REG_SOUNDCNT_X]
    mov r0, #0
    strh r0, [r12, #REG_SOUNDCNT_L]
    ldr r0, =0x880E
    strh r0, [r12, #REG_SOUNDCNT_H]
    ldrh r0, [r12, #REG_SOUNDBIAS]
    bic r0, r0, #0xFC00
    strh r0, [r12, #REG_SOUNDBIAS]
    mov r0, #0x40                   @ the CPU sees the first bank
    strh r0, [r12, #REG_SOUND3CNT_L]
    clear 0x04000090, 0x10
    mov r0, #0                      @ and now the second
    strh r0, [r12, #REG_SOUND3CNT_L]
    clear 0x04000090, 0x20
    mov r0, #0
    strh r0, [r12, #REG_SOUNDCNT_X]
    pop {lr}
    bx lr

@ r3 = the unit count of the control word in r2; leaves the function when it is 0 or when
@ the source or its end (4 bytes a unit in both modes, as on the console) is in the boot
@ image.
.macro check_copy_arguments
    bic r3, r2, #0xFF000000
    bics r3, r3, #0x00E00000
    bxeq lr
    reject_low_source r0
    mov r12, r3, lsl #2
    bic r12, r12, #0xFE000000
    add r12, r12, r0
    reject_low_source r12
.endm

@ CpuSet (0x0B): r0 source, r1 destination, r2 count (bits 0-20), fill (bit 24: repeat
@ the unit at r0) and unit (bit 26: 32 bits, else 16).
    .global cpu_set
cpu_set:
    check_copy_arguments
    tst r2, #(1 << 26)
    bne cpu_set_words
    tst r2, #(1 << 24)
    bne 2f
1:  ldrh r12, [r0], #2
    strh r12, [r1], #2
    subs r3, r3, #1
    bne 1b
    bx lr
2:  ldrh r12, [r0]
3:  strh r12, [r1], #2
    subs r3, r3, #1
    bne 3b
    bx lr
cpu_set_words:
    tst r2, #(1 << 24)
    bne 2f
1:  ldr r12, [r0], #4
    str r12, [r1], #4
    subs r3, r3, #1
    bne 1b
    bx lr
2:  ldr r12, [r0]
3:  str r12, [r1], #4
    subs r3, r3, #1
    bne 3b
    bx lr

@ CpuFastSet (0x0C): as CpuSet in words, 8 at a time, so the count is rounded up to a
@ multiple of 8.
    .global cpu_fast_set
cpu_fast_set:
    check_copy_arguments
    push {r4-r10}
    add r12, r1, r3, lsl #2         @ stop once the destination reaches this
    tst r2, #(1 << 24)
    bne 2f
1:  ldmia r0!, {r3-r10}
    stmia r1!, {r3-r10}
    cmp r1, r12
    blo 1b
    b 3f
2:  ldr r3, [r0]
    mov r4, r3
    mov r5, r3
    mov r6, r3
    mov r7, r3
    mov r8, r3
    mov r9, r3
    mov r10, r3
4:  stmia r1!, {r3-r10}
    cmp r1, r12
    blo 4b
3:  pop {r4-r10}
    bx lr

@ GetBiosChecksum (0x0D): the sum of the 4096 words of the boot image, with interrupts
@ masked. The build sets the last word so that this image sums to the console's value.
    .global get_bios_checksum
get_bios_checksum:
    mrs r12, cpsr
    orr r3, r12, #MASK_IRQ_FIQ
    msr cpsr_c, r3
    mov r0, #0
    mov r1, #0
1:  ldr r3, [r1], #4
    add r0, r0, r3
    cmp r1, #0x4000
    blo 1b
    msr cpsr_c, r12
    mov r1, #1
    mov r3, #0x4000
    bx lr

    .ltorg
