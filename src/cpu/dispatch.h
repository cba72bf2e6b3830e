// The three handler tables through which every instruction is dispatched. A handler takes no
// arguments: it decodes gba.cpu.currentOpcode, acts on the CPU and the bus, and subtracts its
// own cost from gba.cpu.cycleBalance. The tables are filled once, by resetCpu.
#pragma once

#include "common/types.h"

using InstructionHandler = void (*)();

// Index: ARM opcode bits 31-28.
extern InstructionHandler conditionHandlers[16];
// Index: (opcode bits 27-20) + 256 x (opcode bits 7-4).
extern InstructionHandler armHandlers[4096];
// Index: THUMB opcode bits 15-6.
extern InstructionHandler thumbHandlers[1024];

inline u32 armIndex(u32 opcode) {
    return ((opcode >> 20) & 0xFF) | (((opcode >> 4) & 0xF) << 8);
}
inline u32 thumbIndex(u32 opcode) {
    return (opcode >> 6) & 0x3FF;
}

void fillConditionHandlers(); // cpu/execution.cpp
void fillArmHandlers();       // cpu/arm_table.cpp
void fillThumbHandlers();     // cpu/thumb_table.cpp

void buildHandlerTables();
