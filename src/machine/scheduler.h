// The scheduler: emulated time passes only through cpuRun, in slices of 64 cycles given to
// the active DMA channel or to the CPU, each followed by the timer pass.
#pragma once

#include "common/types.h"

struct SchedulerState {
    // Cycles owed to the scheduler; the remainder (0 or below) carries into the next call.
    s16 sliceBudget;
    // Sum of every cpuRun argument so far in this frame.
    u32 totalCycles;
    // Argument of the cpuRun call in progress.
    u16 runCycles;
};

extern SchedulerState scheduler;

void cpuRun(u16 cycles);

// Cycle time since the frame start at the end of the current slice (the sound clock).
u32 currentCycleTime();

// The cycles of the slice under way that the CPU has used so far, by its balance: 0-64. Loads
// and stores charge their cost after the access, which so sees the time its instruction began.
// Outside the instruction loop (a DMA slice, the host) it is 0: the access counts as made at
// the start of the slice.
u32 cpuCyclesIntoSlice();

// While no DMA channel and no timer runs, the slices of a cpuRun call differ only in their
// time, so the CPU runs them as one batch; the slice an instruction belongs to follows from
// the balance it finds (the stores charge their cycles after writing). A write that makes the
// following slices differ (a DMA start, a timer start) calls this first: the batch then ends
// with the slice under way, and the rest goes back to the scheduler. A halt needs no call:
// with nothing running that could wake the CPU, the slices left pass alike either way.
void endSliceBatch();
