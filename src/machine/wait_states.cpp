#include "machine/wait_states.h"

u8 busIs16Bit[16];

namespace {

// Fixed costs of the regions that WAITCNT does not control: S16, N16, S32, N32.
// Internal RAM and the I/O block cost nothing per access.
constexpr u16 fixedCosts[16][4] = {
    {1, 1, 1, 1}, // 0 boot image
    {1, 1, 1, 1}, // 1 unmapped
    {2, 2, 4, 4}, // 2 WorkRam
    {0, 0, 0, 0}, // 3 InternalRam
    {0, 0, 0, 0}, // 4 I/O
    {1, 1, 2, 2}, // 5 PaletteRam
    {1, 1, 2, 2}, // 6 VideoRam
    {1, 1, 1, 1}, // 7 ObjectAttributes
    {0, 0, 0, 0}, // 8-14 come from WAITCNT
    {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0},
    {0, 0, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 1}, // 15 unmapped
};

// Non-sequential cost of a 2-bit WAITCNT field.
constexpr u16 firstAccessCost[4] = {4, 3, 2, 8};

void setWindow(int firstRegion, u16 nonSequential, u16 sequential) {
    accessCyclesN16[firstRegion] = accessCyclesN16[firstRegion + 1] = nonSequential;
    accessCyclesS16[firstRegion] = accessCyclesS16[firstRegion + 1] = sequential;
}

} // namespace

void applyWaitControl(u32 value) {
    u16 sram = firstAccessCost[value & 3];
    setWindow(8, firstAccessCost[(value >> 2) & 3], (value & 0x10) ? 1 : 2);
    setWindow(10, firstAccessCost[(value >> 5) & 3], (value & 0x80) ? 1 : 4);
    setWindow(12, firstAccessCost[(value >> 8) & 3], (value & 0x400) ? 1 : 8);
    accessCyclesS16[14] = accessCyclesN16[14] = static_cast<u16>(sram * 2);

    for (int region = 8; region <= 14; ++region) {
        accessCyclesS32[region] = static_cast<u16>(2 * accessCyclesS16[region]);
        accessCyclesN32[region] = static_cast<u16>(2 * accessCyclesN16[region]);
    }
    for (int region = 0; region <= 14; ++region) {
        refillCycles16[region] =
            static_cast<u16>(accessCyclesS16[region] + accessCyclesN16[region]);
        longRefillCycles16[region] =
            static_cast<u16>(accessCyclesS16[region] + 2 * accessCyclesN16[region]);
        refillCycles32[region] =
            static_cast<u16>(accessCyclesS32[region] + accessCyclesN32[region]);
        longRefillCycles32[region] =
            static_cast<u16>(accessCyclesS32[region] + 2 * accessCyclesN32[region]);
    }
    refillCycles16[15] = longRefillCycles16[15] = refillCycles32[15] = longRefillCycles32[15] = 0;

    u16* tables[] = {accessCyclesS16, accessCyclesN16,    accessCyclesS32, accessCyclesN32,
                     refillCycles16,  longRefillCycles16, refillCycles32,  longRefillCycles32};
    for (u16* table : tables) {
        for (int index = 16; index < 256; ++index) {
            table[index] = table[index & 15];
        }
    }
}

void initWaitStates() {
    for (int region = 0; region < 16; ++region) {
        accessCyclesS16[region] = fixedCosts[region][0];
        accessCyclesN16[region] = fixedCosts[region][1];
        accessCyclesS32[region] = fixedCosts[region][2];
        accessCyclesN32[region] = fixedCosts[region][3];
    }
    applyWaitControl(0);
    for (int region = 0; region < 16; ++region) {
        busIs16Bit[region] = (region == 2 || region == 5 || region == 6 || region >= 8) ? 1 : 0;
    }
}
