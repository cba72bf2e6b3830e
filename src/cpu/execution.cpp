#include "cpu/execution.h"

#include "cpu/conditions.h"
#include "cpu/dispatch.h"
#include "cpu/fetch.h"
#include "cpu/interrupts.h"

#include "machine/bus.h"
#include "machine/gba_system.h"
#include <utility>

InstructionHandler conditionHandlers[16];
InstructionHandler armHandlers[4096];
InstructionHandler thumbHandlers[1024];

namespace {

// A failed condition costs one cycle; R15 already points at the next instruction.
template <u32 condition>
void conditionHandler() {
    if (conditionPasses<condition>(gba.cpu.cpsr)) {
        armHandlers[armIndex(gba.cpu.currentOpcode)]();
    } else {
        gba.cpu.cycleBalance -= 1;
    }
}

void alwaysHandler() {
    armHandlers[armIndex(gba.cpu.currentOpcode)]();
}

// Condition 15 does nothing and costs nothing.
void neverHandler() {}

template <u32... conditions>
void fillConditions(std::integer_sequence<u32, conditions...>) {
    ((conditionHandlers[conditions] = conditionHandler<conditions>), ...);
}

// The fetch window lives as long as one run of the loop; the AL condition, by far the most
// common, is tested here instead of through its table entry.
void runArm() {
    CpuState& cpu = gba.cpu;
    FetchWindow window;
    while (cpu.cycleBalance > 0 && cpu.armState) {
        u32 pc = cpu.userBank[15];
        u32 opcode = fetchArmInline(window, pc);
        cpu.currentOpcode = opcode;
        cpu.userBank[15] = pc + 4;
        if (opcode >> 28 == 14) {
            armHandlers[armIndex(opcode)]();
        } else {
            conditionHandlers[opcode >> 28]();
        }
    }
}

void runThumb() {
    CpuState& cpu = gba.cpu;
    FetchWindow window;
    while (cpu.cycleBalance > 0 && !cpu.armState) {
        u32 pc = cpu.userBank[15];
        u32 opcode = fetchThumbInline(window, pc);
        cpu.currentOpcode = opcode;
        cpu.userBank[15] = pc + 2;
        thumbHandlers[thumbIndex(opcode)]();
    }
}

} // namespace

void fillConditionHandlers() {
    fillConditions(std::make_integer_sequence<u32, 14>{});
    conditionHandlers[14] = alwaysHandler;
    conditionHandlers[15] = neverHandler;
}

void buildHandlerTables() {
    fillArmHandlers();
    fillThumbHandlers();
    fillConditionHandlers();
}

void executeOneInstruction() {
    CpuState& cpu = gba.cpu;
    u32 pc = cpu.userBank[15];
    if (cpu.armState) {
        cpu.currentOpcode = busRead32(pc);
        cpu.userBank[15] = pc + 4;
        conditionHandlers[cpu.currentOpcode >> 28]();
    } else {
        cpu.currentOpcode = busRead16(pc);
        cpu.userBank[15] = pc + 2;
        thumbHandlers[thumbIndex(cpu.currentOpcode)]();
    }
    if (gba.cpu.irqEntryDue) {
        takeDueInterrupt();
    }
}

void runCpuSlice() {
    CpuState& cpu = gba.cpu;
    cpu.cycleBalance += 64;
    while (cpu.cycleBalance > 0) {
        if (cpu.armState) {
            runArm();
        } else {
            runThumb();
        }
        if (cpu.irqEntryDue) {
            takeDueInterrupt();
        }
    }
}
