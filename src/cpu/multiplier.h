// Multiplier timing of the ARM7TDMI: one to four cycles by the significant bytes of Rs.
#pragma once

#include <bit>

#include "common/types.h"

// The bytes of X up to its highest set bit, 1 for 0: the multiplier's cycles for a value whose
// leading bytes are all 0. Worked out without branches, as Rs is data and branches on it
// would be mispredicted as often as not.
inline u32 significantBytes(u32 x) {
    return static_cast<u32>(39 - std::countl_zero(x | 1)) >> 3;
}

// Signed rule: leading bytes of Rs count as insignificant when all 0 or all 1. Inverting a
// negative Rs turns its leading all-1 bytes into all-0 bytes.
inline u32 signedMultiplierCycles(u32 rs) {
    return significantBytes(rs ^ static_cast<u32>(static_cast<s32>(rs) >> 31));
}

// Unsigned rule: leading bytes count as insignificant only when all 0.
inline u32 unsignedMultiplierCycles(u32 rs) {
    return significantBytes(rs);
}
