@ A tone for as long as A is held: channel 2 plays a 1 kHz square at volume 15 from the start,
@ and each vertical blank routes it to both sides while KEYINPUT shows A held and to neither
@ while it does not. The sound latency tests press A and look for the tone's onset.
    .arm
    .include "sound.inc"
    .global _start
_start:
    io16 SOUNDCNT_X, 0x82           @ master on, channel 2 synthesised
    io16 SOUNDCNT_H, 0x0002         @ tones at full ratio
    tone_routing 0x0000             @ 0 dB, nothing routed yet
    io16 SOUND2CNT_L, 0xF080        @ volume 15, no envelope step, duty 2
    io16 SOUND2CNT_H, 0x8000 | 1917 @ restart: 131072 / (2048 - 1917) = 1000.5 Hz, no length
    mov r0, #0x04000000
    add r4, r0, #0x130              @ KEYINPUT
frame:
    wait_vblank
    ldrh r3, [r4]                   @ bit 0 is clear while A is held
    tst r3, #1
    moveq r3, #0x2200               @ channel 2 left and right
    movne r3, #0
    strh r3, [r0, #SOUNDCNT_L]
    b frame
    .ltorg
