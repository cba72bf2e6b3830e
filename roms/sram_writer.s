@ Saves as a game with battery RAM does, a byte at a time: "SAVE" at the start of the save
@ region, then a counter byte at offset 16 that it rewrites for ever, reading the signature
@ back as a word each time, so the battery RAM keeps changing while the program runs.
    .arm
    .global _start
_start:
    ldr r0, =0x0E000000
    ldr r1, =signature
    mov r2, #4
copy:
    ldrb r3, [r1], #1
    strb r3, [r0], #1
    subs r2, r2, #1
    bne copy
    ldr r0, =0x0E000000
    mov r2, #0
count:
    add r2, r2, #1
    strb r2, [r0, #16]
    ldr r3, [r0]
    b count
signature:
    .ascii "SAVE"
    .ltorg
