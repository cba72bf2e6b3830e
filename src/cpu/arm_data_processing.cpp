// ARM data processing: sixteen operations, each with a register or an immediate second
// operand and with or without S.
#include "cpu/alu.h"
#include "cpu/arm_handlers.h"
#include "cpu/shifter.h"

namespace {

// The forms of the second operand, chosen by the handler table: Rm shifted by an immediate
// amount (0-3, by shift type), Rm shifted by Rs (4-7), the rotated immediate, and 0.
constexpr u32 formRegisterShift = 4;
constexpr u32 formImmediate = 8;
// Bits 7 and 4 both set are the multiply and halfword encodings; where such a slot still holds
// a data-processing handler its operand is 0.
constexpr u32 formZero = 9;

// Shift amount in the low byte of Rs. The extra internal cycle makes R15 read one more word
// ahead (the instruction address + 12); the calling handler puts R15 back.
template <u32 form, bool setsCarry>
u32 secondOperand(u32 opcode) {
    if constexpr (form == formImmediate) {
        const u32 rotation = (opcode >> 7) & 0x1E;
        const u32 value = rotateRight(opcode & 0xFF, rotation);
        if constexpr (setsCarry) {
            // A rotated immediate is a shifter result too: C takes its bit 31. An unrotated one
            // leaves C as it was.
            if (rotation != 0) {
                setFlagC(value >> 31);
            }
        }
        return value;
    } else if constexpr (form == formZero) {
        return 0;
    } else if constexpr (form >= formRegisterShift) {
        programCounter() += 4;
        gba.cpu.cycleBalance -= 1;
        const u32 amount = reg((opcode >> 8) & 15) & 0xFF;
        return shiftByRegister<form - formRegisterShift, setsCarry>(reg(opcode & 15), amount);
    } else {
        return immediateShiftedRegister<form, setsCarry>(opcode);
    }
}

constexpr u32 opAnd = 0, opEor = 1, opSub = 2, opRsb = 3, opAdd = 4, opAdc = 5, opSbc = 6,
              opRsc = 7, opTst = 8, opTeq = 9, opCmp = 10, opCmn = 11, opOrr = 12, opMov = 13,
              opBic = 14, opMvn = 15;

constexpr bool isComparison(u32 operation) {
    return operation >= opTst && operation <= opCmn;
}

constexpr bool isLogical(u32 operation) {
    return operation == opAnd || operation == opEor || operation == opTst || operation == opTeq ||
           operation >= opOrr;
}

// The result of one operation; the S forms set the flags here. Logical operations set only
// N and Z: their C comes from the shifter.
template <u32 operation, bool setFlags>
u32 operate(u32 a, u32 b) {
    if constexpr (isLogical(operation)) {
        u32 result;
        if constexpr (operation == opAnd || operation == opTst) {
            result = a & b;
        } else if constexpr (operation == opEor || operation == opTeq) {
            result = a ^ b;
        } else if constexpr (operation == opOrr) {
            result = a | b;
        } else if constexpr (operation == opMov) {
            result = b;
        } else if constexpr (operation == opBic) {
            result = a & ~b;
        } else {
            result = ~b;
        }
        if constexpr (setFlags) {
            setFlagsNZ(result);
        }
        return result;
    } else if constexpr (setFlags) {
        if constexpr (operation == opSub || operation == opCmp) {
            return subWithFlags(a, b);
        } else if constexpr (operation == opRsb) {
            return subWithFlags(b, a);
        } else if constexpr (operation == opAdd || operation == opCmn) {
            return addWithFlags(a, b);
        } else if constexpr (operation == opAdc) {
            return addWithFlags(a, b, carryBit());
        } else if constexpr (operation == opSbc) {
            return subWithFlags(a, b, carryBit());
        } else {
            return subWithFlags(b, a, carryBit());
        }
    } else {
        if constexpr (operation == opSub) {
            return a - b;
        } else if constexpr (operation == opRsb) {
            return b - a;
        } else if constexpr (operation == opAdd) {
            return a + b;
        } else if constexpr (operation == opAdc) {
            return a + b + carryBit();
        } else if constexpr (operation == opSbc) {
            return a + ~b + carryBit();
        } else {
            return b + ~a + carryBit();
        }
    }
}

// A result written to R15 is a jump; with S the SPSR returns to the CPSR.
template <bool setFlags>
void writeResultToPc(u32 result, s32 startBalance) {
    armBranchTo(result);
    if constexpr (setFlags) {
        restoreCpsrFromSpsr();
    }
    chargeAtLeastOneCycle(startBalance);
}

template <u32 operation, bool setFlags, u32 operandForm>
void armDataProcessing(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const s32 startBalance = cpu.cycleBalance;
    u32& pc = programCounter();
    const u32 nextInstruction = pc;
    pc = nextInstruction + 4; // R15 as an operand reads as the instruction address + 8

    // Only the logical S forms take the shifter's carry into C.
    const u32 operand2 = secondOperand < operandForm, setFlags && isLogical(operation) > (opcode);
    cpu.cycleBalance -= accessCyclesS32[pc >> 24];

    u32 operand1 = 0;
    if constexpr (operation != opMov && operation != opMvn) {
        operand1 = reg((opcode >> 16) & 15);
    }
    const u32 result = operate<operation, setFlags>(operand1, operand2);

    if constexpr (isComparison(operation)) {
        pc = nextInstruction;
    } else {
        const u32 rd = (opcode >> 12) & 15;
        if (rd != 15) {
            reg(rd) = result;
            pc = nextInstruction;
            return;
        }
        if constexpr (setFlags) {
            outOfLine<writeResultToPc<true>>(result, startBalance);
        } else {
            writeResultToPc<false>(result, startBalance);
        }
    }
}

} // namespace

HandlerEntry selectDataProcessing(u32 index) {
    // Key: bit 0 = S, bits 1-4 = operation, bit 5 = immediate operand (opcode bits 20-25),
    // bits 6-9 = opcode bits 4-7 (the shift of a register operand).
    static constexpr auto handlers = stampArmHandlers<1024>([]<u32 key>() -> InstructionHandler {
        constexpr u32 operation = (key >> 1) & 15;
        // The comparisons exist only with S: their other slots hold the PSR transfers.
        constexpr bool setFlags = (key & 1) || isComparison(operation);
        constexpr u32 shift = key >> 6;
        constexpr u32 form = (key & 32)         ? formImmediate
                             : (shift & 9) == 9 ? formZero
                             : (shift & 1)      ? formRegisterShift + ((shift >> 1) & 3)
                                                : (shift >> 1) & 3;
        return armDataProcessing<operation, setFlags, form>;
    });
    return handlers[(index & 0x3F) | ((index >> 8) << 6)];
}
