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
void conditionHandler(u32 opcode) {
    if (conditionPasses<condition>(gba.cpu.cpsr)) {
        armHandlers[armIndex(opcode)](opcode);
    } else {
        gba.cpu.cycleBalance -= 1;
    }
}

void alwaysHandler(u32 opcode) {
    armHandlers[armIndex(opcode)](opcode);
}

// Condition 15 does nothing and costs nothing.
void neverHandler(u32) {}

// A taken branch to itself, the idle loop of many programs, does the same thing on every turn
// until the slice runs out, and nothing else can happen inside a slice: its remaining turns
// are charged at once. BEFORE is the balance before the turn just run; only code fetched from
// plain memory (the window) qualifies, as a fetch through the bus may have side effects.
void spinOnSelfBranch(CpuState& cpu, s32 before) {
    s32 turn = before - cpu.cycleBalance;
    if (turn > 0 && cpu.cycleBalance > 0) {
        cpu.cycleBalance -= (cpu.cycleBalance + turn - 1) / turn * turn;
    }
}

constexpr bool isArmSelfBranch(u32 opcode) {
    return (opcode & 0x0FFFFFFF) == 0x0AFFFFFE;
}

// B and B<cond> with the offset -2 halfwords; 0xDEFE and 0xDFFE are not branches.
constexpr bool isThumbSelfBranch(u32 opcode) {
    return opcode == 0xE7FE || ((opcode & 0xF0FF) == 0xD0FE && opcode < 0xDEFE);
}

template <u32... conditions>
void fillConditions(std::integer_sequence<u32, conditions...>) {
    ((conditionHandlers[conditions] = conditionHandler<conditions>), ...);
}

// The fetch window lives as long as one run of the loop. The condition is tested here instead
// of by a call to its condition handler: AL, by far the most common, first, the others through
// a table of masks.
void runArm() {
    CpuState& cpu = gba.cpu;
    FetchWindow window;
    while (cpu.cycleBalance > 0 && cpu.armState) {
        u32 pc = cpu.userBank[15];
        u32 opcode = fetchArmInline(window, pc);
        cpu.userBank[15] = pc + 4;
        const s32 before = cpu.cycleBalance;
        const u32 condition = opcode >> 28;
        if (condition == 14 || ((conditionPassMasks[condition] >> (cpu.cpsr >> 28)) & 1)) {
            armHandlers[armIndex(opcode)](opcode);
        } else {
            // As the condition handlers: a failed condition costs one cycle, 15 none.
            cpu.cycleBalance -= condition != 15;
        }
        if (isArmSelfBranch(opcode) && cpu.userBank[15] == pc && window.holds(pc)) [[unlikely]] {
            spinOnSelfBranch(cpu, before);
        }
    }
}

void runThumb() {
    CpuState& cpu = gba.cpu;
    FetchWindow window;
    while (cpu.cycleBalance > 0 && !cpu.armState) {
        u32 pc = cpu.userBank[15];
        u32 opcode = fetchThumbInline(window, pc);
        cpu.userBank[15] = pc + 2;
        const s32 before = cpu.cycleBalance;
        thumbHandlers[thumbIndex(opcode)](opcode);
        if (isThumbSelfBranch(opcode) && cpu.userBank[15] == pc && window.holds(pc)) [[unlikely]] {
            spinOnSelfBranch(cpu, before);
        }
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
        const u32 opcode = busRead32(pc);
        cpu.userBank[15] = pc + 4;
        conditionHandlers[opcode >> 28](opcode);
    } else {
        const u32 opcode = busRead16(pc);
        cpu.userBank[15] = pc + 2;
        thumbHandlers[thumbIndex(opcode)](opcode);
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
