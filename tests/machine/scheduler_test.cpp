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

// The slice loop charges the remaining turns of a branch to itself at once; the balance and
// state must be what executing the turns one by one gives, in every instruction set, region
// and condition, and from any balance the slice starts with.
TEST_F(CpuRunTest, ABranchToItselfEndsTheSliceAsSteppingItWould) {
    struct Loop {
        bool thumb;
        u32 code;
        bool zero; // Z before the run: decides the conditional forms
    };
    const Loop loops[] = {{false, 0xEAFFFFFE, false}, // b .
                          {false, 0x0AFFFFFE, true},  // beq . taken
                          {false, 0x0AFFFFFE, false}, // beq . not taken: runs on
                          {true, 0xE7FE, false},      // b .
                          {true, 0xD0FE, true},       // beq . taken
                          {true, 0xD1FE, true}};      // bne . not taken
    for (u32 address : {0x03000100u, 0x02000100u, 0x08000100u}) {
        for (const Loop& loop : loops) {
            for (s32 start : {-70, -3, 0, 1, 40}) {
                SCOPED_TRACE(testing::Message() << std::hex << address << " " << loop.code
                                                << std::dec << " from " << start);
                auto prepare = [&] {
                    SetUp();
                    // After the loop, code that counts in R0, so running on shows:
                    // add r0, r0, #1 or, two to a word, adds r0, #1.
                    const u32 counting = loop.thumb ? 0x30013001 : 0xE2800001;
                    u8* at = address >> 24 == 8 ? gba.GamePakRom + (address & 0xFFFFFF) : nullptr;
                    for (u32 i = 0; i < 16; ++i) {
                        u32 word = i > 0        ? counting
                                   : loop.thumb ? (counting & 0xFFFF0000) | loop.code
                                                : loop.code;
                        if (at) {
                            std::memcpy(at + 4 * i, &word, 4);
                        } else {
                            busWrite32(address + 4 * i, word);
                        }
                    }
                    gba.cpu.userBank[15] = address;
                    gba.cpu.armState = !loop.thumb;
                    gba.cpu.cpsr = (loop.thumb ? flagT : 0) | (loop.zero ? flagZ : 0) | 0x1F;
                    gba.cpu.cycleBalance = start;
                };
                prepare();
                runCpuSlice();
                const s32 sliceBalance = gba.cpu.cycleBalance;
                const u32 slicePc = gba.cpu.userBank[15], sliceR0 = reg(0);

                prepare();
                gba.cpu.cycleBalance += 64;
                while (gba.cpu.cycleBalance > 0) {
                    executeOneInstruction();
                }
                EXPECT_EQ(sliceBalance, gba.cpu.cycleBalance);
                EXPECT_EQ(slicePc, gba.cpu.userBank[15]);
                EXPECT_EQ(sliceR0, reg(0));
            }
        }
    }
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
