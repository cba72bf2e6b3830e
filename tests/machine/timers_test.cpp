#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "cpu/execution.h"
#include "cpu/registers.h"

#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "machine/timers.h"
#include "sound/fifo.h"
#include "support/test_support.h"

namespace {

class TimersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetDma();
        resetTimers();
        gba.cpu.cpsr = 0x80; // IRQs masked: flags only, no exception entry
    }

    static u16 counter(u32 n) { return ioRegister(0x100 + 4 * n); }
};

TEST_F(TimersTest, PrescalerZeroOverflowCarriesTheRestAndRequestsItsInterrupt) {
    ioRegister(io::IME) = 1;
    ioRegister(io::IE) = 0x08;
    busWrite16(0x04000100, 0xFFC0);
    busWrite16(0x04000102, 0x00C0);
    EXPECT_EQ(timers.anyOn, 0x80);
    stepTimers(0);
    EXPECT_EQ(counter(0), 0xFFC0); // wrapped to 0, then reloaded
    EXPECT_EQ(ioRegister(io::IF), 0x08);

    busWrite16(0x04000100, 0xFFF0); // reload and count at once
    EXPECT_EQ(counter(0), 0xFFF0);
    stepTimers(0);
    EXPECT_EQ(counter(0), 0x0020); // 0x30 went past the wrap, then the reload 0xFFF0
}

TEST_F(TimersTest, PrescalerRates) {
    busWrite16(0x04000104, 0);
    busWrite16(0x04000106, 0x0081); // 1 per slice
    busWrite16(0x04000108, 0);
    busWrite16(0x0400010A, 0x0082); // 1 per 4 slices
    busWrite16(0x0400010C, 0x0010);
    busWrite16(0x0400010E, 0x0083); // 1 per 16 slices
    for (int slice = 0; slice < 15; ++slice) {
        stepTimers(0);
    }
    EXPECT_EQ(counter(1), 15);
    EXPECT_EQ(counter(2), 3);
    EXPECT_EQ(counter(3), 0x10);
    stepTimers(0);
    EXPECT_EQ(counter(3), 0x11);
}

TEST_F(TimersTest, CountUpFollowsTheTimerBefore) {
    busWrite16(0x04000100, 0xFFC0);
    busWrite16(0x04000102, 0x0080); // overflows every slice
    busWrite16(0x04000106, 0x0084); // count-up, prescaler 0: +64 per overflow
    stepTimers(0);
    stepTimers(0);
    EXPECT_EQ(counter(1), 128);

    // Timer 2 behind a disabled timer 1 never counts; timer 0 in count-up never counts.
    busWrite16(0x04000106, 0x0000);
    busWrite16(0x0400010A, 0x0084);
    stepTimers(0);
    EXPECT_EQ(counter(2), 0);
    busWrite16(0x04000102, 0x0084);
    stepTimers(0);
    EXPECT_EQ(counter(0), 0xFFC0);
}

TEST_F(TimersTest, EnablingKeepsCountAndPrescaler) {
    busWrite16(0x04000100, 0x1234);
    busWrite16(0x04000102, 0x0083);
    for (int slice = 0; slice < 10; ++slice) {
        stepTimers(0);
    }
    busWrite16(0x04000102, 0x0003); // off
    EXPECT_EQ(timers.anyOn, 0);
    busWrite16(0x04000102, 0x0083); // on again: no reload, prescaler kept
    for (int slice = 0; slice < 6; ++slice) {
        stepTimers(0);
    }
    EXPECT_EQ(counter(0), 0x1235);
}

TEST_F(TimersTest, InterruptRulesAndWakingFromHalt) {
    busWrite16(0x04000100, 0xFFFF);
    busWrite16(0x04000102, 0x00C1);
    gba.cpu.cpuRunning = 0;

    ioRegister(io::IME) = 1;
    stepTimers(0); // IE bit clear: recorded, but no wake
    EXPECT_EQ(ioRegister(io::IF), 0x08);
    EXPECT_EQ(gba.cpu.cpuRunning, 0u);

    ioRegister(io::IF) = 0;
    ioRegister(io::IME) = 0;
    ioRegister(io::IE) = 0x08;
    stepTimers(0); // IME off: recorded and wakes
    EXPECT_EQ(ioRegister(io::IF), 0x08);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);

    ioRegister(io::IME) = 1;
    stepTimers(0); // CPSR.I keeps the exception out
    EXPECT_EQ(gba.cpu.cpuMode, 0u);
}

