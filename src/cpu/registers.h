// Register access for the instruction handlers: every register goes through the slot table
// of the current mode; R15 always lives in userBank.
#pragma once

#include "machine/gba_system.h"

inline u32& reg(u32 n) {
    return *gba.cpu.registerSlots[n];
}
inline u32& programCounter() {
    return gba.cpu.userBank[15];
}
