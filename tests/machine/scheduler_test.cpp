#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <random>
#include <vector>

#include "cpu/execution.h"
#include "cpu/poll_loops.h"
#include "cpu/registers.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "machine/timers.h"
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
        gba.cpu.registers[15] = ramCode;
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

// cpuRun with every instruction executed by itself: the reference for the loops the slices
// charge by arithmetic.
void cpuRunStepByStep(u16 cycles) {
    scheduler.runCycles = cycles;
    scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget + cycles);
    while (scheduler.sliceBudget > 0) {
        scheduler.sliceBudget = static_cast<s16>(scheduler.sliceBudget - 64);
        if (gba.cpu.cpuRunning) {
            gba.cpu.cycleBalance += 64;
            while (gba.cpu.cycleBalance > 0) {
                executeOneInstruction();
            }
        }
        if (timers.anyOn) {
            stepTimers(currentCycleTime());
        }
    }
    scheduler.totalCycles += cycles;
    scheduler.runCycles = 0;
}

// Poll loops on VCOUNT, on DISPSTAT as a word and on a flag in internal RAM, and branches to
// themselves, in both instruction sets and in three regions, with the polled values changing
// between scheduler calls and a timer interrupt now and then: after every call the CPU must stand
// where executing every instruction by itself leaves it, to the cycle.
TEST_F(CpuRunTest, IdleLoopsAcrossCallsRunAsSteppingThemWould) {
    struct Program {
        bool thumb;
        std::vector<u32> code; // words or halfwords from the loop's load on
    };
    const Program programs[] = {
        // 1: ldrh r1, [r0, #6]; cmp r1, #3; bne 1b; add r2, r2, #1; b 1b
        {false, {0xE1D010B6, 0xE3510003, 0x1AFFFFFC, 0xE2822001, 0xEAFFFFFA}},
        // 1: ldr r1, [r0, #4]; tst r1, #0x30000 (VCOUNT 3 in the high half); beq 1b; ...
        {false, {0xE5901004, 0xE3110803, 0x0AFFFFFC, 0xE2822001, 0xEAFFFFFA}},
        // 1: ldrb r1, [r3]; teq r1, #1; bne 1b; ...
        {false, {0xE5D31000, 0xE3310001, 0x1AFFFFFC, 0xE2822001, 0xEAFFFFFA}},
        // 1: ldrh r1, [r0, #6]; cmp r1, #3; bne 1b; adds r2, #1; b 1b
        {true, {0x88C1, 0x2903, 0xD1FC, 0x3201, 0xE7F9}},
        // 1: ldr r1, [r3, #0]; cmp r1, #1; bne 1b; ...
        {true, {0x6819, 0x2901, 0xD1FC, 0x3201, 0xE7F9}},
        // b . and bne . (taken: Z is clear) in both sets: left only for the timer interrupt
        {false, {0xEAFFFFFE}},
        {false, {0x1AFFFFFE}},
        {true, {0xE7FE}},
        {true, {0xD1FE}},
    };
    std::mt19937 random(7);
    for (u32 address : {0x03000100u, 0x02000100u, 0x08000100u}) {
        for (const Program& program : programs) {
            for (int trial = 0; trial < 4; ++trial) {
                SCOPED_TRACE(testing::Message() << std::hex << address << " " << program.code[0]
                                                << std::dec << " trial " << trial);
                const bool interrupts = trial & 1;
                std::vector<u16> calls;
                for (int i = 0; i < 24; ++i) {
                    calls.push_back(static_cast<u16>(1 + random() % 1232));
                }
                auto prepare = [&] {
                    SetUp();
                    const u32 unit = program.thumb ? 2 : 4;
                    for (u32 i = 0; i < program.code.size(); ++i) {
                        if (address >> 24 == 8) {
                            std::memcpy(gba.GamePakRom + (address & 0xFFFFFF) + unit * i,
                                        &program.code[i], unit);
                        } else if (program.thumb) {
                            busWrite16(address + unit * i, program.code[i]);
                        } else {
                            busWrite32(address + unit * i, program.code[i]);
                        }
                    }
                    reg(0) = 0x04000000;
                    reg(3) = 0x03000010;
                    gba.cpu.registers[15] = address;
                    gba.cpu.armState = !program.thumb;
                    gba.cpu.cpsr = (program.thumb ? flagT : 0) | 0x1F | (interrupts ? 0 : flagI);
                    gba.cpu.cycleBalance = 0;
                    if (interrupts) {
                        // Timer 0 overflows every 1024 cycles and asks for its interrupt.
                        ioRegister(io::IME) = 1;
                        ioRegister(io::IE) = 0x08;
                        busWrite16(0x04000100, 0xFC00);
                        busWrite16(0x04000102, 0x00C0);
                    }
                };
                bool armedOnce = false;
                auto run = [&](void (*runner)(u16)) {
                    prepare();
                    std::vector<std::vector<u32>> states;
                    for (u32 i = 0; i < calls.size(); ++i) {
                        // What the loops poll changes between calls only.
                        ioRegister(io::VCOUNT) = static_cast<u16>(i % 5);
                        busWrite8(0x03000010, (i / 3) & 1);
                        runner(calls[i]);
                        armedOnce |= executionNotes.pollLoop.armed;
                        states.push_back({gba.cpu.registers[15], reg(1), reg(2), gba.cpu.cpsr,
                                          static_cast<u32>(gba.cpu.cycleBalance),
                                          static_cast<u32>(scheduler.sliceBudget)});
                    }
                    return states;
                };
                const auto charged = run(cpuRun);
                // Equal results alone would not show a loop that is never armed (right, but
                // slow). With the timer interrupt a call may always end outside the loop.
                EXPECT_TRUE(armedOnce || interrupts);
                const auto stepped = run(cpuRunStepByStep);
                for (u32 i = 0; i < calls.size(); ++i) {
                    ASSERT_EQ(charged[i], stepped[i]) << "after call " << i;
                }
            }
        }
    }
}

// The mask test of the branch handlers must let every loop branch through, or its loop would
// run instruction by instruction.
TEST(LoopBranchTest, TheQuickTestPassesEveryLoopBranch) {
    for (u32 opcode = 0; opcode <= 0xFFFF; ++opcode) {
        if (isThumbSelfBranch(opcode) || isThumbPollBranch(opcode)) {
            EXPECT_TRUE(mayCloseThumbLoop(opcode)) << std::hex << opcode;
        }
    }
    for (u32 condition = 0; condition < 16; ++condition) {
        for (u32 offset = 0xFFFFF0; offset <= 0xFFFFFF; ++offset) {
            const u32 opcode = condition << 28 | 0x0A000000 | offset;
            if (isArmSelfBranch(opcode) || isArmPollBranch(opcode)) {
                EXPECT_TRUE(mayCloseArmLoop(opcode)) << std::hex << opcode;
            }
        }
    }
    EXPECT_FALSE(mayCloseArmLoop(0xEAFFFFFA) || mayCloseThumbLoop(0xE7F9));
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
