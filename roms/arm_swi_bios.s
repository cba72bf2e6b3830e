@ A minimal boot image for the ARM branch tests: the SWI vector records the saved status
@ and the return address in r12 and r11, then returns.
    .global _start
    .arm
_start:
    b _start                        @ 0x00 reset
    b _start                        @ 0x04 undefined instruction
    b swi_entry                     @ 0x08 software interrupt
    b _start                        @ 0x0C
    b _start                        @ 0x10
    b _start                        @ 0x14
    subs pc, lr, #4                 @ 0x18 IRQ
swi_entry:
    mrs r12, spsr
    mov r11, lr
    movs pc, lr
