#include "machine/io_registers.h"

#include "common/settings.h"
#include "cpu/interrupts.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/timers.h"
#include "machine/wait_states.h"
#include "sound/fifo.h"
#include "sound/sound_registers.h"
#include "sound/tone_channels.h"

u16 IoWriteMask[512];
u16 IoReadMask[512];

namespace {

struct RegisterMasks {
    u16 offset;
    u16 writeMask;
    u16 readMask;
};

// Registers whose masks differ from the defaults (offsets below 0x190: write all, read none;
// from 0x190 on: neither).
constexpr RegisterMasks registerMasks[] = {
    {0x000, 0xFFFF, 0xFFF7}, // DISPCNT
    {0x004, 0xFFF8, 0xFF3F}, // DISPSTAT: the status bits 0-2 belong to the frame driver
    {0x006, 0x0000, 0x00FF}, // VCOUNT
    {0x008, 0xFFFF, 0xDFCF}, {0x00A, 0xFFFF, 0xDFCF}, // BG0CNT, BG1CNT
    {0x00C, 0xFFFF, 0xFFCF}, {0x00E, 0xFFFF, 0xFFCF}, // BG2CNT, BG3CNT
    {0x010, 0x01FF, 0x01FF}, {0x012, 0x01FF, 0x01FF}, {0x014, 0x01FF, 0x01FF},
    {0x016, 0x01FF, 0x01FF}, {0x018, 0x01FF, 0x01FF}, {0x01A, 0x01FF, 0x01FF},
    {0x01C, 0x01FF, 0x01FF}, {0x01E, 0x01FF, 0x01FF},                          // BG0HOFS .. BG3VOFS
    {0x028, 0xFFFF, 0xFFFF}, {0x02A, 0x0FFF, 0x0FFF},                          // BG2X
    {0x02C, 0xFFFF, 0xFFFF}, {0x02E, 0x0FFF, 0x0FFF},                          // BG2Y
    {0x038, 0xFFFF, 0x0000}, {0x03A, 0xFFFF, 0x0000},                          // BG3X
    {0x03C, 0xFFFF, 0x0000}, {0x03E, 0xFFFF, 0x0000},                          // BG3Y
    {0x048, 0xFFFF, 0x3F3F}, {0x04A, 0xFFFF, 0x3F3F},                          // WININ, WINOUT
    {0x050, 0xFFFF, 0x3FFF},                                                   // BLDCNT
    {0x052, 0x1F1F, 0x0000},                                                   // BLDALPHA
    {0x054, 0x001F, 0x0000},                                                   // BLDY
    {0x060, 0x007F, 0x00FF}, {0x062, 0xFFFF, 0xFFFF}, {0x064, 0xC7FF, 0xFFFF}, // SOUND1
    {0x068, 0xFFFF, 0xFFFF}, {0x06C, 0xC7FF, 0xFFFF},                          // SOUND2
    {0x070, 0x00E0, 0x00FF}, {0x072, 0xE0FF, 0xFFFF}, {0x074, 0xC7FF, 0xFFFF}, // SOUND3
    {0x078, 0xFFFF, 0xFFFF}, {0x07C, 0xFFFF, 0xFFFF},                          // SOUND4
    {0x080, 0xFF0F, 0xFF77}, {0x082, 0xFF0F, 0x770F}, {0x084, 0x0080, 0x008F}, // SOUNDCNT
    {0x088, 0xFFFF, 0xFFFF},                                                   // SOUNDBIAS
    {0x090, 0xFFFF, 0xFFFF}, {0x092, 0xFFFF, 0xFFFF}, {0x094, 0xFFFF, 0xFFFF},
    {0x096, 0xFFFF, 0xFFFF}, {0x098, 0xFFFF, 0xFFFF}, {0x09A, 0xFFFF, 0xFFFF},
    {0x09C, 0xFFFF, 0xFFFF}, {0x09E, 0xFFFF, 0xFFFF}, // WAVE_RAM
    {0x0B0, 0xFFFF, 0xFFFF}, {0x0B2, 0x07FF, 0x0FFF}, {0x0B4, 0xFFFF, 0xFFFF},
    {0x0B6, 0x07FF, 0x0FFF}, {0x0B8, 0x3FFF, 0x3FFF}, {0x0BA, 0xF7E0, 0xF7E0}, // DMA0
    {0x0BC, 0xFFFF, 0xFFFF}, {0x0BE, 0x0FFF, 0x0FFF}, {0x0C0, 0xFFFF, 0xFFFF},
    {0x0C2, 0x0FFF, 0x0FFF}, {0x0C4, 0x3FFF, 0x3FFF}, {0x0C6, 0xF7E0, 0xF7E0}, // DMA1
    {0x0C8, 0xFFFF, 0xFFFF}, {0x0CA, 0x0FFF, 0x0FFF}, {0x0CC, 0xFFFF, 0xFFFF},
    {0x0CE, 0x0FFF, 0x0FFF}, {0x0D0, 0x3FFF, 0x3FFF}, {0x0D2, 0xF7E0, 0xF7E0}, // DMA2
    {0x0D4, 0xFFFF, 0xFFFF}, {0x0D6, 0x0FFF, 0x0FFF}, {0x0D8, 0xFFFF, 0xFFFF},
    {0x0DA, 0x0FFF, 0x0FFF}, {0x0DC, 0xFFFF, 0xFFFF}, {0x0DE, 0xFFE0, 0xFFE0}, // DMA3
    {0x100, 0xFFFF, 0xFFFF}, {0x102, 0x00C7, 0xFFFF}, {0x104, 0xFFFF, 0xFFFF},
    {0x106, 0x00C7, 0xFFFF}, {0x108, 0xFFFF, 0xFFFF}, {0x10A, 0x00C7, 0xFFFF},
    {0x10C, 0xFFFF, 0xFFFF}, {0x10E, 0x00C7, 0xFFFF}, // TM0-TM3
    {0x110, 0xC3FF, 0xC3FF}, {0x128, 0xFFFF, 0xFFFF}, // SIOCNT
    {0x130, 0x0000, 0x03FF},                          // KEYINPUT: written by the input code only
    {0x132, 0xC3FF, 0xC3FF},                          // KEYCNT
    {0x200, 0x3FFF, 0x3FFF},                          // IE
    {0x202, 0x0000, 0x3FFF},                          // IF: writes acknowledge instead of storing
    {0x204, 0xDFFF, 0xDFFF},                          // WAITCNT
    {0x208, 0x0001, 0x0001},                          // IME
    {0x300, 0xFFFF, 0xFFFF},                          // POSTFLG / HALTCNT
};

void storeMasked(u32 offset, u32 value) {
    u16& stored = gba.IoRegisters[offset >> 1];
    u16 mask = IoWriteMask[offset >> 1];
    stored = static_cast<u16>((stored & ~mask) | (value & mask));
}

u32 fullRegister(u32 lowOffset) {
    return gba.IoRegisters[lowOffset >> 1] |
           (static_cast<u32>(gba.IoRegisters[(lowOffset >> 1) + 1]) << 16);
}

// The console decodes its registers only in the first 1 KB of region 4, and the internal
// memory control register at 0x04000800, repeated every 64 KB. That one is kept but has no
// modelled effect; every other address reads 0 and ignores writes.
bool outsideRegisters(u32 address) {
    return (address & 0x00FFFC00) != 0;
}

u32 undecodedRead16(u32 address) {
    if ((address & 0xFFFC) != 0x0800) {
        return 0;
    }
    return (gba.memoryControl >> (8 * (address & 2))) & 0xFFFF;
}

void undecodedWrite16(u32 address, u32 value) {
    if ((address & 0xFFFC) != 0x0800) {
        return;
    }
    const u32 shift = 8 * (address & 2);
    gba.memoryControl = (gba.memoryControl & ~(0xFFFFu << shift)) | ((value & 0xFFFF) << shift);
}

// A running timer's counter is brought up to the cycle of the read (read mask 0xFFFF). Out of
// line, so that the other reads need no stack frame.
[[gnu::noinline]] u32 timerCounterRead(u32 offset) {
    if (timers.enabled) {
        syncTimers();
    }
    return gba.IoRegisters[offset >> 1];
}

// The halfword write at OFFSET with its side effects.
void writeRegister(u32 offset, u32 value) {
    value &= 0xFFFF;
    switch (offset) {
    case io::BG2X_L:
    case io::BG2X_H:
        storeMasked(offset, value);
        gba.bg2RefX = fullRegister(io::BG2X_L);
        return;
    case io::BG2Y_L:
    case io::BG2Y_H:
        storeMasked(offset, value);
        gba.bg2RefY = fullRegister(io::BG2Y_L);
        return;
    case io::BG3X_L:
    case io::BG3X_H:
        storeMasked(offset, value);
        gba.bg3RefX = fullRegister(io::BG3X_L);
        return;
    case io::BG3Y_L:
    case io::BG3Y_H:
        storeMasked(offset, value);
        gba.bg3RefY = fullRegister(io::BG3Y_L);
        return;
    case io::WAVE_RAM + 0x0:
    case io::WAVE_RAM + 0x2:
    case io::WAVE_RAM + 0x4:
    case io::WAVE_RAM + 0x6:
    case io::WAVE_RAM + 0x8:
    case io::WAVE_RAM + 0xA:
    case io::WAVE_RAM + 0xC:
    case io::WAVE_RAM + 0xE: {
        u8* bank = gba.WaveRamBanks[gba.cpuWaveBank];
        bank[offset & 0xE] = static_cast<u8>(value);
        bank[(offset & 0xE) + 1] = static_cast<u8>(value >> 8);
        return;
    }
    case io::DMA0SAD:
    case io::DMA0SAD + 2:
    case io::DMA0DAD:
    case io::DMA0DAD + 2:
    case io::DMA1SAD:
    case io::DMA1SAD + 2:
    case io::DMA1DAD:
    case io::DMA1DAD + 2:
    case io::DMA2SAD:
    case io::DMA2SAD + 2:
    case io::DMA2DAD:
    case io::DMA2DAD + 2:
    case io::DMA3SAD:
    case io::DMA3SAD + 2:
    case io::DMA3DAD:
    case io::DMA3DAD + 2:
        storeMasked(offset, value);
        dmaAddressWritten(offset);
        return;
    case io::DMA0CNT_H: dmaControlWritten(0, value); return;
    case io::DMA1CNT_H: dmaControlWritten(1, value); return;
    case io::DMA2CNT_H: dmaControlWritten(2, value); return;
    case io::DMA3CNT_H: dmaControlWritten(3, value); return;
    case io::TM0CNT_L:
    case io::TM1CNT_L:
    case io::TM2CNT_L:
    case io::TM3CNT_L: timerCounterWritten((offset - io::TM0CNT_L) >> 2, value); return;
    case io::TM0CNT_H:
    case io::TM1CNT_H:
    case io::TM2CNT_H:
    case io::TM3CNT_H: timerControlWritten((offset - io::TM0CNT_H) >> 2, value); return;
    case io::SOUND1CNT_X:
        toneChannels.frequencyUpdate[0] = 1;
        storeMasked(offset, soundRestartWritten(0x1, value));
        return;
    case io::SOUND2CNT_H:
        toneChannels.frequencyUpdate[1] = 1;
        storeMasked(offset, soundRestartWritten(0x2, value));
        return;
    case io::SOUND3CNT_X: storeMasked(offset, soundRestartWritten(0x4, value)); return;
    case io::SOUND4CNT_H: storeMasked(offset, soundRestartWritten(0x8, value)); return;
    case io::SOUND3CNT_L:
        waveControlWritten(value);
        storeMasked(offset, value);
        return;
    case io::SOUNDCNT_L:
        soundControlLowWritten(value);
        storeMasked(offset, value);
        return;
    case io::SOUNDCNT_H:
        soundControlHighWritten(value);
        storeMasked(offset, value);
        return;
    case io::SOUNDCNT_X:
        soundControlXWritten(value);
        storeMasked(offset, value);
        return;
    case io::FIFO_A:
    case io::FIFO_A + 2:
    case io::FIFO_B:
    case io::FIFO_B + 2: {
        u32 which = offset >= io::FIFO_B ? 1 : 0;
        fifoAppend(which, static_cast<u8>(value));
        fifoAppend(which, static_cast<u8>(value >> 8));
        storeMasked(offset, value);
        return;
    }
    case io::IE:
    case io::IME:
        // Either may let a request already recorded in IF through.
        storeMasked(offset, value);
        serviceInterrupt();
        return;
    case io::SIOCNT: storeMasked(offset, value | 0x40); return;
    case io::IF:
        // Writing 1 to a bit acknowledges that interrupt; nothing is ever set by a write.
        ioRegister(io::IF) &= static_cast<u16>(~value);
        return;
    case io::WAITCNT:
        if (value != ioRegister(io::WAITCNT) && !settings.disableWaitControl) {
            applyWaitControl(value);
        }
        storeMasked(offset, value);
        return;
    default: storeMasked(offset, value); return;
    }
}

} // namespace

