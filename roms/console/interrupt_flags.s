@ IF records every request of a source enabled at its device, whatever IME and IE hold; a
@ halted CPU resumes once IE AND IF is not 0; and the IRQ is entered as soon as IME is on,
@ IE AND IF is not 0 and CPSR.I is clear, also when the last of these comes true through a
@ write to IE or IME, an MSR or an SPSR restore. The source is the VBlank interrupt; the
@ handler counts its entries at COUNTER.
    .include "testlib.inc"
    .include "report.inc"

    .equ COUNTER, 0x03000010

@ Waits up to a few frames for IF bit BIT; counts a failure of CASE if it does not come.
@ Clobbers r0, r1.
.macro wait_for_if bit, case
    ldr r1, =100000
1:  ldrh r0, [r9, #0x002]
    tst r0, #\bit
    bne 2f
    subs r1, r1, #1
    bne 1b
    fail_case \case
2:
.endm

@ Acknowledges everything in IF. Clobbers r0.
.macro clear_if
    ldr r0, =0xFFFF
    strh r0, [r9, #0x002]
.endm

@ Counts a failure of CASE unless the handler has run exactly once since COUNTER was cleared.
.macro expect_one_entry case
    ldr r4, =COUNTER
    ldr r4, [r4]
    expect r4, 1, \case
.endm

.macro clear_counter
    ldr r0, =COUNTER
    mov r1, #0
    str r1, [r0]
.endm

    .arm
    .global _start
_start:
    test_begin
    mov r0, #0x1F                   @ System mode, IRQs enabled
    msr cpsr_c, r0
    mov r0, #0x04000000
    mov r1, #0x0008
    strh r1, [r0, #0x004]           @ DISPSTAT: VBlank interrupt enabled at the device
    add r9, r0, #0x200              @ IE, IF (+2), IME (+8), HALTCNT (+0x101)
    mov r10, #1                     @ the VBlank bit, and IME on
    ldr r0, =irq_handler
    ldr r1, =0x03007FFC
    str r0, [r1]

    @ With IME off and with IE clear, IF records the request all the same.
    mov r0, #0
    strh r0, [r9, #0x008]
    strh r10, [r9]
    clear_if
    wait_for_if 1, 1
    strh r10, [r9, #0x008]
    mov r0, #0
    strh r0, [r9]
    clear_if
    wait_for_if 1, 2

    @ A write to IE lets the pending request through, right after the store.
    clear_counter
    strh r10, [r9]
    expect_one_entry 3

    @ So does a write of 1 to IME.
    mov r0, #0
    strh r0, [r9, #0x008]
    clear_if
    wait_for_if 1, 4
    clear_counter
    strh r10, [r9, #0x008]
    expect_one_entry 5

    @ So does an MSR that clears CPSR.I.
    mov r0, #0x9F
    msr cpsr_c, r0
    clear_if
    wait_for_if 1, 6
    clear_counter
    mov r0, #0x1F
    msr cpsr_c, r0
    expect_one_entry 7

    @ So does a return from Supervisor mode whose SPSR has I clear.
    mov r0, #0x93
    msr cpsr_c, r0
    mov r0, #0x1F
    msr spsr_fc, r0
    clear_if
    wait_for_if 1, 8
    clear_counter
    adr lr, 3f
    movs pc, lr
3:  mrs r5, cpsr
    expect_one_entry 9
    and r5, r5, #0xFF
    expect r5, 0x1F, 10

    @ A halt with IME off ends at the next VBlank, which IF then holds.
    mov r0, #0
    strh r0, [r9, #0x008]
    clear_if
    strb r0, [r9, #0x101]
    ldrh r4, [r9, #0x002]
    and r4, r4, #1
    expect r4, 1, 11

    @ With that request still in IF, a halt ends at once: timer 0 (one count per 1024 cycles)
    @ shows no frame of 274 counts passing.
    ldr r1, =0x04000100
    mov r0, #0
    strh r0, [r1]
    mov r0, #0x83
    strh r0, [r1, #2]
    mov r0, #0
    strb r0, [r9, #0x101]
    ldrh r4, [r1]
    cmp r4, #16
    blo 4f
    fail_case 12
4:  strh r0, [r1, #2]

    report_end

@ Called by the boot image with r0 = 0x04000000: acknowledges what it counts.
irq_handler:
    add r0, r0, #0x200
    ldrh r1, [r0, #0x002]           @ IF
    ldrh r2, [r0]                   @ IE
    and r1, r1, r2
    strh r1, [r0, #0x002]
    ldr r2, =COUNTER
    ldr r3, [r2]
    add r3, r3, #1
    str r3, [r2]
    bx lr
    .ltorg
