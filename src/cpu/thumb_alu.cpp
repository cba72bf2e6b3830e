// THUMB register operations: shifts by an immediate, ADD/SUB, the 8-bit immediate forms, the
// sixteen ALU operations, the high-register operations with BX, and the address arithmetic
// on PC and SP.
#include "cpu/alu.h"
#include "cpu/multiplier.h"
#include "cpu/shifter.h"
#include "cpu/thumb_common.h"
#include "cpu/thumb_handlers.h"

namespace {

// Cost of an ordinary THUMB instruction: one sequential 16-bit fetch of its own region.
u32 fetchCost() {
    return accessCyclesS16[codeRegion()];
}

u32 lowRegister(u32 opcode, u32 shift) {
    return (opcode >> shift) & 7;
}

// --- Shift by immediate: LSL, LSR, ASR Rd, Rs, #n (n = 0 means no shift, LSR #32, ASR #32)

template <u32 type, u32 amount>
void thumbShiftImmediate(u32 opcode) {
    u32 value = shiftByImmediate<type, true>(lowReg(lowRegister(opcode, 3)), amount);
    lowReg(lowRegister(opcode, 0)) = value;
    setFlagsNZ(value);
    chargeCycles(fetchCost());
}

// --- ADD / SUB Rd, Rs, Rn or #imm3

template <bool immediate, bool subtract, u32 operandField>
void thumbAddSubtract(u32 opcode) {
    u32 operand;
    if constexpr (immediate) {
        operand = operandField;
    } else {
        operand = lowReg(operandField);
    }
    u32 source = lowReg(lowRegister(opcode, 3));
    u32 result = subtract ? subWithFlags(source, operand) : addWithFlags(source, operand);
    lowReg(lowRegister(opcode, 0)) = result;
    chargeCycles(fetchCost());
}

// --- MOV, CMP, ADD, SUB Rd, #imm8

constexpr u32 immediateMove = 0;
constexpr u32 immediateCompare = 1;
constexpr u32 immediateAdd = 2;

template <u32 op, u32 rd>
void thumbImmediate(u32 opcode) {
    u32 immediate = opcode & 0xFF;
    u32& target = lowReg(rd);
    if constexpr (op == immediateMove) {
        target = immediate;
        setFlagsNZ(immediate); // an 8-bit value always clears N
    } else if constexpr (op == immediateCompare) {
        subWithFlags(target, immediate);
    } else if constexpr (op == immediateAdd) {
        target = addWithFlags(target, immediate);
    } else {
        target = subWithFlags(target, immediate);
    }
    chargeCycles(fetchCost());
}

// --- ALU operations Rd, Rs

enum AluOp : u32 {
    aluAnd,
    aluEor,
    aluLsl,
    aluLsr,
    aluAsr,
    aluAdc,
    aluSbc,
    aluRor,
    aluTst,
    aluNeg,
    aluCmp,
    aluCmn,
    aluOrr,
    aluMul,
    aluBic,
    aluMvn,
};

template <u32 op>
void thumbAlu(u32 opcode) {
    u32& rd = lowReg(lowRegister(opcode, 0));
    u32 rs = lowReg(lowRegister(opcode, 3));
    u32 cost = fetchCost();
    if constexpr (op == aluAnd || op == aluEor || op == aluOrr || op == aluBic || op == aluMvn ||
                  op == aluTst) {
        u32 result;
        if constexpr (op == aluAnd || op == aluTst) {
            result = rd & rs;
        } else if constexpr (op == aluEor) {
            result = rd ^ rs;
        } else if constexpr (op == aluOrr) {
            result = rd | rs;
        } else if constexpr (op == aluBic) {
            result = rd & ~rs;
        } else {
            result = ~rs;
        }
        setFlagsNZ(result);
        if constexpr (op != aluTst) {
            rd = result;
        }
    } else if constexpr (op == aluLsl || op == aluLsr || op == aluAsr || op == aluRor) {
        constexpr u32 type = op == aluLsl   ? shiftLsl
                             : op == aluLsr ? shiftLsr
                             : op == aluAsr ? shiftAsr
                                            : shiftRor;
        rd = shiftByRegister<type, true>(rd, rs & 0xFF);
        setFlagsNZ(rd);
        cost += 1;
    } else if constexpr (op == aluAdc) {
        rd = addWithFlags(rd, rs, carryBit());
    } else if constexpr (op == aluSbc) {
        rd = subWithFlags(rd, rs, carryBit());
    } else if constexpr (op == aluNeg) {
        // Deliberately unlike the console: V is always cleared, also for 0 - 0x80000000.
        u32 result = 0 - rs;
        gba.cpu.cpsr &= ~flagV;
        setFlagsNZ(result);
        setFlagC(rs == 0);
        rd = result;
    } else if constexpr (op == aluCmp) {
        subWithFlags(rd, rs);
    } else if constexpr (op == aluCmn) {
        addWithFlags(rd, rs);
    } else {
        static_assert(op == aluMul);
        // The multiplier time is taken from Rs, the source operand.
        cost += signedMultiplierCycles(rs);
        rd = rs * rd;
        setFlagsNZ(rd);
    }
    chargeCycles(cost);
}

// --- High-register operations and BX. H1 adds 8 to the destination (bits 2-0), H2 to the
// source (bits 5-3). R15 reads as the instruction address + 4.

template <u32 h1>
u32 highDestination(u32 opcode) {
    return (opcode & 7) | (h1 << 3);
}

template <u32 h2>
u32 highSource(u32 opcode) {
    return ((opcode >> 3) & 7) | (h2 << 3);
}

template <u32 h1, u32 h2>
void thumbHighAdd(u32 opcode) {
    u32 cost = fetchCost();
    u32 rd = highDestination<h1>(opcode);
    u32& pc = programCounter();
    pc = (pc + 2) & ~1u;
    u32 sum = reg(rd) + reg(highSource<h2>(opcode));
    if constexpr (h1 == 1) {
        if (rd == 15) {
            // The sum is taken as it is: bit 0 is not cleared.
            thumbBranchTo(sum, cost + refillCycles16[sum >> 24]);
            return;
        }
    }
    reg(rd) = sum;
    pc -= 2;
    chargeCycles(cost);
}

template <u32 h1, u32 h2>
void thumbHighCompare(u32 opcode) {
    u32& pc = programCounter();
    u32 cost = fetchCost();
    pc += 2;
    subWithFlags(reg(highDestination<h1>(opcode)), reg(highSource<h2>(opcode)));
    pc -= 2;
    chargeCycles(cost);
}

template <u32 h1, u32 h2>
void thumbHighMove(u32 opcode) {
    u32& pc = programCounter();
    u32 cost = fetchCost();
    pc += 2;
    u32 value = reg(highSource<h2>(opcode));
    pc -= 2;
    u32 rd = highDestination<h1>(opcode);
    if constexpr (h1 == 1) {
        if (rd == 15) {
            u32 target = value & ~1u;
            thumbBranchTo(target, cost + refillCycles16[target >> 24]);
            return;
        }
    }
    reg(rd) = value;
    if constexpr (h1 == 1 && h2 == 0) {
        // MOV Hd, Rs pays the refill even when it does not write R15.
        cost += refillCycles16[codeRegion()];
    }
    chargeCycles(cost);
}

template <u32 h2>
void thumbBranchExchange(u32 opcode) {
    CpuState& cpu = gba.cpu;
    u32& pc = programCounter();
    u32 cost = fetchCost();
    pc += 2;
    u32 target = reg(highSource<h2>(opcode));
    pc -= 2;
    if (target & 1) {
        cpu.cpsr |= flagT;
        setArmState(cpu, false);
        target &= ~1u;
    } else {
        cpu.cpsr &= ~flagT;
        setArmState(cpu, true);
        target &= ~3u;
    }
    // The 16-bit refill is charged also when the target is ARM code.
    thumbBranchTo(target, cost + refillCycles16[target >> 24]);
}

template <u32 sub>
constexpr InstructionHandler highRegisterHandler() {
    constexpr u32 op = sub >> 2, h1 = (sub >> 1) & 1, h2 = sub & 1;
    if constexpr (op == 3) {
        // BX with H1 set is unassigned on this processor.
        return h1 == 0 ? &thumbBranchExchange<h2> : nullptr;
    } else if constexpr (h1 == 0 && h2 == 0) {
        return nullptr;
    } else if constexpr (op == 0) {
        return &thumbHighAdd<h1, h2>;
    } else if constexpr (op == 1) {
        return &thumbHighCompare<h1, h2>;
    } else {
        return &thumbHighMove<h1, h2>;
    }
}

// --- ADD Rd, PC / SP, #imm8 x 4 and ADD / SUB SP, #imm7 x 4

template <bool fromSp, u32 rd>
void thumbLoadAddress(u32 opcode) {
    u32 offset = (opcode & 0xFF) * 4;
    if constexpr (fromSp) {
        lowReg(rd) = reg(13) + offset;
    } else {
        // The word-aligned instruction address + 4.
        lowReg(rd) = ((programCounter() + 2) & ~2u) + offset;
    }
    chargeCycles(fetchCost());
}

template <bool subtract>
void thumbAdjustStack(u32 opcode) {
    u32 offset = (opcode & 0x7F) * 4;
    u32& sp = reg(13);
    sp = subtract ? sp - offset : sp + offset;
    chargeCycles(fetchCost());
}

} // namespace

