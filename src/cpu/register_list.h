// The register lists of the block transfers.
#pragma once

#include <array>

#include "common/types.h"

namespace register_list {

// Set bits per byte value. A table lookup per byte: the targets need not have a population
// count instruction, and the library call that stands in for it costs more than the transfer.
constexpr std::array<u8, 256> bitCounts = [] {
    std::array<u8, 256> counts{};
    for (u32 value = 1; value < 256; ++value) {
        counts[value] = static_cast<u8>(counts[value >> 1] + (value & 1));
    }
    return counts;
}();

} // namespace register_list

// Registers named by LIST (bits 0-15).
inline u32 registerCount(u32 list) {
    return register_list::bitCounts[list & 0xFF] + register_list::bitCounts[(list >> 8) & 0xFF];
}
