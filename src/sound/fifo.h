// The two direct-sound FIFOs. Games fill a ring by writes to FIFO_A / FIFO_B (usually by DMA);
// each overflow of the FIFO's timer takes one byte and holds it for every 381-cycle output
// interval (44100 Hz) that ended since the last sample.
#pragma once

#include "common/types.h"

constexpr u32 fifoRingSize = 128; // larger than the console's 32-byte FIFO
constexpr u32 fifoFrameCapacity = 1536;
constexpr u32 cyclesPerOutputSample = 381;

struct SoundFifo {
    u8 ring[fifoRingSize];
    u16 readIndex;
    u16 writeIndex;
    s8 frameBuffer[fifoFrameCapacity]; // samples produced this frame
    u16 frameSampleCount;
    u32 sampleClock; // cycle time of the last sample produced
};

extern SoundFifo soundFifos[2]; // A, B

// Zeroes the ring and its frame buffer; read index 0, write index 1.
void resetFifo(u32 which);
void fifoAppend(u32 which, u8 value);

// Takes a sample from every FIFO that is in use and clocked by TIMER (0 or 1), then asks
// DMA channels 1 and 2 for a refill when a ring runs low.
void fifoTimerOverflow(u32 timer, u32 now);

// SOUNDCNT_X master enable switched on: both frame buffers cleared, clocks set to NOW.
void restartFifoSampling(u32 now);
