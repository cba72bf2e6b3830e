#include "machine/scheduler.h"

#include "cpu/execution.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/timers.h"

SchedulerState scheduler;

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
    do {
        scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64);
        if (dma.active <= 3) {
            runDmaSlice();
        } else if (gba.cpu.cpuRunning) {
            runCpuSlice();
        }
        if (timers.anyOn) {
            stepTimers(currentCycleTime());
        }
    } while (scheduler.sliceBudget > 0);
    scheduler.totalCycles += cycles;
    scheduler.runCycles = 0;
}
