#include "machine/dma.h"

#include <algorithm>

#include "cpu/interrupts.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "machine/wait_states.h"

DmaState dma;

namespace {

// Address step per unit by the 2-bit control field: increment, decrement, fixed, increment
// with reload.
constexpr s32 halfwordSteps[4] = {2, -2, 0, 2};
constexpr s32 wordSteps[4] = {4, -4, 0, 4};

u32 registerPair(u32 offset) {
    return ioRegister(offset) | (static_cast<u32>(ioRegister(offset + 2)) << 16);
}

u32 control(u32 channel) {
    return ioRegister(dmaControlOffset(channel));
}

// An immediate start ends the CPU's slice: it takes the 64 cycles of a slice from the balance,
// but never leaves it more than one slice's budget overdrawn. A channel that writes its own
// control register restarts on every unit, while the CPU runs no slice to pay the debt back.
void endCpuSlice() {
    s32& balance = gba.cpu.cycleBalance;
    balance = std::min(balance, std::max(balance - 64, -64));
}

void reloadAddresses(u32 channel) {
    dma.channels[channel].internalSource = registerPair(dmaSourceOffset(channel));
    dma.channels[channel].internalDest = registerPair(dmaDestOffset(channel));
}

template <bool word>
void moveUnit(DmaChannel& channel, s16& budget) {
    budget = static_cast<s16>(budget - channel.unitCost);
    if constexpr (word) {
        busWrite32(channel.internalDest, busRead32(channel.internalSource));
    } else {
        busWrite16(channel.internalDest, busRead16(channel.internalSource));
    }
    channel.internalSource += channel.sourceStep;
    channel.internalDest += channel.destStep;
    channel.unitsDone += 1;
}

// Re-selects the HBlank and VBlank channels; here the highest-numbered channel wins.
void rescanTimedChannels() {
    dma.hblankChannel = dma.vblankChannel = noDmaChannel;
    for (u16 c = 0; c < 4; ++c) {
        u32 value = control(c);
        if (!(value & dmacnt::enable)) {
            continue;
        }
        if (dmacnt::timing(value) == 2) {
            dma.hblankChannel = c;
        } else if (dmacnt::timing(value) == 1) {
            dma.vblankChannel = c;
        }
    }
}

void finishChannel(u32 c) {
    DmaChannel& channel = dma.channels[c];
    u32 value = control(c);
    if (!(value & dmacnt::repeat)) {
        ioRegister(dmaControlOffset(c)) = static_cast<u16>(value & ~dmacnt::enable);
        rescanTimedChannels();
    }
    if (dmacnt::destControl(value) == 3) {
        channel.internalDest = registerPair(dmaDestOffset(c));
    }
    if (value & dmacnt::irqAtEnd) {
        // Held in the deferred mask while this channel is still the active one.
        requestInterrupt(static_cast<u16>(0x100 << c));
    }
    channel.pending = 0;

    do {
        ++dma.active;
    } while (dma.active < 4 && !dma.channels[dma.active].pending);
    if (dma.active < 4) {
        return;
    }
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget + dma.cycleRefund);
    dma.cycleRefund = 0;
    dma.active = noDmaChannel;
    ioRegister(io::IF) |= dma.deferredIrqMask;
    dma.deferredIrqMask = 0;
    // Requests held back, or an IE or IME written by the transfer, may now be let through.
    serviceInterrupt();
}

template <bool word>
void runSlice(DmaChannel& channel, s16& budget) {
    budget = static_cast<s16>(budget + 64);
    // A slice moves at most 32 units, so far from the end no end check is needed.
    if (channel.unitCount - static_cast<u32>(channel.unitsDone) > 32) {
        while (budget > 0) {
            moveUnit<word>(channel, budget);
        }
        return;
    }
    while (budget > 0) {
        if (static_cast<u32>(channel.unitsDone) == channel.unitCount) {
            budget = 0;
            break;
        }
        moveUnit<word>(channel, budget);
    }
    if (static_cast<u32>(channel.unitsDone) == channel.unitCount) {
        finishChannel(dma.active);
    }
}

} // namespace

void resetDma() {
    for (DmaChannel& channel : dma.channels) {
        channel = DmaChannel{};
    }
    dma.active = dma.hblankChannel = dma.vblankChannel = noDmaChannel;
    dma.budget16 = dma.budget32 = 0;
    dma.deferredIrqMask = 0;
    dma.cycleRefund = 0;
}

