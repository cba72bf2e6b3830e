@ THUMB branches: every condition taken and not taken, B both ways, BL calls and returns,
@ BX into ARM code and back, BX PC and POP {PC}. Case numbers: hundreds = format.
.include "testlib.inc"
.include "thumb_checks.inc"

@ THUMB: counts a failure of case CASE if condition COND holds.
.macro tnot cond, case
    b\cond 3f
    b 4f
3:
    tfail \case
4:
.endm

.global _start
.arm
_start:
    test_begin
    tstart

@ Format 16 with Z and C set, N and V clear.
    mov r0, #0
    cmp r0, #0
    tcheck eq, 1601
    tcheck cs, 1602
    tcheck pl, 1603
    tcheck vc, 1604
    tcheck ls, 1605
    tcheck ge, 1606
    tcheck le, 1607
    tnot ne, 1608
    tnot cc, 1609
    tnot mi, 1610
    tnot vs, 1611
    tnot hi, 1612
    tnot lt, 1613
    tnot gt, 1614

@ N set; Z, C and V clear.
    mov r0, #1
    cmp r0, #2
    tcheck ne, 1615
    tcheck cc, 1616
    tcheck mi, 1617
    tcheck ls, 1618
    tcheck lt, 1619
    tcheck le, 1620
    tnot eq, 1621
    tnot cs, 1622
    tnot pl, 1623
    tnot hi, 1624
    tnot ge, 1625
    tnot gt, 1626

    tpool

@ C and V set; N and Z clear.
    ldr r0, =0x80000000
    cmp r0, #1
    tcheck vs, 1627
    tcheck hi, 1628
    tcheck lt, 1629
    tcheck le, 1630
    tnot vc, 1631
    tnot ls, 1632
    tnot ge, 1633
    tnot gt, 1634

@ Only C set.
    mov r0, #2
    cmp r0, #1
    tcheck gt, 1635
    tcheck ge, 1636
    tcheck hi, 1637
    tnot le, 1638

@ A backward conditional branch as a loop.
    mov r0, #0
    mov r1, #5
1:
    add r0, #1
    sub r1, #1
    bne 1b
    texpect r0, 5, 1639

    tpool

@ Format 18: B over nearly 2 KB and back.
    mov r5, #0
    b farForward
farBack:
    add r5, #2
    b farDone
    .space 1900               @ never executed
farForward:
    add r5, #1
    b farBack
farDone:
    texpect r5, 3, 1802

@ Format 19: BL and the return by BX LR and by MOV PC, LR.
    mov r0, #0
    bl incrementByBx
blReturn1:
    texpect r0, 1, 1901
    texpect r3, blReturn1 + 1, 1902
    bl incrementByMov
    texpect r0, 2, 1903
    bl farFunction
    texpect r0, 12, 1904

    tpool

@ Format 5: BX into ARM code and back, BX PC, and POP {PC}.
    mov r7, #0
    ldr r0, =armCode
    bx r0
thumbBack:
    texpect r7, 0x1234, 501

    mov r7, #0
    .p2align 2
    bx pc
    nop
.arm
    mov r7, #0x55
    add r0, pc, #1
    bx r0
.thumb
    texpect r7, 0x55, 502

    adr r0, popTarget
    add r0, #1
    push {r0}
    pop {pc}
    tfail 503
    .p2align 2
popTarget:

    tfinish

.thumb
incrementByBx:
    add r0, #1
    mov r3, lr
    bx lr

incrementByMov:
    add r0, #1
    mov pc, lr

.arm
.p2align 2
armCode:
    ldr r7, =0x1234
    ldr r0, =thumbBack + 1
    bx r0
    .ltorg

.thumb
farFunction:
    add r0, #10
    bx lr
