// The three handler tables through which every instruction is dispatched. A handler takes the
// instruction word, acts on the CPU and the bus, and subtracts its own cost from
// gba.cpu.cycleBalance. The tables are filled once, by resetCpu.
#pragma once

#include "common/types.h"

#include <array>
#include <utility>

using InstructionHandler = void (*)(u32 opcode);

// Index: ARM opcode bits 31-28.
extern InstructionHandler conditionHandlers[16];
// Index: (opcode bits 27-20) + 256 x (opcode bits 7-4).
extern InstructionHandler armHandlers[4096];
// Index: THUMB opcode bits 15-6.
extern InstructionHandler thumbHandlers[1024];

// One multiply moves bits 7-4 up to bits 31-28, next to bits 27-20, which stay; the two fields
// do not overlap, so no carry disturbs them. The empty asm hides the factor from the compiler,
// which would otherwise turn the multiply into a shift and an add: two instructions more on
// every ARM instruction.
inline u32 armIndex(u32 opcode) {
    u32 spread = 0x01000001u;
    asm("" : "+r"(spread));
    return ((opcode & 0x0FF000F0) * spread) >> 20;
}
inline u32 thumbIndex(u32 opcode) {
    return (opcode >> 6) & 0x3FF;
}

// Stamps out a family's table at compile time, for ARM and THUMB alike: entry key is
// pick.template operator()<key>(), so each key names one template instantiation (or nullptr
// where the key is unassigned).
template <u32 count, typename Pick>
consteval std::array<InstructionHandler, count> stampHandlers(Pick pick) {
    return [pick]<u32... key>(std::integer_sequence<u32, key...>) {
        return std::array<InstructionHandler, count>{pick.template operator()<key>()...};
    }
    (std::make_integer_sequence<u32, count>{});
}

// Calls FUNCTION out of line: the rare half of a handler (a transfer through the bus, a write
// to R15 that may switch modes), so that the common path stays free of calls and of the
// register saves a call needs.
template <auto function, typename... Args>
[[gnu::noinline]] void outOfLine(Args... args) {
    function(args...);
}

void fillConditionHandlers(); // cpu/execution.cpp
void fillArmHandlers();       // cpu/arm_table.cpp
void fillThumbHandlers();     // cpu/thumb_table.cpp

void buildHandlerTables();
