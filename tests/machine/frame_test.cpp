#include <gtest/gtest.h>

#include <cstring>

#include "common/run_state.h"
#include "common/settings.h"
#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/frame.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "platform/headless/headless_host.h"
#include "shell/debug_keys.h"
#include "support/gba_program.h"
#include "support/test_support.h"
#include "video/display_output.h"
#include "video/line_buffers.h"

namespace {

// Interrupts counted by the test boot image, one word per IF bit.
u32 interruptCount(u32 bit) {
    return resultWord(0x100 + 4 * bit);
}

class FrameDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetHeadlessHost();
        prepareProgram("idle_loop.gba", "irq_counter_bios.bin");
        settings.resolutionWidth = 640;
        settings.resolutionHeight = 480;
        settings.zoom = 1;
        allocateLineBuffers();
        ASSERT_EQ(initDisplay(), 1);
        runState.emulationRunning = 1;
        runState.framesRendered = 0;
        runState.clearAtFrame = 0;
        runState.screenshotRequested = 0;
    }
    void TearDown() override { releaseLineBuffers(); }

    static void setDispstat(u16 value) { ioRegister(io::DISPSTAT) = value; }
};

TEST_F(FrameDriverTest, AFrameRunsAllLinesAndLeavesTheVblankFlag) {
    runFrame(1);
    EXPECT_EQ(runState.framesRendered, 1u);
    EXPECT_EQ(ioRegister(io::VCOUNT), 228);
    EXPECT_EQ(ioRegister(io::DISPSTAT) & 7, 1); // VBlank stays set until the next frame
    EXPECT_EQ(scheduler.totalCycles, 228u * (956 + 271));
}

TEST_F(FrameDriverTest, DisplayInterruptsAreCountedPerLineAndFrame) {
    ioRegister(io::IE) = 0x0007;
    setDispstat(0x0038 | (100 << 8)); // VBlank, HBlank and V-counter interrupts at line 100
    runFrame(0);
    runFrame(0);
    EXPECT_EQ(interruptCount(0), 2u);   // VBlank
    EXPECT_EQ(interruptCount(1), 456u); // HBlank on every line, vertical blank included
    EXPECT_EQ(interruptCount(2), 2u);   // V-counter
}

TEST_F(FrameDriverTest, VcounterInterruptNeedsItsEnableBit) {
    ioRegister(io::IE) = 0x0003;
    setDispstat(0x0020 | (100 << 8));
    runFrame(0);
    EXPECT_EQ(interruptCount(2), 0u);
    EXPECT_EQ(ioRegister(io::IF) & 4, 4); // recorded all the same
}

TEST_F(FrameDriverTest, ForcedBlankFramesAreEmulatedButNotPresented) {
    ioRegister(io::DISPCNT) = 0x0080;
    u32 flipsBefore = headless.flips;
    runFrame(1);
    EXPECT_EQ(headless.flips, flipsBefore);
    ioRegister(io::DISPCNT) = 0x0000;
    runFrame(1);
    EXPECT_EQ(headless.flips, flipsBefore + 1);
    runFrame(0);
    EXPECT_EQ(headless.flips, flipsBefore + 1);
}

TEST_F(FrameDriverTest, StoppedEmulationOnlyCountsTheFrame) {
    runState.emulationRunning = 0;
    runFrame(1);
    EXPECT_EQ(runState.framesRendered, 1u);
    EXPECT_EQ(scheduler.totalCycles, 0u);
}

TEST_F(FrameDriverTest, HblankDmaRunsOnceForEachVisibleLine) {
    busWrite32(0x02000000, 0x00000001);
    busWrite32(0x040000D4, 0x02000000); // source fixed, destination moving on
    busWrite32(0x040000D8, 0x02000100);
    busWrite16(0x040000DC, 1);
    busWrite16(0x040000DE, 0x8000 | dmacnt::repeat | dmacnt::word | (2 << 12) | (2 << 7));
    ASSERT_EQ(dma.hblankChannel, 3);
    runFrame(0);
    for (u32 line = 0; line < 160; ++line) {
        ASSERT_EQ(busRead32(0x02000100 + 4 * line), 1u) << line;
    }
    EXPECT_EQ(busRead32(0x02000100 + 4 * 160), 0u); // none in the vertical blank
}

TEST_F(FrameDriverTest, VblankDmaStartsAtTheVerticalBlank) {
    busWrite32(0x02000000, 0xCAFE);
    busWrite32(0x040000D4, 0x02000000);
    busWrite32(0x040000D8, 0x02000200);
    busWrite16(0x040000DC, 1);
    busWrite16(0x040000DE, 0x8000 | dmacnt::word | (1 << 12));
    runFrame(0);
    EXPECT_EQ(busRead32(0x02000200), 0xCAFEu);
    EXPECT_EQ(ioRegister(dmaControlOffset(3)) & 0x8000, 0); // not repeating: ended
}

TEST_F(FrameDriverTest, ScreenRefreshThirtyFramesAfterReactivation) {
    ioRegister(io::DISPCNT) = 0;
    buttonState[7] = 0x80;
    runState.clearAtFrame = 1;
    for (int frame = 0; frame < 30; ++frame) {
        runFrame(0);
    }
    EXPECT_EQ(runState.clearAtFrame, 1u);
    u32 clears = headless.screenClears;
    runFrame(0);
    EXPECT_EQ(runState.clearAtFrame, 0u);
    EXPECT_EQ(headless.screenClears, clears + 1);
    EXPECT_EQ(buttonState[7], 0);
}

TEST_F(FrameDriverTest, KeypadEnableWakesAHaltedCpuAtTheInputPollLine) {
    gba.cpu.cpuRunning = 0;
    runFrame(0);
    EXPECT_EQ(gba.cpu.cpuRunning, 0u); // nothing wakes it without the keypad enable bit

    ioRegister(io::IE) = 0x1000;
    runFrame(0);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);
    EXPECT_EQ(ioRegister(io::IF) & 0x1000, 0); // woken without an interrupt flag
}

} // namespace
