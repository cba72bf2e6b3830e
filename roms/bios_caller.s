@ Calls boot image functions through SWI, from ARM and from THUMB code, as the host test lists
@ them, and records what each call returned.
@
@ The host writes the call list at CALL_LIST, 32 bytes a call, ended by a number of -1:
@   +0 function number   +4 caller: 0 ARM (number in bits 16-23), 1 THUMB, 2 the ARM SWI
@                            0x06000D (Div by bits 16-23; the low byte would be 0x0D)
@   +8 r0  +12 r1  +16 r2  +20 r3
@   +24 timer 0 reload: when not 0, timer 0 runs with its interrupt during the call
@   +28 options: bits 0-15 go to the interrupt flags at 0x03007FF8 first; bit 16 puts a
@       routine at 0x02000000 that records its LR at ENTRY_WRAM_LR and jumps to the cartridge;
@       bit 17 sets the SoftReset flag 0x03007FFA; bit 18 enables the VBlank interrupt
@ Each call runs in System mode with IRQs enabled, r4-r11 holding known patterns and the
@ flags N and C set. The result of call i is at RESULTS + 32 * i:
@   +0 r0  +4 r1  +8 r2  +12 r3  +16 CPSR after the call, with bit 8 set when SP changed
@   +20 bit n set when r(4+n) changed  +24 interrupts handled during the call  +28 0xD0E
@ Every start of the program (power-on or SoftReset) is recorded at ENTRY: the OR of r0-r12,
@ CPSR, SP and LR at entry, and a count. The handler records the r0 it was given.
.include "testlib.inc"

.equ CALL_LIST, 0x08100000
.equ RESULTS, 0x03001000
.equ ENTRY_OR, 0x03000040
.equ ENTRY_CPSR, 0x03000044
.equ ENTRY_SP, 0x03000048
.equ ENTRY_LR, 0x0300004C
.equ ENTRY_COUNT, 0x03000050
.equ ENTRY_WRAM_LR, 0x03000054
.equ IRQ_COUNT, 0x03000058
.equ IRQ_R0, 0x0300005C
@ The next call is kept twice: SoftReset clears the top 0x200 bytes of on-chip WRAM and
@ RegisterRamReset everything below them, so one copy always survives.
.equ INDEX_LOW, 0x03000060
.equ INDEX_HIGH, 0x03007E10
.equ STACK, 0x03007F00

.macro check_pattern reg, bit
    ldr r1, =(0x11111111 * (\bit + 4))
    cmp \reg, r1
    orrne r0, r0, #(1 << \bit)
.endm

    .global _start
    .arm