void prepareDmaChannel(u32 c) {
    DmaChannel& channel = dma.channels[c];
    u32 value = control(c);
    channel.unitCount = ioRegister(dmaCountOffset(c));
    channel.unitsDone = channel.unitCount ? 0 : (c == 3 ? -0x10000 : -0x4000);
    u32 s = channel.internalSource >> 24;
    u32 d = channel.internalDest >> 24;
    if (value & dmacnt::word) {
        u32 readCost = accessCyclesS16[s] + 1u;
        if (busIs16Bit[s & 15]) {
            readCost *= 2;
        }
        u32 writeCost = busIs16Bit[d & 15] ? accessCyclesS16[d] * 2u + 2 : accessCyclesS16[d] + 1u;
        channel.unitCost = readCost + writeCost;
        channel.sourceStep = wordSteps[dmacnt::sourceControl(value)];
        channel.destStep = wordSteps[dmacnt::destControl(value)];
    } else {
        channel.unitCost = accessCyclesS16[d] + accessCyclesS16[s] + 2u;
        channel.sourceStep = halfwordSteps[dmacnt::sourceControl(value)];
        channel.destStep = halfwordSteps[dmacnt::destControl(value)];
    }
}

void startDmaChannel() {
    prepareDmaChannel(dma.active);
}

void dmaAddressWritten(u32 offset) {
    u32 c = (offset - 0xB0) / 12;
    // Only the written register is copied: a source write leaves the destination's progress.
    if (((offset - 0xB0) % 12) < 4) {
        dma.channels[c].internalSource = registerPair(dmaSourceOffset(c));
    } else {
        dma.channels[c].internalDest = registerPair(dmaDestOffset(c));
    }
}

void dmaControlWritten(u32 channel, u32 value) {
    reloadAddresses(channel);
    u16& stored = ioRegister(dmaControlOffset(channel));
    u16 mask = IoWriteMask[dmaControlOffset(channel) >> 1];
    stored = static_cast<u16>((stored & ~mask) | (value & mask));

    // Here the lowest-numbered channel wins each timing, and every enabled immediate channel
    // starts again on any control write.
    dma.hblankChannel = dma.vblankChannel = noDmaChannel;
    for (int c = 3; c >= 0; --c) {
        u32 bits = control(c);
        if (!(bits & dmacnt::enable)) {
            continue;
        }
        switch (dmacnt::timing(bits)) {
        case 0:
            endSliceBatch();
            endCpuSlice();
            dma.active = static_cast<u16>(c);
            dma.cycleRefund = 64;
            prepareDmaChannel(c);
            break;
        case 1: dma.vblankChannel = static_cast<u16>(c); break;
        case 2: dma.hblankChannel = static_cast<u16>(c); break;
        default: break;
        }
    }
}

void runDmaSlice() {
    DmaChannel& channel = dma.channels[dma.active];
    if (control(dma.active) & dmacnt::word) {
        runSlice<true>(channel, dma.budget32);
    } else {
        runSlice<false>(channel, dma.budget16);
    }
}

void startTimedDma(u16 timedChannel, u32 timing) {
    if (dma.active < 4) {
        dma.channels[dma.active].pending = 1;
    } else {
        dma.active = 4;
    }
    while (dma.active > timedChannel) {
        --dma.active;
        u32 value = control(dma.active);
        if ((value & dmacnt::enable) && dmacnt::timing(value) == timing) {
            prepareDmaChannel(dma.active);
            dma.channels[dma.active].pending = 1;
        }
    }
    startDmaChannel();
}

void soundFifoTransfer() {
    for (u32 c = 1; c <= 2; ++c) {
        u32 value = control(c);
        if (!(value & dmacnt::enable) || dmacnt::timing(value) != 3) {
            continue;
        }
        DmaChannel& channel = dma.channels[c];
        u32 dest = registerPair(dmaDestOffset(c));
        // Source control 3 moves nothing; the interrupt below is still requested.
        static constexpr s32 sourceSteps[3] = {4, -4, 0};
        u32 sourceControl = dmacnt::sourceControl(value);
        if (sourceControl != 3) {
            s32 step = sourceSteps[sourceControl];
            for (s32 i = 0; i < 4; ++i) {
                busWrite32(dest, busRead32(channel.internalSource + static_cast<u32>(step * i)));
            }
            channel.internalSource += static_cast<u32>(step * 4);
        }

        if (value & dmacnt::irqAtEnd) {
            requestInterrupt(static_cast<u16>(0x100 << c));
        }
    }
}
