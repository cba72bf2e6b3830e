// Access-cost tables: 256 entries indexed by address bits 24-31, entries 16-255 repeating
// 0-15, so callers index with address >> 24 and no mask. They are stored in the machine
// record (GbaSystem::waitStateTables) and named here.
#pragma once

#include "common/types.h"
#include "machine/gba_system.h"

inline u16 (&accessCyclesS16)[256] = gba.waitStateTables[0];
inline u16 (&accessCyclesN16)[256] = gba.waitStateTables[1];
inline u16 (&accessCyclesS32)[256] = gba.waitStateTables[2];
inline u16 (&accessCyclesN32)[256] = gba.waitStateTables[3];
inline u16 (&refillCycles16)[256] = gba.waitStateTables[4];     // N16 + S16
inline u16 (&longRefillCycles16)[256] = gba.waitStateTables[5]; // 2 x N16 + S16
inline u16 (&refillCycles32)[256] = gba.waitStateTables[6];     // N32 + S32
inline u16 (&longRefillCycles32)[256] = gba.waitStateTables[7]; // 2 x N32 + S32

// 1 for regions whose bus is 16 bits wide (DMA cost computation).
extern u8 busIs16Bit[16];

void initWaitStates();

// Recomputes the game pak and SRAM costs from a WAITCNT value.
void applyWaitControl(u32 value);
