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