u16& ioRegister(u32 offset) {
    return gba.IoRegisters[(offset & 0x3FE) >> 1];
}

u32 ioRead16(u32 address) {
    if (outsideRegisters(address)) [[unlikely]] {
        return undecodedRead16(address);
    }
    u32 offset = address & 0x3FE;
    if ((offset & 0x3F0) == io::WAVE_RAM) [[unlikely]] {
        const u8* bank = gba.WaveRamBanks[gba.cpuWaveBank];
        return bank[offset & 0xE] | (bank[(offset & 0xE) + 1] << 8);
    }
    if ((offset & 0x3F2) == io::TM0CNT_L) [[unlikely]] {
        return timerCounterRead(offset);
    }
    return gba.IoRegisters[offset >> 1] & IoReadMask[offset >> 1];
}

void ioWrite16(u32 address, u32 value) {
    if (outsideRegisters(address)) [[unlikely]] {
        undecodedWrite16(address, value);
        return;
    }
    writeRegister(address & 0x3FE, value);
}

void ioWrite32(u32 address, u32 value) {
    u32 aligned = address & ~3u;
    ioWrite16(aligned, value & 0xFFFF);
    ioWrite16(aligned | 2, value >> 16);
}

void ioWrite8(u32 address, u32 value) {
    value &= 0xFF;
    if (outsideRegisters(address)) [[unlikely]] {
        const u32 half = undecodedRead16(address);
        undecodedWrite16(address,
                         (address & 1) ? (value << 8) | (half & 0xFF) : (half & 0xFF00) | value);
        return;
    }
    u32 offset = address & 0x3FF;
    if ((offset & 0x3F0) == io::WAVE_RAM) {
        gba.WaveRamBanks[gba.cpuWaveBank][offset & 0xF] = static_cast<u8>(value);
        return;
    }
    if (offset == io::HALTCNT) {
        // The CPU stops after the current instruction until IE AND IF is not 0, and so does
        // not stop while it is not 0 already.
        if (!(ioRegister(io::IE) & ioRegister(io::IF))) {
            gba.cpu.cpuRunning = 0;
            gba.cpu.cycleBalance = 0;
        }
        return;
    }
    // Merge with the stored (not read-masked) other byte. A byte write to IF therefore also
    // acknowledges every bit set in the other byte.
    u16 stored = ioRegister(offset);
    u32 half = (offset & 1) ? ((value << 8) | (stored & 0xFF)) : ((stored & 0xFF00) | value);
    writeRegister(offset & 0x3FE, half);
}

void initIoMasks() {
    for (u32 index = 0; index < 512; ++index) {
        IoWriteMask[index] = index < 200 ? 0xFFFF : 0x0000;
        IoReadMask[index] = 0x0000;
    }
    for (const RegisterMasks& entry : registerMasks) {
        IoWriteMask[entry.offset >> 1] = entry.writeMask;
        IoReadMask[entry.offset >> 1] = entry.readMask;
    }
    if (settings.disableAlpha) {
        IoWriteMask[io::BLDCNT >> 1] = 0xFF3F;
    }

    ioWrite16(0x04000000 + io::DISPCNT, 0x0080); // forced blank
    ioWrite16(0x04000020, 0x0100);               // BG2PA = 1.0
    // BG2PD, not BG2PC: the boot program leaves BG2 untransformed (PA = PD = 1.0), and the
    // bitmap modes draw only with an identity matrix.
    ioWrite16(0x04000026, 0x0100);
    ioWrite16(0x04000000 + io::KEYCNT, 0);
    ioWrite32(0x04000000 + io::POSTFLG, 1);
    ioRegister(io::KEYINPUT) = 0xFFFF; // no key pressed
    gba.memoryControl = 0x0D000020;    // as the boot program leaves it
}
