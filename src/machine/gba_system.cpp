#include "machine/gba_system.h"

#include <cstring>

#include "cpu/cpu_state.h"
#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/timers.h"
#include "sound/fifo.h"
#include "sound/sound_registers.h"
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
    rebuildHostColours();
    // The CPU starts out seeing the first wave bank while the second is played.
    gba.cpuWaveBank = 0;
    gba.playedWaveBank = 1;
    resetFifo(0);
    resetFifo(1);
    soundVolumes = {};
    buildSoundTables();
    resetToneChannels();
    fillBusTables();
}

void resetMachine() {
    resetCpu();
    resetDma();
    resetTimers();
}
