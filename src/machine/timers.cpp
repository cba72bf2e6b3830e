#include "machine/timers.h"

#include <algorithm>
#include <bit>

#include "cpu/interrupts.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "sound/fifo.h"

TimerState timers;

namespace {

u16& counter(u32 n) {
    return ioRegister(io::TM0CNT_L + 4 * n);
}
u16& control(u32 n) {
    return ioRegister(io::TM0CNT_H + 4 * n);
}

bool countsUp(u32 n) {
    return control(n) & 0x04;
}

// Cycles per count by the prescaler, as shifts: 1, 64, 256 and 1024 cycles.
constexpr u32 cycleShift[4] = {0, 6, 8, 10};

// Advances timer n by CYCLES of its clock; returns whether the counter wrapped. It wraps at
// most once: the counts past the wrap stay in the counter.
bool advance(u32 n, u32 cycles) {
    const u32 shift = cycleShift[control(n) & 3];
    const u32 ticks = timers.prescale[n] + cycles;
    timers.prescale[n] = static_cast<u16>(ticks & ((1u << shift) - 1));
    const u32 count = counter(n) + (ticks >> shift);
    counter(n) = static_cast<u16>(count);
    return count > 0xFFFF;
}

// Advances the enabled timers by CYCLES (at most a slice) with the effects of their overflows.
// NOW is the cycle time since the frame start at the end of those cycles. Inline in the pass
// after every slice, which a call would cost a good part of.
[[gnu::always_inline]] inline void runTimers(u32 cycles, u32 now) {
    u32 overflowed = 0; // bit n + 1 set when timer n overflowed in these cycles
    for (u32 left = timers.enabled; left != 0; left &= left - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(left));
        const u16 bits = control(n);
        // A count-up timer advances, as by a whole slice, only when the timer before it
        // overflowed; timer 0 in count-up mode therefore never counts.
        if (bits & 0x04) {
            if (!(overflowed & (1u << n)) || !advance(n, 64)) {
                continue;
            }
        } else if (!advance(n, cycles)) {
            continue;
        }
        overflowed |= 2u << n;
        if (bits & 0x40) {
            requestInterrupt(static_cast<u16>(0x08 << n));
        }
        counter(n) = static_cast<u16>(counter(n) + timers.reload[n]);
        if (n < 2) {
            fifoTimerOverflow(n, now);
        }
    }
}

} // namespace

void resetTimers() {
    for (u32 n = 0; n < 4; ++n) {
        timers.reload[n] = 0;
        timers.prescale[n] = 0;
    }
    timers.anyOn = 0;
    timers.enabled = 0;
    timers.sliceCycles = 0;
}

void syncTimers() {
    const u32 reached = cpuCyclesIntoSlice();
    const u32 counted = timers.sliceCycles;
    if (!timers.enabled) {
        // Nothing counts: the count of a timer enabled from now on starts here.
        timers.sliceCycles = static_cast<u16>(reached);
    } else if (reached > counted) {
        timers.sliceCycles = static_cast<u16>(reached);
        runTimers(reached - counted, currentCycleTime() - (64 - reached));
    }
}

void timerCounterWritten(u32 timer, u32 value) {
    if (timers.enabled) {
        syncTimers();
    }
    timers.reload[timer] = static_cast<u16>(value);
    counter(timer) = static_cast<u16>(value);
}

void timerControlWritten(u32 timer, u32 value) {
    syncTimers();
    const u32 mask = IoWriteMask[(io::TM0CNT_H >> 1) + 2 * timer];
    control(timer) = static_cast<u16>((control(timer) & ~mask) | (value & mask));
    // A prescaler made shorter keeps at most one count's worth of the cycles counted so far.
    const u32 period = 1u << cycleShift[control(timer) & 3];
    timers.prescale[timer] = static_cast<u16>(std::min<u32>(timers.prescale[timer], period - 1));
    timers.anyOn = (control(0) | control(1) | control(2) | control(3)) & 0x80;
    if (timers.anyOn) {
        // The timer pass has to see the end of each slice from now on.
        endSliceBatch();
    }
    timers.enabled = 0;
    for (u32 n = 0; n < 4; ++n) {
        timers.enabled |= ((control(n) >> 7) & 1) << n;
    }
}

void stepTimers(u32 now) {
    const u32 rest = 64 - std::min<u32>(timers.sliceCycles, 64);
    timers.sliceCycles = 0;
    if (rest != 0) {
        runTimers(rest, now);
    }
}

u32 quietTimerSlices() {
    u32 quiet = 0xFFFFFFFF;
    for (u32 left = timers.enabled; left != 0; left &= left - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(left));
        if (countsUp(n)) {
            continue; // moves only when the timer before it overflows
        }
        // Cycles until the overflow, and the slice it falls in, counted from 1.
        const u32 toWrap = 0x10000 - counter(n);
        const u32 cycles = (toWrap << cycleShift[control(n) & 3]) - timers.prescale[n];
        quiet = std::min(quiet, (cycles + 63) / 64 - 1);
    }
    return quiet;
}

void advanceTimersQuietly(u32 slices) {
    for (u32 left = timers.enabled; left != 0; left &= left - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(left));
        if (!countsUp(n)) {
            advance(n, 64 * slices);
        }
    }
}
