@ Leaves the forced blank, enables interrupts (IME on, CPSR.I clear) and waits in a loop,
@ copying KEYINPUT into r2; the host test chooses the interrupt sources. Used with the
@ irq_counter_bios boot image.
    .arm
    .global _start
_start:
    mov r0, #0x04000000
    mov r1, #0
    strh r1, [r0]           @ DISPCNT: mode 0, drawn
    ldr r0, =0x04000208
    mov r1, #1
    str r1, [r0]            @ IME
    mrs r0, cpsr
    bic r0, r0, #0x80
    msr cpsr_c, r0          @ IRQs on
    ldr r3, =0x04000130
idle:
    ldrh r2, [r3]           @ KEYINPUT
    b idle
    .ltorg
