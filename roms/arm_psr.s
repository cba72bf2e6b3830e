@ ARM status register transfers and the banked registers of each mode.
    .include "testlib.inc"
    .global _start
    .arm
_start:
    test_begin

    @ The cartridge starts in System mode with IRQ and FIQ enabled; Supervisor mode has its
    @ own stack.
    mrs r4, cpsr
    and r4, r4, #0xFF
    expect r4, 0x1F, 1
    msr cpsr_fc, #0xD3
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, 0x03007FE0, 2

    @ The flag field alone, by register and by immediate.
    ldr r0, =0xF00000FF
    msr cpsr_f, r0
    mrs r4, cpsr
    expect r4, 0xF00000D3, 3
    msr cpsr_f, #0x40000000
    mrs r4, cpsr
    expect r4, 0x400000D3, 4

    @ The control field replaces the whole word in a privileged mode.
    mov r0, #0xD2                   @ IRQ mode
    msr cpsr_c, r0
    mrs r4, cpsr
    expect r4, 0xD2, 5
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, 0x03007FA0, 6
    mov r14, #0x14
    ldr r0, =0x600000D3
    msr spsr_fc, r0
    mrs r5, spsr
    expect r5, 0x600000D3, 7
    mov r0, #0x1F
    msr spsr_c, r0                  @ without the flag field: ignored
    mrs r5, spsr
    expect r5, 0x600000D3, 8
    msr spsr_f, #0x80000000
    mrs r5, spsr
    expect r5, 0x800000D3, 9

    @ FIQ banks R8-R14; IRQ shares R8-R12 with the other modes.
    mov r8, #8
    mov r0, #0xD1
    msr cpsr_c, r0
    mov r8, #0x88
    ldr r13, =0x03007E00
    mov r0, #0xD2
    msr cpsr_c, r0
    expect r8, 8, 10
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, 0x03007FA0, 11
    expect r14, 0x14, 12
    mov r0, #0xD1
    msr cpsr_c, r0
    expect r8, 0x88, 13
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, 0x03007E00, 14

    @ MOVS PC, LR returns to the mode in the SPSR.
    mov r0, #0xD2
    msr cpsr_c, r0
    mov r0, #0x1F                   @ System mode, interrupts enabled
    msr spsr_fc, r0
    adr lr, 1f
    movs pc, lr
    b fail
1:  mrs r4, cpsr
    expect r4, 0x1F, 15
    mov r7, sp                      @ the check itself pushes onto SP
    expect r7, 0x03007F00, 16

    @ In System mode MOVS PC has no SPSR to restore: only N and Z follow the result.
    msr cpsr_f, #0x20000000
    adr lr, 2f
    movs pc, lr
    b fail
2:  mrs r4, cpsr
    expect r4, 0x2000001F, 17

    @ Writing the T bit through MSR leaves the interpreter in ARM state.
    mov r0, #0x3F
    msr cpsr_fc, r0
    mov r6, #6                      @ still executed as ARM code
    mrs r4, cpsr
    mov r0, #0x1F
    msr cpsr_fc, r0
    expect r4, 0x3F, 18
    expect r6, 6, 19

    @ System mode reads the SPSR placeholder.
    ldr r0, =0x12345678
    msr spsr_fc, r0
    mrs r5, spsr
    expect r5, 0x12345678, 20

    @ User mode: the control field is out of reach, the flags are not.
    mov r0, #0x10
    msr cpsr_fc, r0
    mov r0, #0x1F
    ldr r1, =0x90000000
    orr r0, r0, r1
    msr cpsr_fc, r0
    mrs r4, cpsr
    expect r4, 0x90000010, 21
    mov r0, #0
    msr spsr_fc, r0                 @ no effect in User mode
    mrs r5, spsr
    expect r5, 0x12345678, 22

    test_end
fail:
    test_abort
    .ltorg