TEST_F(TimersTest, HaltedCpuStillLetsTimersRunInTheScheduler) {
    resetMachine();
    gba.cpu.cpuRunning = 0;
    busWrite16(0x04000100, 0);
    busWrite16(0x04000102, 0x0080);
    scheduler.sliceBudget = 0;
    cpuRun(640);
    EXPECT_EQ(counter(0), 640);
}

// cpuRun as it runs every slice one by one: the reference for the halted fast path.
void cpuRunSliceBySlice(u16 cycles) {
    scheduler.runCycles = cycles;
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget + cycles);
    while (scheduler.sliceBudget > 0) {
        scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64);
        if (dma.active <= 3) {
            runDmaSlice();
        } else if (gba.cpu.cpuRunning) {
            runCpuSlice();
        }
        if (timers.anyOn) {
            stepTimers(currentCycleTime());
        }
    }
    scheduler.totalCycles += cycles;
    scheduler.runCycles = 0;
}

// While the CPU is halted the scheduler passes the slices before the next overflow at once.
// Random timer set-ups (prescalers, count-up chains, counts near the wrap, prescale counts left
// from a larger prescaler, interrupts that wake the CPU) must end every cpuRun call in the
// state that running the slices one by one gives.
TEST_F(TimersTest, HaltedSlicesPassedAtOnceMatchSliceBySlice) {
    std::mt19937 random(1616);
    for (int trial = 0; trial < 300; ++trial) {
        SetUp();
        resetMachine();
        gba.cpu.cpsr = 0x80;
        ioRegister(io::IME) = random() & 1;
        ioRegister(io::IE) = random() & 0x78;
        for (u32 n = 0; n < 4; ++n) {
            busWrite16(0x04000100 + 4 * n, 0xFF00 | (random() & 0xFF));
            busWrite16(0x04000102 + 4 * n, random() & 0xC7);
            timers.prescale[n] = random() % 20;
            ioRegister(0x100 + 4 * n) =
                static_cast<u16>(random() % 3 ? 0xF000 | random() : random());
        }
        gba.cpu.cpuRunning = 0;
        scheduler.sliceBudget = static_cast<s16>(-(random() % 80));
        std::vector<u16> calls;
        for (int i = 0; i < 12; ++i) {
            calls.push_back(static_cast<u16>(1 + random() % 1300));
        }

        // What the slices touch: I/O (counters, IF), the CPU, the timers and the scheduler.
        std::vector<u16> startIo(gba.IoRegisters, gba.IoRegisters + std::size(gba.IoRegisters));
        const CpuState startCpu = gba.cpu;
        const TimerState startTimers = timers;
        const SchedulerState startScheduler = scheduler;
        std::vector<std::vector<u16>> fast, reference;
        for (u16 cycles : calls) {
            cpuRun(cycles);
            fast.push_back({gba.IoRegisters, gba.IoRegisters + 0x110 / 2});
            fast.back().insert(fast.back().end(), timers.prescale, timers.prescale + 4);
            fast.back().push_back(static_cast<u16>(scheduler.sliceBudget));
            fast.back().push_back(gba.cpu.cpuRunning);
        }
        std::copy(startIo.begin(), startIo.end(), gba.IoRegisters);
        gba.cpu = startCpu;
        timers = startTimers;
        scheduler = startScheduler;
        for (u16 cycles : calls) {
            cpuRunSliceBySlice(cycles);
            reference.push_back({gba.IoRegisters, gba.IoRegisters + 0x110 / 2});
            reference.back().insert(reference.back().end(), timers.prescale, timers.prescale + 4);
            reference.back().push_back(static_cast<u16>(scheduler.sliceBudget));
            reference.back().push_back(gba.cpu.cpuRunning);
        }
        ASSERT_EQ(fast, reference) << "trial " << trial;
    }
}

