// The four 16-bit timers. They count in the scheduler's 64-cycle slices; overflows request
// interrupts, cascade into the next timer and clock the sound FIFOs (timers 0 and 1). A read of
// a counter and a write of a timer register bring the running timers up to the cycle of the
// access within the slice, and the pass at the end of the slice counts only the rest of it.
#pragma once

#include "common/types.h"

struct TimerState {
    u16 reload[4];
    // Cycles counted towards each timer's next count by its prescaler: 0-63, 0-255 or 0-1023.
    u16 prescale[4];
    // 0x80 while any timer is enabled; the timer pass is skipped while it is 0.
    u16 anyOn;
    u16 enabled; // bit n set while timer n is enabled: the timers the pass visits
    // Cycles of the slice under way that the timers have counted already (0-64).
    u16 sliceCycles;
};

extern TimerState timers;

void resetTimers();

// TMnCNT_L: the value becomes the reload value and, at once, the current count.
void timerCounterWritten(u32 timer, u32 value);
// TMnCNT_H: the timers are brought up to now, then the value is stored through its mask.
void timerControlWritten(u32 timer, u32 value);

// Brings the enabled timers up to the cycle the CPU has reached in the slice under way, with
// the effects of an overflow on the way.
void syncTimers();

// Advances the enabled timers by the rest of the slice. NOW is the cycle time since the frame
// start at the end of the slice, handed on to the sound FIFOs.
void stepTimers(u32 now);

// How many slices from now the timer pass can run without any timer overflowing (and so
// without touching anything but the counters); 0xFFFFFFFF while no timer counts by itself.
u32 quietTimerSlices();

// The effect of SLICES timer passes that overflow nothing (SLICES <= quietTimerSlices()).
void advanceTimersQuietly(u32 slices);
