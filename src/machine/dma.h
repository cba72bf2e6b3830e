// The four DMA channels. Only one channel moves data at a time, in the 64-cycle slices that the
// scheduler gives it instead of the CPU; interrupted HBlank and VBlank transfers wait behind a
// pending flag and resume in channel order.
#pragma once

#include "common/types.h"
#include "machine/io_registers.h"

struct DmaChannel {
    u32 internalSource;
    u32 internalDest;
    u32 unitCount;
    s32 unitsDone; // starts below 0 when the count register is 0 (0x4000 or 0x10000 units)
    s32 sourceStep;
    s32 destStep;
    u32 unitCost;
    u16 pending;
};

constexpr u16 noDmaChannel = 0xFFFF;

struct DmaState {
    DmaChannel channels[4];
    u16 active; // 4 or more: no channel is transferring
    u16 hblankChannel;
    u16 vblankChannel;
    s16 budget16;
    s16 budget32;
    u16 deferredIrqMask; // interrupts held back while a channel is active
    u16 cycleRefund;
};

extern DmaState dma;

// DMAxCNT_H bits.
namespace dmacnt {
constexpr u32 repeat = 1u << 9;
constexpr u32 word = 1u << 10;
constexpr u32 irqAtEnd = 1u << 14;
constexpr u32 enable = 1u << 15;
inline u32 timing(u32 control) {
    return (control >> 12) & 3;
}
inline u32 destControl(u32 control) {
    return (control >> 5) & 3;
}
inline u32 sourceControl(u32 control) {
    return (control >> 7) & 3;
}
} // namespace dmacnt

// I/O offsets of channel c's registers.
inline u32 dmaSourceOffset(u32 c) {
    return io::DMA0SAD + 12 * c;
}
inline u32 dmaDestOffset(u32 c) {
    return io::DMA0DAD + 12 * c;
}
inline u32 dmaCountOffset(u32 c) {
    return io::DMA0CNT_L + 12 * c;
}
inline u32 dmaControlOffset(u32 c) {
    return io::DMA0CNT_H + 12 * c;
}

void resetDma();

// Computes count, steps and unit cost of channel c from its registers.
void prepareDmaChannel(u32 channel);
// Prepares the active channel (the frame driver's start of HBlank, VBlank and capture DMA).
void startDmaChannel();

// Write side effects of the DMA registers (after the masked store).
void dmaAddressWritten(u32 offset);
void dmaControlWritten(u32 channel, u32 value);

// Moves data for one 64-cycle slice on the active channel.
void runDmaSlice();

// Refill of the sound FIFOs by channels 1 and 2 in special timing.
void soundFifoTransfer();

// HBlank (timing 2) or VBlank (timing 1) start by the frame driver.
void startTimedDma(u16 timedChannel, u32 timing);
