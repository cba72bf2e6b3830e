// The memory bus: every CPU and DMA access is one table look-up by region (address bits
// 24-27) and one call. Handlers take the full address; read handlers return the value
// zero-extended, write handlers use only the low 8 or 16 bits of the value for narrow writes.
// The bus never rotates or sign-extends: misaligned accesses are forced down to the unit.
#pragma once

#include "common/types.h"

using ReadHandler = u32 (*)(u32 address);
using WriteHandler = void (*)(u32 address, u32 value);

extern ReadHandler Read8Table[16];
extern ReadHandler Read16Table[16];
extern ReadHandler Read32Table[16];
extern WriteHandler Write8Table[16];
extern WriteHandler Write16Table[16];
extern WriteHandler Write32Table[16];

inline u32 busRead8(u32 address) {
    return Read8Table[(address >> 24) & 15](address);
}
inline u32 busRead16(u32 address) {
    return Read16Table[(address >> 24) & 15](address);
}
inline u32 busRead32(u32 address) {
    return Read32Table[(address >> 24) & 15](address);
}
inline void busWrite8(u32 address, u32 value) {
    Write8Table[(address >> 24) & 15](address, value);
}
inline void busWrite16(u32 address, u32 value) {
    Write16Table[(address >> 24) & 15](address, value);
}
inline void busWrite32(u32 address, u32 value) {
    Write32Table[(address >> 24) & 15](address, value);
}

// Fills the six region tables; called by installMemoryHandlers.
void fillBusTables();

// Brings HostPalette, HostTileColours, HostTilePairs and HostBankBytes in step with the whole of
// PaletteRam, as the palette writes keep them entry by entry.
void rebuildHostColours();

// Offset into VideoRam: the 128 KB window repeats, its last 32 KB mirror the 32 KB at 0x10000.
inline u32 videoRamOffset(u32 address) {
    return (address & 0x10000) ? 0x10000 + (address & 0x7FFF) : (address & 0xFFFF);
}
