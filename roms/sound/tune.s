@ A little tune on every sound source: channel 1 the melody (duty 2, plucked by its envelope),
@ channel 2 a lower voice (duty 1), channel 3 a triangle bass, channel 4 a short tick on every
@ note, FIFO A a noise hit on every other note. A note lasts 15 frames; the 16 steps of the
@ song loop for good.
    .arm
    .include "sound.inc"
    .global _start

.equ NOISE, 0x02000000          @ 255 bytes of decaying noise, built at start
.equ SILENCE, 0x02000200        @ zeros (work RAM starts cleared)
.equ STEP_FRAMES, 15

_start:
    io16 SOUNDCNT_X, 0x80           @ master on
    io16 SOUNDCNT_H, 0x0B02         @ FIFO A both sides, in use, timer 0; tones at full ratio
    tone_routing 0xFF00             @ channels 1-4 on both sides
    io16 SOUND3CNT_L, 0x40          @ bank 1 played: the CPU sees bank 0
    wave_bank triangle
    io16 SOUND3CNT_L, 0x80          @ on, 32 samples, bank 0 played
    io16 SOUND3CNT_H, 0x2000        @ full volume

    ldr r3, =NOISE
    ldr r4, =0xACE1                 @ 16-bit shift register
    mov r5, #255                    @ amplitude, falling to 1
noise:
    movs r4, r4, lsr #1
    eorcs r4, r4, #0xB400
    and r1, r4, #0x7F
    sub r1, r1, #64
    mul r2, r1, r5
    mov r2, r2, asr #8
    strb r2, [r3], #1
    subs r5, r5, #1
    bne noise

    mov r0, #0x04000000
    ldr r3, =SILENCE
    str r3, [r0, #0xBC]             @ DMA1SAD
    ldr r1, =0x040000A0
    str r1, [r0, #0xC0]             @ DMA1DAD: FIFO A
    io16 0xC6, 0xB640               @ DMA1: on, sound timing, words, repeat, fixed target
    io16 0x100, 0xFC00              @ TM0: overflow every 1024 cycles, 16384 Hz
    io16 0x102, 0x0080
    mov r6, #0                      @ song step
    mov r5, #0                      @ frame within the step
play:
    wait_vblank
    ldr r3, =SILENCE
    cmp r5, #0
    bne hold
    ldr r4, =song
    add r4, r4, r6, lsl #3
    ldr r2, =0xF180                 @ volume 15, falling every 1/64 s, duty 2
    strh r2, [r0, #SOUND1CNT_H]
    ldrh r1, [r4]
    orr r1, r1, #0x8000
    strh r1, [r0, #SOUND1CNT_X]
    ldr r2, =0xA240                 @ volume 10, falling every 2/64 s, duty 1
    strh r2, [r0, #SOUND2CNT_L]
    ldrh r1, [r4, #2]
    orr r1, r1, #0x8000
    strh r1, [r0, #SOUND2CNT_H]
    ldrh r1, [r4, #4]
    cmp r1, #0
    orrne r1, r1, #0x8000
    strneh r1, [r0, #SOUND3CNT_X]   @ a new bass note
    ldr r2, =0x4100                 @ volume 4, falling every 1/64 s
    strh r2, [r0, #SOUND4CNT_L]
    ldr r2, =0x8051                 @ restart, 15 bits, 8192 shifts a second
    strh r2, [r0, #SOUND4CNT_H]
    ldrh r1, [r4, #6]
    cmp r1, #0
    ldrne r3, =NOISE
hold:
    str r3, [r0, #0xBC]             @ this frame's FIFO bytes start again at a table
    add r5, r5, #1
    cmp r5, #STEP_FRAMES
    moveq r5, #0
    addeq r6, r6, #1
    cmp r6, #16
    moveq r6, #0
    b play
    .ltorg
    .align 2
triangle:
    .byte 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF
    .byte 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10
@ Per step: melody, lower voice, bass (0: the bass holds), noise hit. Frequency values are
@ 2048 - 131072 / Hz for the tones and 2048 - 65536 / Hz for the bass; frequency 0 is silent.
song:
    .hword 1849, 1714, 1547, 1      @ E5 G4 C3
    .hword 1849, 1714, 0, 0         @ E5 G4
    .hword 1860, 1750, 0, 1         @ F5 A4
    .hword 1881, 1783, 0, 0         @ G5 B4
    .hword 1881, 1783, 1380, 1      @ G5 B4 G2
    .hword 1860, 1750, 0, 0         @ F5 A4
    .hword 1849, 1714, 0, 1         @ E5 G4
    .hword 1825, 1673, 0, 0         @ D5 F4
    .hword 1798, 1650, 1547, 1      @ C5 E4 C3
    .hword 1798, 1650, 0, 0         @ C5 E4
    .hword 1825, 1673, 0, 1         @ D5 F4
    .hword 1849, 1714, 0, 0         @ E5 G4
    .hword 1849, 1714, 1380, 1      @ E5 G4 G2
    .hword 1825, 1673, 0, 0         @ D5 F4
    .hword 1825, 1673, 0, 1         @ D5 F4
    .hword 0, 0, 0, 0               @ rest
