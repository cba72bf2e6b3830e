#include "cpu/cpu_run.h"

#include "cpu/conditions.h"
#include "cpu/dispatch.h"
#include "cpu/interrupts.h"

#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/timers.h"
#include <utility>

SchedulerState scheduler;

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
    if (gba.cpu.irqEntryDue) {
        takeDueInterrupt();
    }
}

u32 currentCycleTime() {
    return scheduler.totalCycles + static_cast<u32>(scheduler.runCycles - scheduler.sliceBudget);
}

void cpuRun(u16 cycles) {
    scheduler.runCycles = cycles;
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget + cycles);
    if (scheduler.sliceBudget <= 0) {
        // This time was already spent by an earlier overrun.
        scheduler.totalCycles += cycles;
        scheduler.runCycles = 0;
        return;
    }
    CpuState& cpu = gba.cpu;
    do {
        scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64);
        if (dma.active <= 3) {
            runDmaSlice();
        } else if (cpu.cpuRunning) {
            cpu.cycleBalance += 64;
            while (cpu.cycleBalance > 0) {
                if (cpu.armState) {
                    runArm();
                } else {
                    runThumb();
                }
                if (gba.cpu.irqEntryDue) {
                    takeDueInterrupt();
                }
            }
        }
        if (timers.anyOn) {
            stepTimers(currentCycleTime());
        }
    } while (scheduler.sliceBudget > 0);
    scheduler.totalCycles += cycles;
    scheduler.runCycles = 0;
}
