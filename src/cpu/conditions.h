// The ARM condition codes, shared by the ARM condition handlers and THUMB's conditional branch.
#pragma once

#include <array>
#include <utility>

#include "common/types.h"

// Whether CONDITION (0 EQ .. 14 AL) passes for the flags N, Z, C, V in CPSR bits 31-28.
template <u32 condition>
constexpr bool conditionPasses(u32 cpsr) {
    const bool n = cpsr >> 31, z = (cpsr >> 30) & 1, c = (cpsr >> 29) & 1, v = (cpsr >> 28) & 1;
    if constexpr (condition == 0)
        return z;
    else if constexpr (condition == 1)
        return !z;
    else if constexpr (condition == 2)
        return c;
    else if constexpr (condition == 3)
        return !c;
    else if constexpr (condition == 4)
        return n;
    else if constexpr (condition == 5)
        return !n;
    else if constexpr (condition == 6)
        return v;
    else if constexpr (condition == 7)
        return !v;
    else if constexpr (condition == 8)
        return c && !z;
    else if constexpr (condition == 9)
        return !c || z;
    else if constexpr (condition == 10)
        return n == v;
    else if constexpr (condition == 11)
        return n != v;
    else if constexpr (condition == 12)
        return !z && n == v;
    else if constexpr (condition == 13)
        return z || n != v;
    else
        return true;
}

// For each condition, bit F set where it passes with the flags nibble F (CPSR bits 31-28);
// condition 15 never passes.
inline constexpr std::array<u16, 16> conditionPassMasks =
    []<u32... condition>(std::integer_sequence<u32, condition...>) {
    auto mask = []<u32 c>() {
        u16 bits = 0;
        for (u32 flags = 0; flags < 16 && c != 15; ++flags) {
            bits |= static_cast<u16>(conditionPasses<c>(flags << 28) << flags);
        }
        return bits;
    };
    return std::array<u16, 16>{mask.template operator()<condition>()...};
}
(std::make_integer_sequence<u32, 16>{});

// Whether the ARM instruction OPCODE runs with the flags of CPSR: AL, by far the most common,
// is told apart first, the others through the masks.
inline bool armConditionPasses(u32 opcode, u32 cpsr) {
    const u32 condition = opcode >> 28;
    return condition == 14 || ((conditionPassMasks[condition] >> (cpsr >> 28)) & 1);
}

// An instruction whose condition failed costs one cycle; with condition 15 it costs none.
inline s32 armConditionCost(u32 opcode) {
    return opcode >> 28 != 15;
}
