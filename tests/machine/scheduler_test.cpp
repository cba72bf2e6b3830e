#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "cpu/execution.h"
#include "cpu/registers.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/scheduler.h"
#include "support/test_support.h"

namespace {

constexpr u32 ramCode = 0x03000100;

class CpuRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetMachine();
        scheduler.sliceBudget = 0;
        scheduler.totalCycles = 0;
        gba.cpu.userBank[15] = ramCode;
    }

    static void place(std::initializer_list<u32> code) {
        u32 address = ramCode;
        for (u32 word : code) {
            busWrite32(address, word);
            address += 4;
        }
    }

    // Cost of the next instruction when run by itself.
    static s32 stepCost() {
        gba.cpu.cycleBalance = 500;
        executeOneInstruction();
        return 500 - gba.cpu.cycleBalance;
    }
};

TEST_F(CpuRunTest, ConditionsCostNothingOneOrTheInstruction) {
    place({0xF1A00000,   // condition 15
           0x03A00001,   // moveq r0, #1 with Z clear: fails
           0xEE000000,   // coprocessor space: undefined
           0x13A00002}); // movne r0, #2: passes
    EXPECT_EQ(stepCost(), 0);
    EXPECT_EQ(stepCost(), 1);
    EXPECT_EQ(stepCost(), 64);
    EXPECT_EQ(reg(0), 0u);
    EXPECT_EQ(stepCost(), 0); // internal RAM costs nothing
    EXPECT_EQ(reg(0), 2u);
    EXPECT_EQ(reg(15), ramCode + 16);
}

TEST_F(CpuRunTest, OwedTimeRunsNothingButStillCounts) {
    place({0xE2800001}); // add r0, r0, #1
    scheduler.sliceBudget = -100;
    cpuRun(60);
    EXPECT_EQ(scheduler.sliceBudget, -40);
    EXPECT_EQ(scheduler.totalCycles, 60u);
    EXPECT_EQ(reg(15), ramCode);
}

TEST_F(CpuRunTest, SlicesOf64AndTheRemainderCarries) {
    // A loop of undefined instructions: exactly one per slice of 64.
    for (u32 i = 0; i < 8; ++i) {
        busWrite32(ramCode + 4 * i, 0xEE000000);
    }
    cpuRun(100);
    EXPECT_EQ(scheduler.sliceBudget, 100 - 128);
    EXPECT_EQ(scheduler.totalCycles, 100u);
    EXPECT_EQ(reg(15), ramCode + 8);
    EXPECT_EQ(gba.cpu.cycleBalance, 0);
    cpuRun(28); // pays back the overrun only
    EXPECT_EQ(reg(15), ramCode + 8);
    cpuRun(1);
    EXPECT_EQ(reg(15), ramCode + 12);
}

TEST_F(CpuRunTest, AnOverdrawnBalanceCarriesIntoTheNextSlice) {
    place({0x03A00001,   // fails: 1 cycle
           0xEE000000,   // undefined: 64, overdraws to -1
           0x03A00001}); // fails: 1 cycle, in the next slice
    cpuRun(64);
    EXPECT_EQ(gba.cpu.cycleBalance, -1);
    EXPECT_EQ(reg(15), ramCode + 8);
    cpuRun(1);
    EXPECT_EQ(reg(15), ramCode + 12 + 4 * 62);
}

// Internal RAM costs nothing per access; without the one-cycle floor for jumps a branch to
// itself there would never use up its slice and cpuRun would not return.
TEST_F(CpuRunTest, ABranchToItselfInInternalRamStillLetsCpuRunReturn) {
    place({0xEAFFFFFE}); // b .
    cpuRun(956);
    EXPECT_EQ(reg(15), ramCode);
    EXPECT_EQ(scheduler.totalCycles, 956u);
    EXPECT_LE(gba.cpu.cycleBalance, 0);
    EXPECT_EQ(stepCost(), 1);
}

using CpuRunDeathTest = CpuRunTest;

// A boot image whose vector 0x08 holds a software interrupt enters it again and again. Frames
// must still end, so the entry has to cost time. The run happens in a child process under an
// alarm, so that a regression fails here instead of hanging the suite.
TEST_F(CpuRunDeathTest, ABootImageOfSoftwareInterruptsStillLetsCpuRunReturn) {
    const u32 swiZero = 0xEF000000;
    for (u32 offset = 0; offset < biosSize; offset += 4) {
        std::memcpy(gba.BiosRom + offset, &swiZero, 4);
    }
    place({swiZero, 0xEAFFFFFE}); // swi 0; b .
    EXPECT_EXIT(
        {
            alarm(10);
            cpuRun(956);
            cpuRun(271);
            bool inTheLoop = reg(15) == 8 && gba.cpu.cpuMode == modeSupervisor;
            std::exit(inTheLoop && scheduler.totalCycles == 956 + 271 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
