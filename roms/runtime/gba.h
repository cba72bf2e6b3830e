// Hardware registers and memory areas of the console, for the project's C programs.
#pragma once

#include <stdint.h>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
typedef int8_t s8;
typedef int16_t s16;
typedef int32_t s32;

#define REG16(offset) (*(volatile u16*)(0x04000000 + (offset)))
#define REG32(offset) (*(volatile u32*)(0x04000000 + (offset)))

// Display
#define REG_DISPCNT REG16(0x000)
#define REG_DISPSTAT REG16(0x004)
#define REG_VCOUNT REG16(0x006)
#define REG_BGCNT(n) REG16(0x008 + 2 * (n))
#define REG_BGHOFS(n) REG16(0x010 + 4 * (n))
#define REG_BGVOFS(n) REG16(0x012 + 4 * (n))
#define REG_WIN0H REG16(0x040)
#define REG_WIN1H REG16(0x042)
#define REG_WIN0V REG16(0x044)
#define REG_WIN1V REG16(0x046)
#define REG_WININ REG16(0x048)
#define REG_WINOUT REG16(0x04A)
#define REG_MOSAIC REG16(0x04C)
#define REG_BLDCNT REG16(0x050)
#define REG_BLDALPHA REG16(0x052)
#define REG_BLDY REG16(0x054)

#define DISPCNT_MODE0 0x0000
#define DISPCNT_OBJ_1D 0x0040
#define DISPCNT_BG(n) (0x0100 << (n))
#define DISPCNT_OBJ 0x1000
#define DISPCNT_WIN0 0x2000
#define DISPCNT_WIN1 0x4000
#define DISPSTAT_VBLANK_IRQ 0x0008

// BGxCNT fields
#define BG_PRIORITY(p) (p)
#define BG_CHARBLOCK(n) ((n) << 2)
#define BG_SCREENBLOCK(n) ((n) << 8)

// Window control bytes: layers shown and whether colour effects apply.
#define WIN_BG(n) (1 << (n))
#define WIN_OBJ 0x10
#define WIN_EFFECTS 0x20

// BLDCNT: first targets in bits 0-5, mode in 6-7, second targets in 8-13.
#define BLD_TOP_BG(n) (1 << (n))
#define BLD_TOP_OBJ 0x0010
#define BLD_TOP_BACKDROP 0x0020
#define BLD_ALPHA 0x0040
#define BLD_BRIGHTEN 0x0080
#define BLD_DARKEN 0x00C0
#define BLD_BOTTOM_BG(n) (0x0100 << (n))
#define BLD_BOTTOM_OBJ 0x1000
#define BLD_BOTTOM_BACKDROP 0x2000

// Sound
#define REG_SOUND1CNT_L REG16(0x060)
#define REG_SOUND1CNT_H REG16(0x062)
#define REG_SOUND1CNT_X REG16(0x064)
#define REG_SOUND2CNT_L REG16(0x068)
#define REG_SOUND2CNT_H REG16(0x06C)
#define REG_SOUND3CNT_L REG16(0x070)
#define REG_SOUND3CNT_H REG16(0x072)
#define REG_SOUND3CNT_X REG16(0x074)
#define REG_SOUNDCNT_L REG16(0x080)
#define REG_SOUNDCNT_H REG16(0x082)
#define REG_SOUNDCNT_X REG16(0x084)
#define REG_SOUNDBIAS REG16(0x088)
#define WAVE_RAM ((volatile u32*)0x04000090)
#define REG_FIFO_A_ADDRESS 0x040000A0

// DMA channel n
#define REG_DMASAD(n) REG32(0x0B0 + 12 * (n))
#define REG_DMADAD(n) REG32(0x0B4 + 12 * (n))
#define REG_DMACNT_L(n) REG16(0x0B8 + 12 * (n))
#define REG_DMACNT_H(n) REG16(0x0BA + 12 * (n))
#define DMA_ENABLE 0x8000
#define DMA_IRQ 0x4000
#define DMA_AT_VBLANK 0x1000
#define DMA_AT_SOUND 0x3000
#define DMA_32BIT 0x0400
#define DMA_REPEAT 0x0200
#define DMA_DEST_FIXED 0x0040

// Timer n
#define REG_TMCNT_L(n) REG16(0x100 + 4 * (n))
#define REG_TMCNT_H(n) REG16(0x102 + 4 * (n))
#define TIMER_PRESCALE_64 0x0001
#define TIMER_PRESCALE_256 0x0002
#define TIMER_PRESCALE_1024 0x0003
#define TIMER_CASCADE 0x0004
#define TIMER_IRQ 0x0040
#define TIMER_ENABLE 0x0080

// Keypad: a bit is clear while its button is held.
#define REG_KEYINPUT REG16(0x130)
#define KEY_A 0x0001
#define KEY_B 0x0002
#define KEY_SELECT 0x0004
#define KEY_START 0x0008
#define KEY_RIGHT 0x0010
#define KEY_LEFT 0x0020
#define KEY_UP 0x0040
#define KEY_DOWN 0x0080
#define KEY_R 0x0100
#define KEY_L 0x0200

// Interrupts
#define REG_IE REG16(0x200)
#define REG_IF REG16(0x202)
#define REG_WAITCNT REG16(0x204)
#define REG_IME REG16(0x208)
#define IRQ_VBLANK 0x0001
#define IRQ_TIMER(n) (0x0008 << (n))

// Memory
#define PALETTE_BG ((volatile u16*)0x05000000)
#define PALETTE_OBJ ((volatile u16*)0x05000200)
#define VRAM ((volatile u16*)0x06000000)
#define CHARBLOCK(n) ((volatile u32*)(0x06000000 + 0x4000 * (n)))
#define SCREENBLOCK(n) ((volatile u16*)(0x06000000 + 0x800 * (n)))
#define OBJ_TILES ((volatile u32*)0x06010000)
#define OAM ((volatile u16*)0x07000000)
#define SRAM ((volatile u8*)0x0E000000)

#define RGB15(r, g, b) ((u16)((r) | ((g) << 5) | ((b) << 10)))

// Sprite attributes
#define ATTR0_AFFINE 0x0100
#define ATTR0_DOUBLE 0x0200
#define ATTR0_HIDE 0x0200
#define ATTR0_SEMI 0x0400
#define ATTR0_SQUARE 0x0000
#define ATTR0_WIDE 0x4000
#define ATTR0_TALL 0x8000
#define ATTR1_AFFINE_GROUP(g) ((g) << 9)
#define ATTR1_HFLIP 0x1000
#define ATTR1_SIZE(s) ((s) << 14)
#define ATTR2_PRIORITY(p) ((p) << 10)
#define ATTR2_BANK(b) ((b) << 12)

// Code and data placed in internal RAM: 32-bit bus, no wait states. Hot loops are compiled
// as ARM code there; callers reach them through a long call, since the cartridge lies far
// beyond a branch's reach.
#define IWRAM_CODE __attribute__((section(".iwram.text"), target("arm"), long_call, noinline))
#define IWRAM_DATA __attribute__((section(".iwram.data")))
#define EWRAM_BSS __attribute__((section(".ewram.bss")))
