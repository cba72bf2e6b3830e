#include "sound/fifo.h"

#include <cstring>

#include "common/settings.h"
#include "machine/dma.h"
#include "machine/io_registers.h"

SoundFifo soundFifos[2];

namespace {

// SOUNDCNT_H: bit 10/14 select timer 1 for FIFO A/B; bit 11/15 (the reset bits a game writes
// while it uses the FIFO) mark it in use.
constexpr u16 timerSelect[2] = {1 << 10, 1 << 14};
constexpr u16 inUse[2] = {1 << 11, 1 << 15};

// Returns whether the ring now needs a refill.
bool takeSample(SoundFifo& fifo, u32 now) {
    if (fifo.sampleClock < now) {
        u8 value = fifo.ring[fifo.readIndex];
        // One sample per output interval that ended: the rounded-up quotient, without overflow.
        u32 count = (now - fifo.sampleClock - 1) / cyclesPerOutputSample + 1;
        fifo.sampleClock += cyclesPerOutputSample * count;
        for (u32 i = 0; i < count && fifo.frameSampleCount < fifoFrameCapacity; ++i) {
            fifo.frameBuffer[fifo.frameSampleCount++] = static_cast<s8>(value);
        }
    }
    // An empty ring reads as the zeros left behind by earlier reads.
    fifo.ring[fifo.readIndex] = 0;
    fifo.readIndex = static_cast<u16>((fifo.readIndex + 1) % fifoRingSize);
    return (fifo.writeIndex + fifoRingSize - fifo.readIndex) % fifoRingSize < 16;
}

} // namespace

void resetFifo(u32 which) {
    SoundFifo& fifo = soundFifos[which];
    std::memset(fifo.ring, 0, sizeof fifo.ring);
    std::memset(fifo.frameBuffer, 0, sizeof fifo.frameBuffer);
    fifo.readIndex = 0;
    fifo.writeIndex = 1;
}

void fifoAppend(u32 which, u8 value) {
    SoundFifo& fifo = soundFifos[which];
    fifo.ring[fifo.writeIndex] = value;
    fifo.writeIndex = static_cast<u16>((fifo.writeIndex + 1) % fifoRingSize);
}

void fifoTimerOverflow(u32 timer, u32 now) {
    if (settings.disableFifoCopy) {
        return;
    }
    u16 control = ioRegister(io::SOUNDCNT_H);
    bool refill = false;
    for (u32 which = 0; which < 2; ++which) {
        bool clockedHere = ((control & timerSelect[which]) != 0) == (timer == 1);
        if (clockedHere && (control & inUse[which])) {
            refill |= takeSample(soundFifos[which], now);
        }
    }
    if (refill) {
        soundFifoTransfer();
    }
}

void restartFifoSampling(u32 now) {
    for (SoundFifo& fifo : soundFifos) {
        std::memset(fifo.frameBuffer, 0, sizeof fifo.frameBuffer);
        fifo.sampleClock = now;
    }
}