constinit const std::array<HandlerEntry, 96> thumbShiftImmediateHandlers = stampThumbHandlers<96>(
    []<u32 sub>() -> InstructionHandler { return &thumbShiftImmediate<sub / 32, sub % 32>; });

constinit const std::array<HandlerEntry, 32> thumbAddSubtractHandlers =
    stampThumbHandlers<32>([]<u32 sub>() -> InstructionHandler {
        return &thumbAddSubtract<(sub >> 4) != 0, ((sub >> 3) & 1) != 0, sub & 7>;
    });

constinit const std::array<HandlerEntry, 32> thumbImmediateHandlers = stampThumbHandlers<32>(
    []<u32 sub>() -> InstructionHandler { return &thumbImmediate<sub / 8, sub % 8>; });

constinit const std::array<HandlerEntry, 16> thumbAluHandlers =
    stampThumbHandlers<16>([]<u32 sub>() -> InstructionHandler { return &thumbAlu<sub>; });

constinit const std::array<HandlerEntry, 16> thumbHighRegisterHandlers =
    stampThumbHandlers<16>([]<u32 sub>() { return highRegisterHandler<sub>(); });

constinit const std::array<HandlerEntry, 16> thumbLoadAddressHandlers = stampThumbHandlers<16>(
    []<u32 sub>() -> InstructionHandler { return &thumbLoadAddress<(sub >> 3) != 0, sub % 8>; });

constinit const std::array<HandlerEntry, 2> thumbAdjustStackHandlers = stampThumbHandlers<2>(
    []<u32 sub>() -> InstructionHandler { return &thumbAdjustStack<sub != 0>; });
