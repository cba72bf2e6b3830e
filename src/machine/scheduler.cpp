#include "machine/scheduler.h"

#include <algorithm>

#include "cpu/execution.h"
#include "cpu/poll_loops.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/timers.h"

SchedulerState scheduler;

namespace {

// The cycles of the batch's slices after the one under way; 0 outside a batch, where the
// balance never exceeds one slice.
s32 laterSliceCycles() {
    const s32 balance = gba.cpu.cycleBalance;
    return balance > 64 ? (balance - 1) / 64 * 64 : 0;
}

} // namespace

u32 currentCycleTime() {
    return scheduler.totalCycles +
           static_cast<u32>(scheduler.runCycles - scheduler.sliceBudget - laterSliceCycles());
}

u32 cpuCyclesIntoSlice() {
    if (!gba.cpu.insideRun) {
        return 0;
    }
    const s32 left = gba.cpu.cycleBalance - laterSliceCycles();
    return static_cast<u32>(std::clamp(64 - left, 0, 64));
}

void endSliceBatch() {
    const s32 later = laterSliceCycles();
    gba.cpu.cycleBalance -= later;
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget + later);
}

namespace {

// While no DMA channel runs and the CPU is halted, or turns in an armed poll loop, a slice does
// nothing but charge the loop's turns and the timer pass, and a pass that overflows no timer
// only moves the counters: the slices of this call before the next overflow are done at once.
// The slice of the overflow runs as usual, with its time. The turns of several slices charged
// at once end where slice by slice would: each slice runs turns until its balance is spent,
// and the next goes on from there.
bool slicesQuiet() {
    const CpuState& cpu = gba.cpu;
    return dma.active > 3 && (!cpu.cpuRunning || pollLoopHoldsCpu(cpu.registers[15], cpu.armState));
}

void skipQuietSlices() {
    const u32 left = (static_cast<u32>(scheduler.sliceBudget) + 63) / 64;
    const u32 quiet = timers.anyOn ? std::min(quietTimerSlices(), left) : left;
    if (quiet == 0) {
        return;
    }
    if (gba.cpu.cpuRunning) {
        gba.cpu.cycleBalance += 64 * static_cast<s32>(quiet);
        spinPollLoop();
    }
    if (timers.anyOn) {
        advanceTimersQuietly(quiet);
    }
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64 * static_cast<s32>(quiet));
}

} // namespace

void cpuRun(u16 cycles) {
    // What a poll loop reads may have changed since the last call (the scanline, the keys).
    disarmPollLoop();
    scheduler.runCycles = cycles;
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget + cycles);
    if (scheduler.sliceBudget <= 0) {
        // This time was already spent by an earlier overrun.
        scheduler.totalCycles += cycles;
        scheduler.runCycles = 0;
        return;
    }
    do {
        if (slicesQuiet()) {
            skipQuietSlices();
            if (scheduler.sliceBudget <= 0) {
                break;
            }
        }
        if (dma.active <= 3) {
            scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64);
            disarmPollLoop(); // the transfer may write what a poll loop reads
            runDmaSlice();
        } else if (gba.cpu.cpuRunning) {
            // With a timer on, the pass after each slice has to see it end.
            const s32 slices = timers.anyOn ? 1 : (scheduler.sliceBudget + 63) / 64;
            scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64 * slices);
            runCpuSlices(static_cast<u32>(slices));
        } else {
            scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64);
        }
        if (timers.anyOn) {
            stepTimers(currentCycleTime());
        }
    } while (scheduler.sliceBudget > 0);
    scheduler.totalCycles += cycles;
    scheduler.runCycles = 0;
}
