@ Start-up code of the project's C programs: the cartridge header, then the set-up that C
@ needs before main (stacks, initialised data in internal RAM, zeroed variables) and the
@ interrupt handler address that the boot image's interrupt entry calls.
    .syntax unified
    .arm
    .section .crt0, "ax", %progbits
    .global _start
_start:
    b start
    .fill 156, 1, 0                 @ logo: the project's boot image does not check it
    .ascii "QUARVENDDEMO"           @ 0xA0 title
    .ascii "QVDE"                   @ 0xAC game code
    .ascii "00"                     @ 0xB0 maker code
    .byte 0x96, 0, 0                @ 0xB2 fixed value, unit code, device type
    .fill 7, 1, 0                   @ 0xB5 reserved
    .byte 0                         @ 0xBC version
    .byte 0x36                      @ 0xBD complement of the bytes 0xA0-0xBC
    .hword 0                        @ 0xBE reserved

start:
    @ The boot image leaves these stacks; set them again for starts that skip it.
    mov r0, #0xD2                   @ IRQ mode, interrupts masked
    msr cpsr_c, r0
    ldr sp, =0x03007FA0
    mov r0, #0x1F                   @ System mode
    msr cpsr_c, r0
    ldr sp, =0x03007F00

    ldr r0, =__iwram_load           @ ARM code and initialised data into internal RAM
    ldr r1, =__iwram_start
    ldr r2, =__iwram_end
    bl copy_words
    ldr r1, =__bss_start            @ variables in internal RAM start at zero
    ldr r2, =__bss_end
    bl zero_words
    ldr r1, =__ewram_bss_start      @ and so do those in the on-board RAM
    ldr r2, =__ewram_bss_end
    bl zero_words

    ldr r0, =irq_dispatch           @ the boot image calls the handler stored at 0x03007FFC
    ldr r1, =0x03007FFC
    str r0, [r1]

    ldr r0, =main                   @ main is THUMB code
    mov lr, pc
    bx r0
    b .

@ Copies the words from r0 into r1 up to r2.
copy_words:
    cmp r1, r2
    ldrlo r3, [r0], #4
    strlo r3, [r1], #4
    blo copy_words
    bx lr

@ Zeroes the words from r1 up to r2.
zero_words:
    mov r3, #0
1:  cmp r1, r2
    strlo r3, [r1], #4
    blo 1b
    bx lr
    .ltorg
