// Register access for the instruction handlers: the registers of the current mode by number.
#pragma once

#include "machine/gba_system.h"

inline u32& reg(u32 n) {
    return gba.cpu.registers[n];
}
inline u32& programCounter() {
    return gba.cpu.registers[15];
}