_start:
    orr r0, r0, r1
    orr r0, r0, r2
    orr r0, r0, r3
    orr r0, r0, r4
    orr r0, r0, r5
    orr r0, r0, r6
    orr r0, r0, r7
    orr r0, r0, r8
    orr r0, r0, r9
    orr r0, r0, r10
    orr r0, r0, r11
    orr r0, r0, r12
    mrs r1, cpsr
    ldr r2, =ENTRY_OR
    str r0, [r2]
    str r1, [r2, #(ENTRY_CPSR - ENTRY_OR)]
    str sp, [r2, #(ENTRY_SP - ENTRY_OR)]
    str lr, [r2, #(ENTRY_LR - ENTRY_OR)]
    ldr r0, [r2, #(ENTRY_COUNT - ENTRY_OR)]
    add r0, r0, #1
    str r0, [r2, #(ENTRY_COUNT - ENTRY_OR)]

    mov r0, #0x1F
    msr cpsr_c, r0
    ldr sp, =STACK
    ldr r0, =irq_handler
    mov r1, #0x04000000
    str r0, [r1, #-4]

next_call:
    ldr r2, =INDEX_LOW
    ldr r4, [r2]
    ldr r3, =INDEX_HIGH
    ldr r5, [r3]
    cmp r4, r5
    movlo r4, r5
    ldr r5, =CALL_LIST
    add r5, r5, r4, lsl #5
    ldr r0, [r5]
    cmn r0, #1
    beq all_done
    add r4, r4, #1
    str r4, [r2]
    str r4, [r3]

    @ What to do before the call.
    ldr r6, [r5, #28]
    mov r0, #0x04000000
    strh r6, [r0, #-8]
    tst r6, #(1 << 16)
    blne copy_wram_entry
    tst r6, #(1 << 17)
    movne r1, #1
    strneb r1, [r0, #-6]
    mov r1, #0
    ldr r2, =IRQ_COUNT
    str r1, [r2]
    tst r6, #(1 << 18)
    ldrneh r2, [r0, #4]
    orrne r2, r2, #8
    strneh r2, [r0, #4]             @ DISPSTAT: VBlank interrupt
    orrne r1, r1, #1
    ldr r7, [r5, #24]
    cmp r7, #0
    orrne r1, r1, #8
    add r2, r0, #0x200
    strh r1, [r2]                   @ IE
    cmp r1, #0
    movne r3, #1
    strne r3, [r2, #8]              @ IME
    cmp r7, #0
    add r3, r0, #0x100
    strneh r7, [r3]
    movne r2, #0xC0
    strneh r2, [r3, #2]             @ timer 0: enabled, interrupt, every cycle

    @ The caller's stub.
    ldr r11, [r5]
    ldr r12, [r5, #4]
    cmp r12, #1
    ldrlo r12, =arm_stubs
    addlo r12, r12, r11, lsl #3
    ldreq r12, =thumb_stubs + 1
    addeq r12, r12, r11, lsl #2
    ldrhi r12, =arm_div_stub
    ldr r0, [r5, #8]
    ldr r1, [r5, #12]
    ldr r2, [r5, #16]
    ldr r3, [r5, #20]
    ldr r4, =0x44444444
    ldr r5, =0x55555555
    ldr r6, =0x66666666
    ldr r7, =0x77777777
    ldr r8, =0x88888888
    ldr r9, =0x99999999
    ldr r10, =0xAAAAAAAA
    ldr r11, =0xBBBBBBBB
    msr cpsr_f, #0xA0000000
    adr lr, returned
    bx r12
returned:
    mrs r12, cpsr
    ldr lr, =STACK
    cmp sp, lr
    orrne r12, r12, #0x100
    push {r0-r3, r12}
    mov r0, #0
    check_pattern r4, 0
    check_pattern r5, 1
    check_pattern r6, 2
    check_pattern r7, 3
    check_pattern r8, 4
    check_pattern r9, 5
    check_pattern r10, 6
    check_pattern r11, 7
    ldr r1, =INDEX_HIGH
    ldr r1, [r1]
    sub r1, r1, #1
    ldr r2, =RESULTS
    add r1, r2, r1, lsl #5
    str r0, [r1, #20]
    pop {r2-r6}
    stmia r1, {r2-r6}
    ldr r0, =0x04000100
    mov r2, #0
    strh r2, [r0, #2]               @ timer 0 off
    ldr r2, =IRQ_COUNT
    ldr r2, [r2]
    str r2, [r1, #24]
    ldr r2, =0xD0E
    str r2, [r1, #28]
    b next_call

all_done:
    test_end

@ Copies wram_entry to 0x02000000. Clobbers r1-r3.
copy_wram_entry:
    adr r1, wram_entry
    mov r2, #0x02000000
    mov r3, #(wram_entry_end - wram_entry)
1:  ldr r12, [r1], #4
    str r12, [r2], #4
    subs r3, r3, #4
    bne 1b
    bx lr

@ Runs at 0x02000000 after a SoftReset to WRAM: records LR there, puts r0 back to 0 and
@ goes on at the cartridge as if started there.
wram_entry:
    mov r0, #0x03000000
    str lr, [r0, #(ENTRY_WRAM_LR - 0x03000000)]
    mov r0, #0
    mov lr, #0x08000000
    bx lr
wram_entry_end:

@ The interrupt handler: acknowledges what is pending and enabled, records it for IntrWait
@ and counts.
irq_handler:
    ldr r1, =IRQ_R0
    str r0, [r1]
    ldr r1, [r0, #0x200]
    and r1, r1, r1, lsr #16
    add r2, r0, #0x200
    strh r1, [r2, #2]
    ldrh r2, [r0, #-8]
    orr r2, r2, r1
    strh r2, [r0, #-8]
    ldr r1, =IRQ_COUNT
    ldr r2, [r1]
    add r2, r2, #1
    str r2, [r1]
    bx lr
    .ltorg

@ One stub per function number for each instruction set.
    .p2align 2
arm_stubs:
    .set number, 0
    .rept 256
    swi number << 16
    bx lr
    .set number, number + 1
    .endr

arm_div_stub:
    swi 0x06000D
    bx lr

    .thumb
thumb_stubs:
    .set number, 0
    .rept 256
    swi number
    bx lr
    .set number, number + 1
    .endr
