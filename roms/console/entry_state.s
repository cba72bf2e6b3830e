@ The state the cartridge is entered in: as the console's boot program leaves it, System mode
@ with IRQ and FIQ enabled in ARM state, R0-R12 and R14 cleared, the stacks of System, IRQ and
@ Supervisor mode at 0x03007F00, 0x03007FA0 and 0x03007FE0, and R14 of IRQ and Supervisor
@ mode cleared.
    .include "testlib.inc"
    .include "report.inc"
    .arm
    .global _start
_start:
    @ Everything as found, onto the stack in use; SP itself follows the block.
    push {r0-r12, r14}
    mov r0, sp
    push {r0}
    mrs r0, cpsr
    push {r0}
    test_begin

    pop {r4}
    expect r4, 0x0000001F, 1        @ CPSR
    pop {r4}
    expect r4, 0x03007F00 - 14 * 4, 2 @ SP after the block
    mov r5, #0                      @ R0-R12 and R14 all 0
    mov r6, #14
1:  pop {r4}
    orr r5, r5, r4
    subs r6, r6, #1
    bne 1b
    expect r5, 0, 3
    mov r7, sp
    expect r7, 0x03007F00, 4

    @ The banked stacks and link registers, read through MSR by register.
    mov r0, #0xD2                   @ IRQ mode
    msr cpsr_c, r0
    mov r8, sp
    mov r9, lr
    mov r0, #0xD3                   @ Supervisor mode
    msr cpsr_c, r0
    mov r10, sp
    mov r11, lr
    mov r0, #0xDF                   @ back to System mode
    msr cpsr_c, r0
    expect r8, 0x03007FA0, 5
    expect r9, 0, 6
    expect r10, 0x03007FE0, 7
    expect r11, 0, 8

    report_end
    .ltorg
