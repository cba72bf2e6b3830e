#include "sound/sound_registers.h"

#include "common/settings.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "platform/host.h"
#include "sound/fifo.h"
#include "sound/sound_output.h"

void soundControlLowWritten(u32 value) {
    if (!settings.enableSound) {
        return;
    }
    // Volumes in hundredths of a decibel: 7 gives -280, the start-up volume.
    u16 right = value & 7;
    u16 left = (value >> 4) & 7;
    if (right != soundOutput.masterVolumeRight) {
        soundOutput.masterVolumeRight = right;
        hostSetSoundVolume(psgLeftBuffer, -40 * right);
    }
    if (left != soundOutput.masterVolumeLeft) {
        soundOutput.masterVolumeLeft = left;
        hostSetSoundVolume(psgRightBuffer, -40 * left);
    }
}

void soundControlHighWritten(u32 value) {
    if (value & (1u << 11)) {
        resetFifo(0);
    }
    if (value & (1u << 15)) {
        resetFifo(1);
    }
}

void soundControlXWritten(u32 value) {
    if (!(value & 0x80)) {
        resetFifo(0);
        resetFifo(1);
    } else if (!(ioRegister(io::SOUNDCNT_X) & 0x80)) {
        restartFifoSampling(currentCycleTime());
    }
}

void waveControlWritten(u32 value) {
    // Bit 6 set: the second bank is played and the CPU sees the first; clear: the reverse.
    gba.playedWaveBank = (value & 0x40) ? 1 : 0;
    gba.cpuWaveBank = gba.playedWaveBank ^ 1;
}
