@ CPU results: MSR with an immediate operand reaches the control field; a flag-setting logical
@ instruction with a rotated immediate takes C from bit 31 of the rotated value; LDRH from an
@ odd address rotates the halfword right by 8 and LDRSH from an odd address loads the
@ sign-extended byte, in ARM and in THUMB code.
    .include "testlib.inc"
    .include "thumb_checks.inc"
    .include "report.inc"
    .arm
    .global _start
_start:
    test_begin

    msr cpsr_fc, #0xD2              @ IRQ mode
    mov r7, sp
    mrs r4, cpsr
    msr cpsr_fc, #0x1F              @ back to System mode
    mrs r5, cpsr
    expect r4, 0xD2, 1
    expect r7, 0x03007FA0, 2
    expect r5, 0x1F, 3

    msr cpsr_f, #0
    movs r0, #0x80000000            @ rotated: C = bit 31
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0xA0000000, 4
    msr cpsr_f, #0x20000000
    ands r0, r0, #0x0F              @ not rotated: C stays
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x60000000, 5
    tst r0, #0x100                  @ rotated, bit 31 clear: C cleared
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x40000000, 6

    ldr r1, =0x02000000
    ldr r0, =0x80FF7F01
    str r0, [r1]
    ldrh r4, [r1, #1]
    expect r4, 0x0100007F, 7
    ldrh r4, [r1, #3]
    expect r4, 0xFF000080, 8
    ldrsh r4, [r1, #1]
    expect r4, 0x0000007F, 9
    ldrsh r4, [r1, #3]
    expect r4, 0xFFFFFF80, 10
    ldrsh r4, [r1, #2]              @ an even address as before
    expect r4, 0xFFFF80FF, 11

    tstart
    ldr r1, =0x02000001
    ldrh r4, [r1, #2]
    texpect r4, 0xFF000080, 12
    mov r2, #0
    ldrh r4, [r1, r2]
    texpect r4, 0x0100007F, 13
    ldsh r4, [r1, r2]
    texpect r4, 0x0000007F, 14
    mov r2, #2
    ldsh r4, [r1, r2]
    texpect r4, 0xFFFFFF80, 15
    ldr r0, =1f
    bx r0
    .ltorg
    .arm
    .p2align 2
1:  report_end
    .ltorg
