@ ARM multiplies: 32-bit and 64-bit results, accumulation and flags.
    .include "testlib.inc"
    .global _start
    .arm
_start:
    test_begin

    mov r1, #3
    ldr r2, =0xFFFFFF00
    mul r0, r1, r2
    expect r0, 0xFFFFFD00, 1
    mov r3, #0x10
    mla r0, r1, r2, r3
    expect r0, 0xFFFFFD10, 2

    @ MULS sets N and Z and keeps C and V.
    msr cpsr_f, #0x30000000
    mov r1, #0
    muls r0, r1, r2
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x70000000, 3
    msr cpsr_f, #0x30000000         @ the check above changed C and V
    mov r1, #1
    mlas r0, r1, r2, r3
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0xB0000000, 4

    @ 64-bit products.
    mvn r2, #0                      @ -1
    mov r3, #2
    smull r0, r1, r2, r3
    expect r0, 0xFFFFFFFE, 5
    expect r1, 0xFFFFFFFF, 6
    umull r0, r1, r2, r3
    expect r0, 0xFFFFFFFE, 7
    expect r1, 1, 8
    mov r0, #0
    mov r1, #0
    mov r2, #0x10000
    mov r3, #0x10000
    umlal r0, r1, r2, r3
    expect r0, 0, 9
    expect r1, 1, 10
    mvn r0, #0
    mov r1, #0
    mov r2, #1
    mov r3, #1
    umlal r0, r1, r2, r3            @ the low word carries into the high word
    expect r0, 0, 11
    expect r1, 1, 12
    mov r0, #5
    mov r1, #0
    mvn r2, #0
    mov r3, #7
    smlal r0, r1, r2, r3            @ 5 - 7
    expect r0, 0xFFFFFFFE, 13
    expect r1, 0xFFFFFFFF, 14

    @ Long flag forms: N from bit 63, Z from all 64 bits.
    msr cpsr_f, #0x30000000
    mov r2, #0
    umulls r0, r1, r2, r3
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x70000000, 15
    msr cpsr_f, #0x30000000
    mvn r2, #0
    mov r3, #1
    smulls r0, r1, r2, r3
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0xB0000000, 16
    mov r0, #0
    mov r1, #1
    mov r2, #0
    msr cpsr_f, #0x30000000
    umlals r0, r1, r2, r3           @ high word only: not zero
    mrs r4, cpsr
    and r4, r4, #0xF0000000
    expect r4, 0x30000000, 17

    test_end
    .ltorg
