// Private to the ARM handler families: the steps they share and the selectors through which
// cpu/arm_table.cpp picks the handler of each armHandlers slot. A selector takes the slot
// index (bits 0-7 = opcode bits 20-27, bits 8-11 = opcode bits 4-7) and returns the handler
// stamped out for the bits that select behaviour in that family.
#pragma once

#include <array>

#include "cpu/dispatch.h"
#include "cpu/interrupts.h"
#include "cpu/registers.h"
#include "machine/wait_states.h"

// The jumps of the ARM handlers (branches, data processing and loads into R15) take this step:
// the address is taken as computed (never aligned, the instruction set stays) and the refill
// at it is charged.
inline void armBranchTo(u32 address) {
    programCounter() = address;
    gba.cpu.cycleBalance -= refillCycles32[address >> 24];
}

// Internal RAM and the I/O block cost nothing per access, so an instruction that jumps within
// them could cost nothing and a loop of it would never use up its slice. An instruction that
// writes R15 is charged at least one cycle in all: called last, with the balance it started
// from.
inline void chargeAtLeastOneCycle(s32 startBalance) {
    if (gba.cpu.cycleBalance >= startBalance) {
        gba.cpu.cycleBalance = startBalance - 1;
    }
}

// The SPSR restore of the S forms that write R15 (data processing, LDM with R15): User and
// System mode have no SPSR, so there nothing happens. A restored CPSR with I clear may let a
// pending interrupt through.
inline void restoreCpsrFromSpsr() {
    CpuState& cpu = gba.cpu;
    if (cpu.cpuMode == modeUser || cpu.cpuMode == modeSystem) {
        return;
    }
    cpu.cpsr = spsrInView(cpu);
    switchMode(cpu.cpsr & 0x1F);
    setArmState(cpu, (cpu.cpsr & flagT) == 0);
    serviceInterrupt();
}

// Unassigned encodings never trap on this machine: they only take 64 cycles.
void armUndefined(u32 opcode);

HandlerEntry selectDataProcessing(u32 index);    // arm_data_processing.cpp
HandlerEntry selectPsrTransfer(u32 index);       // arm_psr_transfer.cpp
HandlerEntry selectNoOperation(u32 index);       // arm_psr_transfer.cpp
HandlerEntry selectSingleTransfer(u32 index);    // arm_load_store.cpp
HandlerEntry selectHalfwordTransfer(u32 index);  // arm_load_store.cpp
HandlerEntry selectSwap(u32 index);              // arm_load_store.cpp
HandlerEntry selectBlockTransfer(u32 index);     // arm_block_transfer.cpp
HandlerEntry selectMultiply(u32 index);          // arm_multiply.cpp
HandlerEntry selectBranch(u32 index);            // arm_branch.cpp
HandlerEntry selectBranchExchange(u32 index);    // arm_branch.cpp
HandlerEntry selectSoftwareInterrupt(u32 index); // arm_branch.cpp
