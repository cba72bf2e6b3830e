// The I/O block at 0x04000000-0x040003FF: storage plus per-halfword write and read masks.
// Writes are reduced to halfword writes, which carry the register side effects. The rest of
// region 4 decodes nothing but the internal memory control register.
#pragma once

#include "common/types.h"

extern u16 IoWriteMask[512];
extern u16 IoReadMask[512];

// I/O offsets of the registers the core touches by name.
namespace io {
constexpr u32 DISPCNT = 0x000;
constexpr u32 DISPSTAT = 0x004;
constexpr u32 VCOUNT = 0x006;
constexpr u32 BG0CNT = 0x008; // BG1CNT-BG3CNT follow, 2 bytes apart
constexpr u32 BG2CNT = 0x00C;
constexpr u32 BG0HOFS = 0x010; // BGnHOFS and BGnVOFS follow, 4 bytes per background
constexpr u32 BG0VOFS = 0x012;
constexpr u32 BG2PA = 0x020;
constexpr u32 BG2PB = 0x022;
constexpr u32 BG2PC = 0x024;
constexpr u32 BG2PD = 0x026;
constexpr u32 BG2X_L = 0x028;
constexpr u32 BG2X_H = 0x02A;
constexpr u32 BG2Y_L = 0x02C;
constexpr u32 BG2Y_H = 0x02E;
constexpr u32 BG3PA = 0x030;
constexpr u32 BG3X_L = 0x038;
constexpr u32 BG3X_H = 0x03A;
constexpr u32 BG3Y_L = 0x03C;
constexpr u32 BG3Y_H = 0x03E;
constexpr u32 WIN0H = 0x040;
constexpr u32 WIN1H = 0x042;
constexpr u32 WIN0V = 0x044;
constexpr u32 WIN1V = 0x046;
constexpr u32 WININ = 0x048;
constexpr u32 WINOUT = 0x04A;
constexpr u32 MOSAIC = 0x04C;
constexpr u32 BLDCNT = 0x050;
constexpr u32 COLEV = 0x052;
constexpr u32 BLDY = 0x054;
constexpr u32 SOUND1CNT_L = 0x060;
constexpr u32 SOUND1CNT_H = 0x062;
constexpr u32 SOUND1CNT_X = 0x064;
constexpr u32 SOUND2CNT_L = 0x068;
constexpr u32 SOUND2CNT_H = 0x06C;
constexpr u32 SOUND3CNT_L = 0x070;
constexpr u32 SOUND3CNT_H = 0x072;
constexpr u32 SOUND3CNT_X = 0x074;
constexpr u32 SOUND4CNT_L = 0x078;
constexpr u32 SOUND4CNT_H = 0x07C;
constexpr u32 SOUNDCNT_L = 0x080;
constexpr u32 SOUNDCNT_H = 0x082;
constexpr u32 SOUNDCNT_X = 0x084;
constexpr u32 WAVE_RAM = 0x090;
constexpr u32 FIFO_A = 0x0A0;
constexpr u32 FIFO_B = 0x0A4;
constexpr u32 DMA0SAD = 0x0B0; // each channel's SAD, DAD, CNT_L, CNT_H take 12 bytes
constexpr u32 DMA0DAD = 0x0B4;
constexpr u32 DMA0CNT_L = 0x0B8;
constexpr u32 DMA0CNT_H = 0x0BA;
constexpr u32 DMA1SAD = 0x0BC;
constexpr u32 DMA1DAD = 0x0C0;
constexpr u32 DMA1CNT_H = 0x0C6;
constexpr u32 DMA2SAD = 0x0C8;
constexpr u32 DMA2DAD = 0x0CC;
constexpr u32 DMA2CNT_H = 0x0D2;
constexpr u32 DMA3SAD = 0x0D4;
constexpr u32 DMA3DAD = 0x0D8;
constexpr u32 DMA3CNT_H = 0x0DE;
constexpr u32 TM0CNT_L = 0x100; // each timer's CNT_L and CNT_H take 4 bytes
constexpr u32 TM0CNT_H = 0x102;
constexpr u32 TM1CNT_L = 0x104;
constexpr u32 TM1CNT_H = 0x106;
constexpr u32 TM2CNT_L = 0x108;
constexpr u32 TM2CNT_H = 0x10A;
constexpr u32 TM3CNT_L = 0x10C;
constexpr u32 TM3CNT_H = 0x10E;
constexpr u32 SIOCNT = 0x128;
constexpr u32 KEYINPUT = 0x130;
constexpr u32 KEYCNT = 0x132;
constexpr u32 IE = 0x200;
constexpr u32 IF = 0x202;
constexpr u32 WAITCNT = 0x204;
constexpr u32 IME = 0x208;
constexpr u32 POSTFLG = 0x300;
constexpr u32 HALTCNT = 0x301;
} // namespace io

// The stored halfword at an I/O offset (no read mask).
u16& ioRegister(u32 offset);

u32 ioRead16(u32 address);
void ioWrite8(u32 address, u32 value);
void ioWrite16(u32 address, u32 value);
void ioWrite32(u32 address, u32 value);

// Fills both mask tables and writes the power-on register values.
void initIoMasks();
