@ A minimal boot image for tests: its interrupt vector counts every interrupt source in
@ internal RAM (one word per IF bit at 0x03000100) and acknowledges it.
    .arm
    .global _start
_start:
    b _start                @ 0x00 reset: not used by the tests
    b _start                @ 0x04 undefined instruction
    movs pc, lr             @ 0x08 software interrupt: return at once
    b _start                @ 0x0C prefetch abort
    b _start                @ 0x10 data abort
    b _start                @ 0x14 reserved
irq_vector:                 @ 0x18
    stmfd sp!, {r0-r3}
    ldr r0, =0x04000200
    ldrh r1, [r0, #2]       @ IF
    ldrh r2, [r0]           @ IE
    and r1, r1, r2
    strh r1, [r0, #2]       @ acknowledge what is counted
    ldr r2, =0x03000100
count_bits:
    movs r1, r1, lsr #1
    ldrcs r3, [r2]
    addcs r3, r3, #1
    strcs r3, [r2]
    add r2, r2, #4
    bne count_bits
    ldmfd sp!, {r0-r3}
    subs pc, lr, #4
    .ltorg
