// ARM branches (B, BL, BX) and the software interrupt.
#include "cpu/arm_handlers.h"
#include "cpu/exceptions.h"
#include "cpu/poll_loops.h"

namespace {

// The 24-bit word offset, sign-extended and scaled to bytes.
s32 branchOffset(u32 opcode) {
    return static_cast<s32>(opcode << 8) >> 6;
}

void armBranch(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const s32 startBalance = cpu.cycleBalance;
    u32& pc = programCounter();
    noteArmLoopBranch(opcode, pc - 4);
    pc += 4; // the instruction address + 8
    cpu.cycleBalance -= accessCyclesS32[pc >> 24];
    armBranchTo(pc + static_cast<u32>(branchOffset(opcode)));
    chargeAtLeastOneCycle(startBalance);
}

void armBranchWithLink(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const s32 startBalance = cpu.cycleBalance;
    u32& pc = programCounter();
    cpu.cycleBalance -= accessCyclesS32[pc >> 24];
    reg(14) = pc; // the instruction after the BL
    pc += 4;
    armBranchTo(pc + static_cast<u32>(branchOffset(opcode)));
    chargeAtLeastOneCycle(startBalance);
}

// Bit 0 of the target chooses the instruction set. Only bit 0 is cleared, also when the
// target stays in ARM code with bit 1 set.
void armBranchExchange(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const s32 startBalance = cpu.cycleBalance;
    cpu.cycleBalance -= accessCyclesS32[programCounter() >> 24];
    const u32 target = reg(opcode & 15);
    if (target & 1) {
        cpu.cpsr |= flagT;
        setArmState(cpu, false);
    } else {
        cpu.cpsr &= 0xF00000DF; // T and the reserved bits 27-8 cleared
        setArmState(cpu, true);
    }
    armBranchTo(target & ~1u); // the 32-bit refill cost also when entering THUMB code
    chargeAtLeastOneCycle(startBalance);
}

// The entry costs one cycle, as in THUMB (see enterSoftwareInterrupt).
void armSoftwareInterrupt(u32 opcode) {
    enterSoftwareInterrupt(opcode & 0xFF);
}

} // namespace

HandlerEntry selectBranch(u32 index) {
    return (index & 0x10) ? armEntry<armBranchWithLink> : armEntry<armBranch>;
}

HandlerEntry selectBranchExchange(u32) {
    return armEntry<armBranchExchange>;
}

HandlerEntry selectSoftwareInterrupt(u32) {
    return armEntry<armSoftwareInterrupt>;
}
