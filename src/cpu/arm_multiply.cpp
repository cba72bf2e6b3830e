// ARM multiplies: MUL, MLA and the four 64-bit forms, each with and without S. The multiplier
// takes one to four cycles by the significant bytes of Rs, as on the ARM7TDMI.
#include "cpu/alu.h"
#include "cpu/arm_handlers.h"
#include "cpu/multiplier.h"

namespace {

template <bool accumulate, bool setFlags>
void armMultiply(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const u32 rs = reg((opcode >> 8) & 15);
    u32 result = reg(opcode & 15) * rs;
    s32 cost = accessCyclesS32[programCounter() >> 24] + signedMultiplierCycles(rs);
    if constexpr (accumulate) {
        result += reg((opcode >> 12) & 15);
        cost += 1;
    }
    reg((opcode >> 16) & 15) = result;
    if constexpr (setFlags) {
        setFlagsNZ(result); // C and V keep their values
    }
    cpu.cycleBalance -= cost;
}

// The long forms cost only the multiplier and internal cycles, no fetch.
template <bool isSigned, bool accumulate, bool setFlags>
void armMultiplyLong(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const u32 rdLo = (opcode >> 12) & 15;
    const u32 rdHi = (opcode >> 16) & 15;
    const u32 rs = reg((opcode >> 8) & 15);
    const u32 rm = reg(opcode & 15);
    u64 result;
    s32 cost;
    if constexpr (isSigned) {
        result = static_cast<u64>(static_cast<s64>(static_cast<s32>(rm)) *
                                  static_cast<s64>(static_cast<s32>(rs)));
        cost = signedMultiplierCycles(rs) + 1;
    } else {
        result = static_cast<u64>(rm) * rs;
        cost = unsignedMultiplierCycles(rs) + 1;
    }
    if constexpr (accumulate) {
        result += (static_cast<u64>(reg(rdHi)) << 32) | reg(rdLo);
        cost += 1;
    }
    reg(rdLo) = static_cast<u32>(result);
    reg(rdHi) = static_cast<u32>(result >> 32);
    if constexpr (setFlags) {
        u32& cpsr = cpu.cpsr;
        cpsr = (cpsr & ~(flagN | flagZ)) | (static_cast<u32>(result >> 32) & flagN) |
               (result == 0 ? flagZ : 0);
    }
    cpu.cycleBalance -= cost;
}

} // namespace

HandlerEntry selectMultiply(u32 index) {
    // Key: bit 0 S, bit 1 accumulate, bit 2 signed, bit 3 long (opcode bits 20-23).
    static constexpr auto handlers = stampArmHandlers<16>([]<u32 key>() -> InstructionHandler {
        constexpr bool setFlags = key & 1, accumulate = key & 2, isSigned = key & 4;
        if constexpr (key & 8) {
            return armMultiplyLong<isSigned, accumulate, setFlags>;
        } else if constexpr (!isSigned) {
            return armMultiply<accumulate, setFlags>;
        } else {
            return armUndefined; // never classified as a multiply
        }
    });
    return handlers[index & 0xF];
}
