// The barrel shifter, shared by the ARM operand routines and any handler that shifts. The
// shift type and whether the carry-out reaches CPSR.C are template parameters, so each caller
// gets its own copy with no test on them.
#pragma once

#include "cpu/alu.h"
#include "cpu/registers.h"

constexpr u32 shiftLsl = 0;
constexpr u32 shiftLsr = 1;
constexpr u32 shiftAsr = 2;
constexpr u32 shiftRor = 3;

inline u32 rotateRight(u32 value, u32 amount) {
    amount &= 31;
    return amount == 0 ? value : (value >> amount) | (value << (32 - amount));
}

// Shift by an amount of 0-31 taken from the instruction. An amount of 0 means LSL #0 (no
// shift), LSR #32, ASR #32 or RRX.
template <u32 type, bool setCarry>
u32 shiftByImmediate(u32 value, u32 amount) {
    if constexpr (type == shiftLsl) {
        if (amount == 0) {
            return value;
        }
        if constexpr (setCarry) {
            setFlagC((value >> (32 - amount)) & 1);
        }
        return value << amount;
    } else if constexpr (type == shiftLsr) {
        if (amount == 0) {
            if constexpr (setCarry) {
                setFlagC(value >> 31);
            }
            return 0;
        }
        if constexpr (setCarry) {
            setFlagC((value >> (amount - 1)) & 1);
        }
        return value >> amount;
    } else if constexpr (type == shiftAsr) {
        if (amount == 0) {
            if constexpr (setCarry) {
                setFlagC(value >> 31);
            }
            return static_cast<u32>(static_cast<s32>(value) >> 31);
        }
        if constexpr (setCarry) {
            setFlagC((value >> (amount - 1)) & 1);
        }
        return static_cast<u32>(static_cast<s32>(value) >> amount);
    } else {
        if (amount == 0) {
            // RRX: the old carry enters at bit 31.
            u32 result = (carryBit() << 31) | (value >> 1);
            if constexpr (setCarry) {
                setFlagC(value & 1);
            }
            return result;
        }
        if constexpr (setCarry) {
            setFlagC((value >> (amount - 1)) & 1);
        }
        return rotateRight(value, amount);
    }
}

// Shift by a register amount (its low byte, 0-255): 0 leaves value and carry alone, and
// amounts of 32 and more follow the ARM7TDMI's rules for each type.
template <u32 type, bool setCarry>
u32 shiftByRegister(u32 value, u32 amount) {
    if (amount == 0) {
        return value;
    }
    if constexpr (type == shiftLsl) {
        if (amount < 32) {
            if constexpr (setCarry) {
                setFlagC((value >> (32 - amount)) & 1);
            }
            return value << amount;
        }
        if constexpr (setCarry) {
            setFlagC(amount == 32 ? (value & 1) : 0);
        }
        return 0;
    } else if constexpr (type == shiftLsr) {
        if (amount < 32) {
            if constexpr (setCarry) {
                setFlagC((value >> (amount - 1)) & 1);
            }
            return value >> amount;
        }
        if constexpr (setCarry) {
            setFlagC(amount == 32 ? (value >> 31) : 0);
        }
        return 0;
    } else if constexpr (type == shiftAsr) {
        if (amount < 32) {
            if constexpr (setCarry) {
                setFlagC((value >> (amount - 1)) & 1);
            }
            return static_cast<u32>(static_cast<s32>(value) >> amount);
        }
        if constexpr (setCarry) {
            setFlagC(value >> 31);
        }
        return static_cast<u32>(static_cast<s32>(value) >> 31);
    } else {
        u32 rotation = amount & 31;
        if constexpr (setCarry) {
            setFlagC(rotation == 0 ? (value >> 31) : ((value >> (rotation - 1)) & 1));
        }
        return rotateRight(value, rotation);
    }
}

// Rm shifted by the amount in bits 11-7: the register operand of data processing and the
// register offset of single transfers.
template <u32 type, bool setCarry>
u32 immediateShiftedRegister(u32 opcode) {
    return shiftByImmediate<type, setCarry>(reg(opcode & 15), (opcode >> 7) & 31);
}
