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
u16 control(u32 n) {
    return ioRegister(io::TM0CNT_H + 4 * n);
}

// Slices per count: prescaler 0 counts 64 per slice, 1 one per slice, 2 and 3 one per 4 and
// 16 slices.
constexpr u32 slicesPerCount[4] = {1, 1, 4, 16};

// Returns whether the timer overflowed in this slice. Prescaler 0 counts 64 per slice, so its
// overflow leaves the part of the 64 that went past the wrap in the counter.
bool advance(u32 n) {
    u16& count = counter(n);
    const u32 prescaler = control(n) & 3;
    switch (prescaler) {
    case 0: count = static_cast<u16>(count + 64); return count < 64;
    case 1: count = static_cast<u16>(count + 1); return count == 0;
    default:
        if (++timers.prescale[n] < slicesPerCount[prescaler]) {
            return false;
        }
        timers.prescale[n] = 0;
        count = static_cast<u16>(count + 1);
        return count == 0;
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
}

void timerCounterWritten(u32 timer, u32 value) {
    timers.reload[timer] = static_cast<u16>(value);
    counter(timer) = static_cast<u16>(value);
}

void timerControlWritten() {
    timers.anyOn = (control(0) | control(1) | control(2) | control(3)) & 0x80;
    if (timers.anyOn) {
        endSliceBatch();
    }
    timers.enabled = 0;
    for (u32 n = 0; n < 4; ++n) {
        timers.enabled |= ((control(n) >> 7) & 1) << n;
    }
}

void stepTimers(u32 now) {
    u32 overflowed = 0; // bit n + 1 set when timer n overflowed in this slice
    for (u32 left = timers.enabled; left != 0; left &= left - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(left));
        u16 bits = control(n);
        // A count-up timer advances only in slices where the timer before it overflowed; timer
        // 0 in count-up mode therefore never counts.
        if (((bits & 0x04) && !(overflowed & (1u << n))) || !advance(n)) {
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

namespace {

bool countsUp(u32 n) {
    return control(n) & 0x04;
}

// The prescale count as the timer pass sees it: one left from a larger prescaler (it is kept
// across control writes) makes the next pass count, as PERIOD - 1 would.
u32 prescalePhase(u32 n, u32 period) {
    return std::min<u32>(timers.prescale[n], period - 1);
}

} // namespace

u32 quietTimerSlices() {
    u32 quiet = 0xFFFFFFFF;
    for (u32 left = timers.enabled; left != 0; left &= left - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(left));
        if (countsUp(n)) {
            continue; // moves only when the timer before it overflows
        }
        const u32 prescaler = control(n) & 3;
        const u32 toWrap = 0x10000 - counter(n); // counts until the overflow
        // The slice in which the timer overflows, counted from 1.
        u32 overflowSlice;
        switch (prescaler) {
        case 0: overflowSlice = (toWrap + 63) / 64; break;
        case 1: overflowSlice = toWrap; break;
        default: {
            const u32 period = slicesPerCount[prescaler];
            overflowSlice = period - prescalePhase(n, period) + period * (toWrap - 1);
        }
        }
        quiet = std::min(quiet, overflowSlice - 1);
    }
    return quiet;
}

void advanceTimersQuietly(u32 slices) {
    for (u32 left = timers.enabled; left != 0; left &= left - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(left));
        if (countsUp(n)) {
            continue;
        }
        const u32 prescaler = control(n) & 3;
        u16& count = counter(n);
        if (prescaler <= 1) {
            count = static_cast<u16>(count + (prescaler == 0 ? 64 * slices : slices));
        } else {
            const u32 period = slicesPerCount[prescaler];
            const u32 ticks = prescalePhase(n, period) + slices;
            count = static_cast<u16>(count + ticks / period);
            timers.prescale[n] = static_cast<u16>(ticks % period);
        }
    }
}
