// Multiplier timing of the ARM7TDMI: one to four cycles by the significant bytes of Rs.
#pragma once

#include "common/types.h"

// Signed rule: leading bytes of Rs count as insignificant when all 0 or all 1.
inline u32 signedMultiplierCycles(u32 rs) {
    const s32 value = static_cast<s32>(rs);
    if ((value >> 8) == 0 || (value >> 8) == -1) {
        return 1;
    }
    if ((value >> 16) == 0 || (value >> 16) == -1) {
        return 2;
    }
    if ((value >> 24) == 0 || (value >> 24) == -1) {
        return 3;
    }
    return 4;
}

// Unsigned rule: leading bytes count as insignificant only when all 0.
inline u32 unsignedMultiplierCycles(u32 rs) {
    if (rs < 0x100) {
        return 1;
    }
    if (rs < 0x10000) {
        return 2;
    }
    return rs < 0x1000000 ? 3 : 4;
}
