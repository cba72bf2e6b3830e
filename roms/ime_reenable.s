@ Writes IME twice with an interrupt already pending in IF (set by the host test). The first
@ write turns IME on and makes the pending interrupt due, which must be taken after the store
@ completes, so that the handler returns to the instruction after it; the second finds nothing
@ pending. r4 counts how often the instruction after the stores ran (result word 0x10).
@ Used with the irq_counter_bios boot image.
    .arm
    .global _start
_start:
    mrs r0, cpsr
    bic r0, r0, #0x80
    msr cpsr_c, r0              @ IRQs on
    ldr r0, =0x04000208
    mov r1, #1
    mov r4, #0
    str r1, [r0]                @ IME 0 -> 1: the pending request is entered after this
    str r1, [r0]                @ IME 1 -> 1: nothing pending any more
after_store:
    add r4, r4, #1
    ldr r5, =0x03000010
    str r4, [r5]
done:
    b done
    .ltorg