// With no DMA and no timer running, the CPU runs the slices of a call as one batch. Random
// programs in work RAM start sound (which takes the slice's time, by STRH and by SWPB, which
// pays before it writes), start DMA, start and stop a timer and halt, between instructions of
// varied cost: after every call the machine must stand where running the slices one by one
// leaves it.
TEST_F(TimersTest, SlicesRunAsOneBatchMatchSliceBySlice) {
    constexpr u32 code = 0x02000100;
    const u32 filler[] = {0xE2844001,  // add r4, r4, #1
                          0xE0070494,  // mul r7, r4, r4
                          0xE59C5000}; // ldr r5, [r12]
    const std::vector<u32> events[] = {
        {0xE1C028B4, 0xE1C038B4}, // strh r2, [r0, #0x84]; strh r3, [r0, #0x84]: sound restarts
        {0xE580A0DC},             // str r10, [r0, #0xDC]: DMA 3 now
        {0xE1C9B0B2},             // strh r11, [r9, #2]: timer 0 on
        {0xE1C920B2},             // strh r2, [r9, #2]: timer 0 off
        {0xE5C02301},             // strb r2, [r0, #0x301]: halt
        {0xE1C028B4, 0xE1415093}, // strh r2, [r0, #0x84]; swpb r5, r3, [r1]: sound restarts
    };
    std::mt19937 random(2024);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<u32> program;
        for (int i = 0; i < 80; ++i) {
            if (random() % 6) {
                program.push_back(filler[random() % 3]);
            } else {
                const std::vector<u32>& event = events[random() % 6];
                program.insert(program.end(), event.begin(), event.end());
            }
        }
        program.push_back(0xEAFFFFFE); // b .
        const u16 reload = static_cast<u16>(0xFE00 | (random() & 0x1FF));
        const s16 owed = static_cast<s16>(-(random() % 80));
        std::vector<u16> calls;
        for (int i = 0; i < 16; ++i) {
            calls.push_back(static_cast<u16>(1 + random() % 1300));
        }

        auto run = [&](void (*runner)(u16)) {
            SetUp();
            resetMachine();
            for (u32 i = 0; i < program.size(); ++i) {
                busWrite32(code + 4 * i, program[i]);
            }
            const u32 registers[16] = {0x04000000, 0x04000084, 0,          0x80, 0,         0, 0, 0,
                                       0,          0x04000100, 0x84000010, 0xC0, 0x02010000};
            for (u32 n = 0; n < 13; ++n) {
                reg(n) = registers[n];
            }
            gba.cpu.registers[15] = code;
            gba.cpu.cpsr = 0x9F; // System mode, IRQs masked: the timer only wakes the CPU
            gba.cpu.cycleBalance = 0;
            busWrite32(0x040000D4, 0x02010000);
            busWrite32(0x040000D8, 0x02011000);
            busWrite16(0x04000100, reload);
            ioRegister(io::IME) = 1;
            ioRegister(io::IE) = 0x08;
            soundFifos[0].sampleClock = 0;
            scheduler.sliceBudget = owed;
            scheduler.totalCycles = 0;
            std::vector<std::vector<u32>> states;
            for (u16 cycles : calls) {
                runner(cycles);
                states.push_back({gba.cpu.registers[15], reg(4), reg(5), gba.cpu.cpsr,
                                  static_cast<u32>(gba.cpu.cycleBalance), gba.cpu.cpuRunning,
                                  static_cast<u32>(scheduler.sliceBudget), scheduler.totalCycles,
                                  dma.active, counter(0), ioRegister(io::IF),
                                  soundFifos[0].sampleClock});
            }
            return states;
        };
        const auto batched = run(cpuRun);
        const auto reference = run(cpuRunSliceBySlice);
        for (u32 i = 0; i < calls.size(); ++i) {
            ASSERT_EQ(batched[i], reference[i]) << "trial " << trial << ", after call " << i;
        }
    }
}

} // namespace
