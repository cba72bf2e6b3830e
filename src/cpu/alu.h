// Flag arithmetic shared by the ARM and THUMB handlers. Flags live only in the CPSR and are
// updated there by each instruction that computes them.
#pragma once

#include <array>

#include "machine/gba_system.h"

inline void setFlagsNZ(u32 result) {
    u32& cpsr = gba.cpu.cpsr;
    cpsr = (cpsr & ~(flagN | flagZ)) | (result & flagN) | (result == 0 ? flagZ : 0);
}

inline void setFlagC(bool carry) {
    gba.cpu.cpsr = (gba.cpu.cpsr & ~flagC) | (carry ? flagC : 0);
}

inline u32 carryBit() {
    return (gba.cpu.cpsr >> 29) & 1;
}

// N and Z of RESULT, C and V as given, into the CPSR.
inline void setArithmeticFlags(u32 result, bool carry, bool overflow) {
    u32& cpsr = gba.cpu.cpsr;
    cpsr = (cpsr & 0x0FFFFFFF) | (result & flagN) | (result == 0 ? flagZ : 0) |
           (static_cast<u32>(carry) << 29) | (static_cast<u32>(overflow) << 28);
}

// a + b or a - b (SUBTRACT), setting N, Z, C (for a subtraction: nothing borrowed) and V.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// On x86 the host's own add or subtract gives all four flags at once: LAHF copies its SF, ZF
// and CF into AH and SETO its OF into AL, and a table turns AH into N, Z and C in place, with C
// inverted for a subtraction (x86 sets CF on a borrow). That is half the instructions of
// assembling the flags one by one, on every flag-setting add, subtract and compare.
inline constexpr std::array<u32, 256> hostFlagsToNzc(bool invertCarry) {
    std::array<u32, 256> table{};
    for (u32 ah = 0; ah < 256; ++ah) {
        const u32 carry = (ah & 1) ^ (invertCarry ? 1 : 0);
        table[ah] = (ah & 0x80) << 24 | (ah & 0x40) << 24 | carry << 29;
    }
    return table;
}
inline constexpr std::array<u32, 256> additionFlags = hostFlagsToNzc(false);
inline constexpr std::array<u32, 256> subtractionFlags = hostFlagsToNzc(true);

template <bool subtract>
inline u32 arithmeticWithFlags(u32 a, u32 b) {
    u32 result = a;
    u32 hostFlags;
    if constexpr (subtract) {
        asm("subl %2, %0\n\tlahf\n\tseto %%al" : "+r"(result), "=&a"(hostFlags) : "r"(b) : "cc");
    } else {
        asm("addl %2, %0\n\tlahf\n\tseto %%al" : "+r"(result), "=&a"(hostFlags) : "r"(b) : "cc");
    }
    const std::array<u32, 256>& nzc = subtract ? subtractionFlags : additionFlags;
    u32& cpsr = gba.cpu.cpsr;
    cpsr = (cpsr & 0x0FFFFFFF) | nzc[(hostFlags >> 8) & 0xFF] | (hostFlags & 1) << 28;
    return result;
}
#else
// The compiler's overflow built-ins read the host's carry and overflow flags of the one
// operation.
template <bool subtract>
inline u32 arithmeticWithFlags(u32 a, u32 b) {
    u32 result;
    s32 signedResult;
    bool carry;
    bool overflow;
    if constexpr (subtract) {
        carry = !__builtin_sub_overflow(a, b, &result);
        overflow = __builtin_sub_overflow(static_cast<s32>(a), static_cast<s32>(b), &signedResult);
    } else {
        carry = __builtin_add_overflow(a, b, &result);
        overflow = __builtin_add_overflow(static_cast<s32>(a), static_cast<s32>(b), &signedResult);
    }
    setArithmeticFlags(result, carry, overflow);
    return result;
}
#endif

inline u32 addWithFlags(u32 a, u32 b) {
    return arithmeticWithFlags<false>(a, b);
}
inline u32 subWithFlags(u32 a, u32 b) {
    return arithmeticWithFlags<true>(a, b);
}

// a + b + carryIn, setting N, Z, C and V.
inline u32 addWithFlags(u32 a, u32 b, u32 carryIn) {
    u64 wide = static_cast<u64>(a) + b + carryIn;
    u32 result = static_cast<u32>(wide);
    u32 overflow = (~(a ^ b) & (a ^ result)) >> 31;
    u32& cpsr = gba.cpu.cpsr;
    cpsr = (cpsr & 0x0FFFFFFF) | (result & flagN) | (result == 0 ? flagZ : 0) |
           (static_cast<u32>(wide >> 32) << 29) | (overflow << 28);
    return result;
}

// a - b - (1 - carryIn), setting N, Z, C (no borrow) and V.
inline u32 subWithFlags(u32 a, u32 b, u32 carryIn) {
    return addWithFlags(a, ~b, carryIn);
}
