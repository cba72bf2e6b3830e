@ Exception vectors, the reset path, the interrupt entry and the software interrupt
@ dispatcher of the boot image.
    .include "bios.inc"
    .syntax unified
    .arm
    .section .text.vectors, "ax"
    .global _start
_start:
    b reset_entry                   @ 0x00 reset
    movs pc, lr                     @ 0x04 undefined instruction: go on after it
    b swi_entry                     @ 0x08 software interrupt
    subs pc, lr, #4                 @ 0x0C prefetch abort: nothing can abort here
    subs pc, lr, #4                 @ 0x10 data abort: go on after the access
    subs pc, lr, #4                 @ 0x14 reserved
    b irq_entry                     @ 0x18 interrupt
    subs pc, lr, #4                 @ 0x1C fast interrupt: no source exists

@ The interrupt entry calls the program's handler with r0 = IO_BASE, r1-r3 and r12 as the
@ interrupted code left them, and returns through the saved state. A handler address of 0
@ (none installed) is not called: jumping to 0 would restart the machine in IRQ mode.
irq_entry:
    push {r0-r3, r12, lr}
    mov r0, #IO_BASE
    ldr lr, [r0, #VAR_IRQ_HANDLER]
    cmp lr, #0
    addne lr, pc, #0                @ returns to the pop below
    ldrne pc, [r0, #VAR_IRQ_HANDLER] @ a load into PC stays in ARM state
    pop {r0-r3, r12, lr}
    subs pc, lr, #4

@ Software interrupts. The function number is the byte at LR-2 in both states: the low byte
@ of a THUMB SWI, bits 16-23 of an ARM SWI's comment. Functions run in System mode on the
@ caller's stack, with the caller's IRQ mask, so interrupts are served during long calls.
@ Four words go on the Supervisor stack (r11, r12, LR_svc, SPSR_svc), so an interrupt
@ handler may call a function while another one waits.
swi_entry:
    push {r11, r12, lr}
    ldrb r12, [lr, #-2]
    adr r11, swi_table
    cmp r12, #SWI_COUNT
    ldrlo r12, [r11, r12, lsl #2]
    adrhs r12, swi_unknown
    mrs r11, spsr
    push {r11}
    and r11, r11, #0x80
    orr r11, r11, #MODE_SYSTEM
    msr cpsr_c, r11
    push {r2, lr}
    mov lr, pc
    bx r12
    pop {r2, lr}
    mov r12, #(MASK_IRQ_FIQ | MODE_SUPERVISOR)
    msr cpsr_c, r12
    pop {r11}
    msr spsr_fc, r11
    pop {r11, r12, lr}
    movs pc, lr

@ Numbers past the table return without doing anything (the console would crash).
swi_unknown:
    bx lr

    .p2align 2
swi_table:
    .word soft_reset                @ 0x00
    .word register_ram_reset        @ 0x01
    .word halt                      @ 0x02
    .word stop                      @ 0x03
    .word intr_wait                 @ 0x04
    .word vblank_intr_wait          @ 0x05
    .word div                       @ 0x06
    .word div_arm                   @ 0x07
    .word sqrt                      @ 0x08
    .word arctan                    @ 0x09
    .word arctan2                   @ 0x0A
    .word cpu_set                   @ 0x0B
    .word cpu_fast_set              @ 0x0C
    .word get_bios_checksum         @ 0x0D
    .word bg_affine_set             @ 0x0E
    .word obj_affine_set            @ 0x0F
    .word bit_unpack                @ 0x10
    .word lz77_uncomp_wram          @ 0x11
    .word lz77_uncomp_vram          @ 0x12
    .word huff_uncomp               @ 0x13
    .word rl_uncomp_wram            @ 0x14
    .word rl_uncomp_vram            @ 0x15
    .word diff8bit_unfilter_wram    @ 0x16
    .word diff8bit_unfilter_vram    @ 0x17
    .word diff16bit_unfilter        @ 0x18
    .word sound_bias                @ 0x19
    .word sound_driver_nothing      @ 0x1A SoundDriverInit
    .word sound_driver_nothing      @ 0x1B SoundDriverMode
    .word sound_driver_nothing      @ 0x1C SoundDriverMain
    .word sound_driver_nothing      @ 0x1D SoundDriverVSync
    .word sound_driver_nothing      @ 0x1E SoundChannelClear
    .word midi_key2freq             @ 0x1F
    .word sound_driver_nothing      @ 0x20 MusicPlayerOpen
    .word sound_driver_nothing      @ 0x21 MusicPlayerStart
    .word sound_driver_nothing      @ 0x22 MusicPlayerStop
    .word sound_driver_nothing      @ 0x23 MusicPlayerContinue
    .word sound_driver_nothing      @ 0x24 MusicPlayerFadeOut
    .word multi_boot                @ 0x25
    .word hard_reset                @ 0x26
    .word custom_halt               @ 0x27
    .word sound_driver_nothing      @ 0x28 SoundDriverVSyncOff
    .word sound_driver_nothing      @ 0x29 SoundDriverVSyncOn
    .word sound_get_jump_list       @ 0x2A
swi_table_end:
    .equ SWI_COUNT, (swi_table_end - swi_table) / 4

@ Power-on start: stacks, the system area, every memory and register as RegisterRamReset
@ 0xFF leaves them, POSTFLG = 1 and the default sound bias; then the cartridge in System
@ mode. The cartridge header is not checked. Also the target of HardReset.
reset_entry:
    mov r0, #(MASK_IRQ_FIQ | MODE_FIQ)
    msr cpsr_c, r0
    ldr sp, =STACK_FIQ
    mov r0, #(MASK_IRQ_FIQ | MODE_SYSTEM)
    msr cpsr_c, r0
    mov r0, #IO_BASE
    mov r1, #0
    str r1, [r0, #REG_IME]
    bl reset_banks
    mov r0, #0xFF
    bl register_ram_reset
    mov r0, #IO_BASE
    mov r1, #1
    strb r1, [r0, #REG_POSTFLG]
    mov r1, #0x200
    strh r1, [r0, #REG_SOUNDBIAS]
    mov r11, #0
    b start_program

@ SoftReset (0x00): restarts at 0x08000000, or at 0x02000000 when the byte at 0x03007FFA is
@ not zero. I/O is left alone, so interrupts and DMA keep running.
soft_reset:
    mov r12, #IO_BASE
    ldrb r11, [r12, #VAR_RESTART_FLAG]  @ read before the system area is cleared
    bl reset_banks
start_program:
    cmp r11, #0
    moveq lr, #CARTRIDGE_START
    movne lr, #WRAM_START
    mov r0, #MODE_SYSTEM
    msr cpsr_c, r0                  @ System mode, interrupts unmasked, flags clear
    mov r0, #0
    mov r1, #0
    mov r2, #0
    mov r3, #0
    mov r4, #0
    mov r5, #0
    mov r6, #0
    mov r7, #0
    mov r8, #0
    mov r9, #0
    mov r10, #0
    mov r11, #0
    mov r12, #0
    bx lr

@ Sets the Supervisor, IRQ and System stacks (LR and SPSR zero) and clears the system area.
@ Returns in System mode with interrupts masked. Keeps r11. The Abort and Undefined banks
@ are left alone, as on the console.
reset_banks:
    mov r3, lr
    mov r0, #(MASK_IRQ_FIQ | MODE_SUPERVISOR)
    msr cpsr_c, r0
    ldr sp, =STACK_SUPERVISOR
    mov lr, #0
    msr spsr_fc, lr
    mov r0, #(MASK_IRQ_FIQ | MODE_IRQ)
    msr cpsr_c, r0
    ldr sp, =STACK_IRQ
    mov lr, #0
    msr spsr_fc, lr
    mov r0, #(MASK_IRQ_FIQ | MODE_SYSTEM)
    msr cpsr_c, r0
    ldr sp, =STACK_SYSTEM
    ldr r0, =SYSTEM_AREA
    mov r1, #0
    mov r2, #0x200
1:  str r1, [r0], #4
    subs r2, r2, #4
    bne 1b
    bx r3

@ HardReset (0x26): the whole start again, without an intro to play.
hard_reset:
    b reset_entry

@ MultiBoot (0x25): no link transfer is attempted; the answer is always "failed".
multi_boot:
    mov r0, #1
    bx lr

@ The console's own sound driver functions are not provided. These return at once:
@ 0x1A SoundDriverInit, 0x1B SoundDriverMode, 0x1C SoundDriverMain, 0x1D SoundDriverVSync,
@ 0x1E SoundChannelClear, 0x20-0x24 MusicPlayerOpen/Start/Stop/Continue/FadeOut,
@ 0x28 SoundDriverVSyncOff and 0x29 SoundDriverVSyncOn.
sound_driver_nothing:
    bx lr

@ SoundGetJumpList (0x2A): fills the 36 entries at r0 with a function that returns at once,
@ so a program that calls through the list does nothing instead of jumping to garbage.
sound_get_jump_list:
    adr r1, sound_driver_nothing
    mov r3, #36
1:  str r1, [r0], #4
    subs r3, r3, #1
    bne 1b
    bx lr

    .ltorg
