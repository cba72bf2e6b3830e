// Instruction execution: the fetch-and-dispatch loops of ARM and THUMB code. The scheduler
// (machine/scheduler.h) decides when the CPU runs; this unit only executes instructions.
#pragma once

#include "common/types.h"

// Adds one 64-cycle slice to the cycle balance and executes instructions until it is spent,
// entering an interrupt made due inside an instruction once that instruction has completed.
void runCpuSlice();

// COUNT slices run as one: the balance grows by 64 x COUNT at once. Only for slices that
// differ in nothing else, with no DMA and no timer running; machine/scheduler.h tells how a
// batch is cut short.
void runCpuSlices(u32 count);

// Fetches and executes one instruction in the current state (used by tests and tools).
void executeOneInstruction();
