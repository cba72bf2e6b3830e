// Instruction execution: the fetch-and-dispatch loops of ARM and THUMB code. The scheduler
// (machine/scheduler.h) decides when the CPU runs; this unit only executes instructions.
#pragma once

#include "common/types.h"

// Adds one 64-cycle slice to the cycle balance and executes instructions until it is spent,
// entering an interrupt made due inside an instruction once that instruction has completed.
void runCpuSlice();

// Fetches and executes one instruction in the current state (used by tests and tools).
void executeOneInstruction();
