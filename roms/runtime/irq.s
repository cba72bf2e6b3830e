@ Interrupt handler of the project's C programs, called by the boot image's interrupt entry
@ in IRQ mode with r0 = 0x04000000. It acknowledges the requests, records them where
@ IntrWait and VBlankIntrWait look (0x03007FF8), and calls the C handler of each request in
@ irq_handlers, lowest bit first, in System mode with interrupts still masked, so that the
@ handlers run on the program's stack rather than the small IRQ stack.
    .syntax unified
    .arm
    .section .iwram.text, "ax", %progbits
    .global irq_dispatch
irq_dispatch:
    add r3, r0, #0x200
    ldr r1, [r3]                    @ IE in the low half, IF in the high half
    and r1, r1, r1, lsr #16
    strh r1, [r3, #2]               @ writing a 1 clears the IF bit
    ldrh r2, [r0, #-8]              @ 0x03FFFFF8 mirrors 0x03007FF8
    orr r2, r2, r1
    strh r2, [r0, #-8]

    mrs r2, spsr
    push {r2, lr}
    mov r2, #0x9F                   @ System mode, IRQs masked
    msr cpsr_c, r2
    push {r4, r5, lr}
    mov r4, r1
    ldr r5, =irq_handlers
1:  tst r4, #1
    ldrne r12, [r5]
    cmpne r12, #0
    movne lr, pc                    @ returns to the add after the bx
    bxne r12
    add r5, r5, #4
    movs r4, r4, lsr #1
    bne 1b
    pop {r4, r5, lr}

    mov r2, #0x92                   @ back to IRQ mode
    msr cpsr_c, r2
    pop {r2, lr}
    msr spsr_cf, r2
    bx lr
    .ltorg
