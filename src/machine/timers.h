// The four 16-bit timers. They count in the scheduler's 64-cycle slices; overflows request
// interrupts, cascade into the next timer and clock the sound FIFOs (timers 0 and 1).
#pragma once

#include "common/types.h"

struct TimerState {
    u16 reload[4];
    u16 prescale[4];
    // 0x80 while any timer is enabled; the timer pass is skipped while it is 0.
    u16 anyOn;
    u16 enabled; // bit n set while timer n is enabled: the timers the pass visits
};

extern TimerState timers;

void resetTimers();

// TMnCNT_L: the value becomes the reload value and, at once, the current count.
void timerCounterWritten(u32 timer, u32 value);
// TMnCNT_H, after the masked store.
void timerControlWritten();

// Advances the enabled timers by one slice. NOW is the cycle time since the frame start,
// handed on to the sound FIFOs.
void stepTimers(u32 now);

// How many slices from now the timer pass can run without any timer overflowing (and so
// without touching anything but the counters); 0xFFFFFFFF while no timer counts by itself.
u32 quietTimerSlices();

// The effect of SLICES timer passes that overflow nothing (SLICES <= quietTimerSlices()).
void advanceTimersQuietly(u32 slices);
