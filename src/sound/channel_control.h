// What the tone, wave and noise channels share: the restart and length-enable bits of their
// control registers, their status bits in SOUNDCNT_X and the volume envelope. A status bit is
// set by a restart while the master enable is on and cleared when the channel stops (length,
// sweep, master off); a program's write to SOUNDCNT_X cannot change it.
#pragma once

#include "common/types.h"
#include "machine/io_registers.h"

constexpr u16 soundMasterEnable = 0x80; // SOUNDCNT_X bit 7
constexpr u16 soundStatusBits = 0x0F;   // SOUNDCNT_X bits 0-3, channels 1-4
// Bits 15 and 14 of SOUND1CNT_X, SOUND2CNT_H, SOUND3CNT_X and SOUND4CNT_H.
constexpr u16 restartBit = 0x8000;
constexpr u16 lengthEnableBit = 0x4000;

inline bool soundMasterOn() {
    return ioRegister(io::SOUNDCNT_X) & soundMasterEnable;
}

// Clears the restart bit of the register and, when it was set, turns the channel's status on.
inline void takeRestart(u32 reg, u16 statusBit) {
    u16& value = ioRegister(reg);
    if (value & restartBit) {
        value &= static_cast<u16>(~restartBit);
        ioRegister(io::SOUNDCNT_X) |= statusBit;
    }
}

inline void stopChannel(u32& stopFlag, u16 statusBit) {
    stopFlag = 1;
    ioRegister(io::SOUNDCNT_X) &= static_cast<u16>(~statusBit);
}

// One output sample of an envelope (channels 1, 2 and 4): every STEPTIME / 16 samples the
// volume moves one step towards 15 (CONTROL bit 11 set) or 0 and is written back into the
// register's bits 12-15. Returns whether the volume was stepped.
inline bool stepEnvelope(s32& counter, s32& volume, u16& control, s32 stepTime) {
    counter -= 16;
    if (counter >= 0) {
        return false;
    }
    while (counter < 0) {
        counter += stepTime;
        if (control & 0x0800) {
            volume += volume < 15;
        } else {
            volume -= volume > 0;
        }
    }
    control = static_cast<u16>((control & 0x0FFF) | (volume << 12));
    return true;
}
