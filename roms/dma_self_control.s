@ Starts DMA 3 as an immediate, repeating transfer of two halfwords whose destination is its own
@ control register, from a fixed source that holds the same control value: every unit it
@ moves restarts the channel before its count is reached, so the channel runs for ever and the
@ CPU never gets a slice again.
    .arm
    .global _start
_start:
    ldr r0, =0x03000000
    ldr r1, =0x8340         @ enable, repeat, source fixed, destination fixed, immediate
    strh r1, [r0]
    ldr r2, =0x040000D4     @ DMA3SAD
    str r0, [r2]
    ldr r3, =0x040000DE     @ DMA3CNT_H
    str r3, [r2, #4]        @ DMA3DAD
    mov r3, #2
    strh r3, [r2, #8]       @ DMA3CNT_L: two units
    strh r1, [r2, #10]      @ DMA3CNT_H: start
stuck:
    b stuck
    .ltorg
