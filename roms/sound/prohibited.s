@ Values the console forbids: tone ratio 3 (levels left signed), channel 1 at frequency 0,
@ channel 3 at frequency 2047 in 64-sample mode while the CPU keeps writing wave RAM.
    .arm
    .include "sound.inc"
    .global _start
_start:
    io16 SOUNDCNT_X, 0x80           @ master on
    io16 SOUNDCNT_H, 0x0003         @ prohibited ratio
    tone_routing 0x3400             @ channels 1 and 2 left, channel 3 right
    io16 SOUND1CNT_H, 0xF080
    io16 SOUND1CNT_X, 0x8000        @ restart at frequency 0
    io16 SOUND2CNT_L, 0xF080
    io16 SOUND2CNT_H, 0x8000 | 1792
    io16 SOUND3CNT_H, 0x2000
    io16 SOUND3CNT_X, 0x8000 | 2047
    io16 SOUND3CNT_L, 0xA0          @ on, 64 samples
    mov r0, #0x04000000
    mov r3, #0
    mov r4, #0
scribble:
    add r3, r3, #0x11
    add r4, r4, #2
    and r4, r4, #0x0E
    add r5, r0, r4
    strh r3, [r5, #WAVE_RAM]        @ one halfword of the CPU's bank after another
    b scribble
    .ltorg
