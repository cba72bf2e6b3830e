// Helpers shared by the THUMB handler families. While a THUMB handler runs, R15 holds the
// address of its instruction + 2.
#pragma once

#include <array>

#include "cpu/dispatch.h"
#include "cpu/registers.h"
#include "machine/gba_system.h"
#include "machine/wait_states.h"

// The low registers that THUMB names in its 3-bit fields, R0-R7, the same in every mode.
inline u32& lowReg(u32 n) {
    return gba.cpu.registers[n];
}

inline void chargeCycles(u32 cycles) {
    gba.cpu.cycleBalance -= static_cast<s32>(cycles);
}

// Region index (address bits 31-24) of the code being executed.
inline u32 codeRegion() {
    return programCounter() >> 24;
}

// The one way a THUMB handler writes R15. CYCLES is the whole cost of the instruction, refill
// included. At least one cycle is charged: internal RAM and I/O cost nothing per access, so a
// branch loop there would otherwise never use up its slice.
inline void thumbBranchTo(u32 target, u32 cycles) {
    programCounter() = target;
    chargeCycles(cycles != 0 ? cycles : 1);
}
