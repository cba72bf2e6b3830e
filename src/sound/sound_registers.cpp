#include "sound/sound_registers.h"

#include "common/settings.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "platform/host.h"
#include "sound/channel_control.h"
#include "sound/fifo.h"
#include "sound/sound_output.h"

SoundVolumes soundVolumes;

namespace {

// Volumes in hundredths of a decibel: 7 gives -280, the start-up volume.
s32 hostVolume(u16 master, bool sent) {
    return sent ? -40 * master : soundStartVolume;
}

} // namespace

void soundControlLowWritten(u32 value) {
    if (!settings.enableSound) {
        return;
    }
    u16 right = value & 7;
    u16 left = (value >> 4) & 7;
    if (right != soundVolumes.masterRight) {
        soundVolumes.masterRight = right;
        soundVolumes.rightSent = true;
        hostSetSoundVolume(psgLeftBuffer, hostVolume(right, true));
    }
    if (left != soundVolumes.masterLeft) {
        soundVolumes.masterLeft = left;
        soundVolumes.leftSent = true;
        hostSetSoundVolume(psgRightBuffer, hostVolume(left, true));
    }
}

void restoreSoundVolumes() {
    if (!settings.enableSound) {
        return;
    }
    hostSetSoundVolume(psgLeftBuffer, hostVolume(soundVolumes.masterRight, soundVolumes.rightSent));
    hostSetSoundVolume(psgRightBuffer, hostVolume(soundVolumes.masterLeft, soundVolumes.leftSent));
}

void soundControlHighWritten(u32 value) {
    if (value & (1u << 11)) {
        resetFifo(0);
    }
    if (value & (1u << 15)) {
        resetFifo(1);
    }
}

// The channels' restart registers, in the order of their status bits.
constexpr u32 restartRegisters[4] = {io::SOUND1CNT_X, io::SOUND2CNT_H, io::SOUND3CNT_X,
                                     io::SOUND4CNT_H};

void soundControlXWritten(u32 value) {
    if (!(value & soundMasterEnable)) {
        resetFifo(0);
        resetFifo(1);
        // Master off stops every channel, and a restart not yet carried out is forgotten.
        ioRegister(io::SOUNDCNT_X) &= static_cast<u16>(~soundStatusBits);
        for (u32 reg : restartRegisters) {
            ioRegister(reg) &= static_cast<u16>(~restartBit);
        }
    } else if (!soundMasterOn()) {
        restartFifoSampling(currentCycleTime());
    }
}

u32 soundRestartWritten(u16 statusBit, u32 value) {
    if (!(value & restartBit)) {
        return value;
    }
    if (!soundMasterOn()) {
        return value & ~u32{restartBit};
    }
    ioRegister(io::SOUNDCNT_X) |= statusBit;
    return value;
}

void waveControlWritten(u32 value) {
    // Bit 6 set: the second bank is played and the CPU sees the first; clear: the reverse.
    gba.playedWaveBank = (value & 0x40) ? 1 : 0;
    gba.cpuWaveBank = gba.playedWaveBank ^ 1;
}
