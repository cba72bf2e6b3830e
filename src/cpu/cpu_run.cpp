#include "cpu/cpu_run.h"

#include "cpu/conditions.h"
#include "cpu/dispatch.h"
#include "cpu/interrupts.h"

#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/timers.h"
#include <utility>

s16 sliceBudget;
u32 totalCycles;

namespace {
// Argument of the cpuRun call in progress.
u16 runCycles;
} // namespace

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

void runArm() {
    CpuState& cpu = gba.cpu;
    while (cpu.cycleBalance > 0 && cpu.armState) {
        u32 pc = cpu.userBank[15];
        cpu.currentOpcode = busRead32(pc);
        cpu.userBank[15] = pc + 4;
        conditionHandlers[cpu.currentOpcode >> 28]();
    }
}

void runThumb() {
    CpuState& cpu = gba.cpu;
    while (cpu.cycleBalance > 0 && !cpu.armState) {
        u32 pc = cpu.userBank[15];
        cpu.currentOpcode = busRead16(pc);
        cpu.userBank[15] = pc + 2;
        thumbHandlers[thumbIndex(cpu.currentOpcode)]();
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
    if (irqEntryDue) {
        takeDueInterrupt();
    }
}

u32 currentCycleTime() {
    return totalCycles + static_cast<u32>(runCycles - sliceBudget);
}

void cpuRun(u16 cycles) {
    runCycles = cycles;
    sliceBudget = static_cast<s16>(sliceBudget + cycles);
    if (sliceBudget <= 0) {
        // This time was already spent by an earlier overrun.
        totalCycles += cycles;
        runCycles = 0;
        return;
    }
    CpuState& cpu = gba.cpu;
    do {
        sliceBudget = static_cast<s16>(sliceBudget - 64);
        if (activeDma <= 3) {
            runDmaSlice();
        } else if (cpu.cpuRunning) {
            cpu.cycleBalance += 64;
            while (cpu.cycleBalance > 0) {
                if (cpu.armState) {
                    runArm();
                } else {
                    runThumb();
                }
                if (irqEntryDue) {
                    takeDueInterrupt();
                }
            }
        }
        if (anyTimerOn) {
            stepTimers(currentCycleTime());
        }
    } while (sliceBudget > 0);
    totalCycles += cycles;
    runCycles = 0;
}
