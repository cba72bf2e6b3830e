#include "machine/gba_system.h"

#include <cstring>

#include "cpu/cpu_state.h"
#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/timers.h"
#include "sound/fifo.h"
#include "sound/sound_tables.h"
#include "sound/tone_channels.h"

GbaSystem gba;

void installMemoryHandlers() {
    std::memset(gba.WorkRam, 0, sizeof gba.WorkRam);
    std::memset(gba.InternalRam, 0, sizeof gba.InternalRam);
    std::memset(gba.VideoRam, 0, sizeof gba.VideoRam);
    std::memset(gba.IoRegisters, 0, sizeof gba.IoRegisters);
    std::memset(gba.PaletteRam, 0, sizeof gba.PaletteRam);
    std::memset(gba.ObjectAttributes, 0, sizeof gba.ObjectAttributes);
    // Host colours in step with the cleared palette: black, which is never the transparent 0.
    for (u16& colour : gba.HostPalette) {
        colour = hostColour(0);
    }
    for (u32 index = 0; index < 256; ++index) {
        gba.HostTileColours[index] = (index & 15) ? hostColour(0) : 0;
    }
    for (u32 bank = 0; bank < 16; ++bank) {
        for (u32 pair = 0; pair < 256; ++pair) {
            const u32 left = gba.HostTileColours[16 * bank + (pair & 15)];
            const u32 right = gba.HostTileColours[16 * bank + (pair >> 4)];
            gba.HostTilePairs[bank][pair] = left | (right << 16);
        }
    }
    for (u32 index = 0; index < 512; ++index) {
        const u16 colour = (index & 15) ? hostColour(0) : 0;
        gba.HostBankBytes[index >> 4][index & 15] = static_cast<u8>(colour);
        gba.HostBankBytes[index >> 4][16 + (index & 15)] = static_cast<u8>(colour >> 8);
    }
    // The CPU starts out seeing the first wave bank while the second is played.
    gba.cpuWaveBank = 0;
    gba.playedWaveBank = 1;
    resetFifo(0);
    resetFifo(1);
    buildSoundTables();
    resetToneChannels();
    fillBusTables();
}

void resetMachine() {
    resetCpu();
    resetDma();
    resetTimers();
}
