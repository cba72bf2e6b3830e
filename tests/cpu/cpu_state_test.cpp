#include <gtest/gtest.h>

#include "cpu/cpu_state.h"
#include "cpu/registers.h"
#include "machine/gba_system.h"
#include "support/test_support.h"

namespace {

class CpuStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetMachine();
    }
};

TEST_F(CpuStateTest, ResetEntersTheCartridgeAsTheBootProgramLeavesIt) {
    const CpuState& cpu = gba.cpu;
    for (u32 n = 0; n <= 12; ++n) {
        EXPECT_EQ(reg(n), 0u) << "R" << n;
    }
    EXPECT_EQ(reg(13), 0x03007F00u);
    EXPECT_EQ(reg(14), 0u);
    EXPECT_EQ(reg(15), 0x08000000u);
    EXPECT_EQ(cpu.cpsr, 0x1Fu); // System mode, IRQ and FIQ enabled, ARM state
    EXPECT_EQ(cpu.cpuMode, modeSystem);
    EXPECT_EQ(bankedRegister(modeSupervisor, 13), 0x03007FE0u);
    EXPECT_EQ(bankedRegister(modeSupervisor, 14), 0u);
    EXPECT_EQ(bankedRegister(modeIrq, 13), 0x03007FA0u);
    EXPECT_EQ(bankedRegister(modeIrq, 14), 0u);
    EXPECT_EQ(cpu.armState, 1u);
    EXPECT_EQ(cpu.cpuRunning, 1u);
    EXPECT_EQ(&spsrInView(gba.cpu), &cpu.spsrPlaceholder);

    // The start in the boot image: the ARM's reset state at the reset vector.
    startAtResetVector();
    EXPECT_EQ(cpu.cpsr, 0xD3u);
    EXPECT_EQ(reg(13), 0u);
    EXPECT_EQ(reg(15), 0u);
    EXPECT_EQ(bankedRegister(modeUser, 13), 0x03007F00u);
}

TEST_F(CpuStateTest, ResetKeepsWhatRanBeforeAsTheSupervisorReturnState) {
    gba.cpu.cpsr = 0x6000001F;
    gba.cpu.registers[15] = 0x08001234;
    resetMachine();
    EXPECT_EQ(gba.cpu.spsrSvc, 0x6000001Fu);
    EXPECT_EQ(gba.cpu.cpsr, 0x1Fu);
}

TEST_F(CpuStateTest, SwitchingToTheCurrentModeChangesNothing) {
    reg(13) = 0x1313;
    bankedRegister(modeIrq, 13) = 0x1213;
    switchMode(modeSystem);
    EXPECT_EQ(reg(13), 0x1313u);
    EXPECT_EQ(gba.cpu.cpsr, 0x1Fu);
}

TEST_F(CpuStateTest, ModesSeeTheirOwnBanks) {
    switchMode(modeSupervisor);
    reg(8) = 8;
    reg(13) = 0x1300;
    switchMode(modeFiq);
    EXPECT_EQ(gba.cpu.cpsr & 0x1F, modeFiq);
    reg(8) = 0xF8;
    reg(13) = 0xF13;
    switchMode(modeIrq);
    // R8-R12 point back at the shared copies, R13-R14 at the IRQ bank.
    EXPECT_EQ(reg(8), 8u);
    EXPECT_EQ(reg(13), 0x03007FA0u);
    EXPECT_EQ(&spsrInView(gba.cpu), &gba.cpu.spsrIrq);
    switchMode(modeSystem);
    EXPECT_EQ(reg(13), 0x03007F00u);
    EXPECT_EQ(&spsrInView(gba.cpu), &gba.cpu.spsrPlaceholder);
    switchMode(modeSupervisor);
    EXPECT_EQ(reg(13), 0x1300u);
    EXPECT_EQ(bankedRegister(modeFiq, 8), 0xF8u);
    EXPECT_EQ(bankedRegister(modeFiq, 13), 0xF13u);
}

TEST_F(CpuStateTest, UnsupportedModeIsLoggedAndKeepsTheView) {
    ScratchDirectory scratch;
    switchMode(modeIrq);
    gba.cpu.cpsr = 0x97; // as MSR leaves it before the call
    switchMode(0x17);
    EXPECT_EQ(readTextFile("DBUG.txt"), "\n!!!!!!!EMPTYMODE!!!!!!!!!");
    EXPECT_EQ(gba.cpu.cpuMode, 0x17u);
    EXPECT_EQ(gba.cpu.cpsr, 0x97u);
    EXPECT_EQ(reg(13), 0x03007FA0u);
    EXPECT_EQ(&spsrInView(gba.cpu), &gba.cpu.spsrIrq);

    // cpuMode now holds 0x17, so going back to IRQ mode does take effect and set the mode bits.
    switchMode(modeIrq);
    EXPECT_EQ(reg(13), 0x03007FA0u);
    EXPECT_EQ(gba.cpu.cpsr, 0x92u);
}

} // namespace
