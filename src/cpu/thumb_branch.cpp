// THUMB branches: conditional B, B, the two independent halves of BL, and SWI.
#include "cpu/conditions.h"
#include "cpu/exceptions.h"
#include "cpu/poll_loops.h"
#include "cpu/thumb_common.h"
#include "cpu/thumb_handlers.h"
#include "cpu/thumb_table.h"

namespace {

constexpr u32 conditionHi = 8;

// Target of B<cond>: the instruction address + 4 + offset8 x 2.
u32 conditionalTarget(u32 opcode) {
    s32 offset = static_cast<s8>(opcode & 0xFF);
    return programCounter() + 2 + static_cast<u32>(offset * 2);
}

template <u32 condition>
void thumbConditionalBranch(u32 opcode) {
    noteThumbLoopBranch(opcode, programCounter() - 2);
    bool taken = conditionPasses<condition>(gba.cpu.cpsr);
    if constexpr (condition == conditionHi) {
        // Deliberately unlike the console: BHI costs exactly one cycle, taken or not.
        if (taken) {
            thumbBranchTo(conditionalTarget(opcode), 1);
        } else {
            chargeCycles(1);
        }
    } else {
        if (taken) {
            u32 target = conditionalTarget(opcode);
            thumbBranchTo(target, 1 + longRefillCycles16[target >> 24]);
        } else {
            chargeCycles(1 + longRefillCycles16[codeRegion()]);
        }
    }
}

// Sign-extended 11-bit offset field of B and BL.
s32 offset11(u32 opcode) {
    return static_cast<s32>(opcode << 21) >> 21;
}

// First half: LR = the instruction address + 4 + (offset << 12), the partial target.
void thumbLongBranchFirst(u32 opcode) {
    reg(14) = programCounter() + 2 + static_cast<u32>(offset11(opcode) * 4096);
    chargeCycles(accessCyclesS16[codeRegion()]);
}

// Second half: jumps relative to whatever LR holds, so it also works without a first half.
void thumbLongBranchSecond(u32 opcode) {
    u32 next = programCounter();
    u32 target = reg(14) + (opcode & 0x7FF) * 2;
    reg(14) = next | 1;
    thumbBranchTo(target, refillCycles16[target >> 24]);
}

} // namespace

void thumbBranch(u32 opcode) {
    noteThumbLoopBranch(opcode, programCounter() - 2);
    u32 target = programCounter() + 2 + static_cast<u32>(offset11(opcode) * 2);
    thumbBranchTo(target, longRefillCycles16[target >> 24]);
}

// Enters the boot image's handler at 0x08 with the comment byte; the entry costs one cycle.
void thumbSoftwareInterrupt(u32 opcode) {
    enterSoftwareInterrupt(opcode & 0xFF);
}

void thumbUndefined(u32) {
    chargeCycles(1024);
}

constinit const std::array<HandlerEntry, 14> thumbConditionalBranchHandlers =
    stampThumbHandlers<14>(
        []<u32 sub>() -> InstructionHandler { return &thumbConditionalBranch<sub>; });

constinit const std::array<HandlerEntry, 2> thumbLongBranchHandlers = {
    thumbEntry<thumbLongBranchFirst>, thumbEntry<thumbLongBranchSecond>};
