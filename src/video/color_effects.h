// Colour effect tables: 17 rows (coefficient 0..16) of 32 entries (5-bit colour value).
#pragma once

#include "machine/types.h"

extern u8 brightenTable[17][32]; // x + ((k x (31 - x)) >> 4)
extern u8 blendTable[17][32];    // (k x x) >> 4
extern u8 darkenTable[17][32];   // x - ((k x x) >> 4)
// Signed sample times (row >> 1), limited to -127..127, plus 128.
extern u8 volumeTable[8][256];

// The rows in force for the current line.
extern const u8* blendRowA;
extern const u8* blendRowB;
extern const u8* brightenRow;
extern const u8* darkenRow;

void buildEffectTables();
void selectEffectRows(u32 eva, u32 evb, u32 evy);
