#include <gtest/gtest.h>

#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "support/test_support.h"

namespace {

class DmaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetDma();
        gba.cpu.cpuRunning = 0; // keep the CPU out of the slices
        scheduler.sliceBudget = 0;
    }

    static void program(u32 c, u32 source, u32 dest, u32 count, u32 control) {
        busWrite32(0x040000B0 + 12 * c, source);
        busWrite32(0x040000B4 + 12 * c, dest);
        busWrite16(0x040000B8 + 12 * c, count);
        busWrite16(0x040000BA + 12 * c, control);
    }

    static u32 controlOf(u32 c) { return ioRegister(dmaControlOffset(c)); }
};

TEST_F(DmaTest, ImmediateWordCopyRunsInSlicesAndEnds) {
    for (u32 i = 0; i < 16; ++i) {
        busWrite32(0x02000000 + 4 * i, 0x1000 + i);
    }
    gba.cpu.cycleBalance = 64;
    program(3, 0x02000000, 0x06000000, 16, 0x8400);
    EXPECT_EQ(dma.active, 3);
    EXPECT_EQ(gba.cpu.cycleBalance, 0);       // the CPU slice ends early
    EXPECT_EQ(dma.channels[3].unitCost, 10u); // (2 + 1) x 2 + (1 x 2 + 2)

    runDmaSlice(); // 7 units, the seventh overdraws the budget
    EXPECT_EQ(dma.channels[3].unitsDone, 7);
    EXPECT_EQ(dma.budget32, -6);
    while (dma.active <= 3) {
        runDmaSlice();
    }
    for (u32 i = 0; i < 16; ++i) {
        EXPECT_EQ(busRead32(0x06000000 + 4 * i), 0x1000 + i) << i;
    }
    EXPECT_EQ(controlOf(3) & 0x8000, 0u); // enable cleared without repeat
    EXPECT_EQ(dma.active, noDmaChannel);
    EXPECT_EQ(scheduler.sliceBudget, 64); // the immediate start's refund
}

TEST_F(DmaTest, ZeroCountMeansTheChannelMaximum) {
    auto runToEnd = [] {
        for (u32 slices = 0; dma.active <= 3 && slices < 100000; ++slices) {
            runDmaSlice();
        }
    };
    program(3, 0x02000000, 0x02020000, 0, 0x8000);
    EXPECT_EQ(dma.channels[3].unitsDone, -0x10000);
    runToEnd();
    EXPECT_EQ(dma.active, noDmaChannel);
    EXPECT_EQ(dma.channels[3].internalDest, 0x02020000u + 2 * 0x10000);

    program(0, 0x02000000, 0x02020000, 0, 0x8000);
    EXPECT_EQ(dma.channels[0].unitsDone, -0x4000);
    runToEnd();
    EXPECT_EQ(dma.channels[0].internalDest, 0x02020000u + 2 * 0x4000);
}

TEST_F(DmaTest, OnlyTheLowestImmediateChannelRunsAfterAControlWrite) {
    program(3, 0x02000000, 0x02020000, 100, 0x8000 | dmacnt::repeat);
    program(0, 0x02000000, 0x02030000, 4, 0x8000);
    EXPECT_EQ(dma.active, 0);
    runDmaSlice();
    // Channel 3 was restarted but not marked pending, so nothing resumes it.
    EXPECT_EQ(dma.active, noDmaChannel);
    EXPECT_EQ(dma.channels[3].unitsDone, 0);
}

TEST_F(DmaTest, HalfwordCostsAndAddressSteps) {
    busWrite16(0x02000010, 0xAAAA);
    busWrite16(0x0200000E, 0xBBBB);
    // Source decrements, destination fixed.
    program(1, 0x02000010, 0x03000000, 2, 0x8000 | (1 << 7) | (2 << 5));
    EXPECT_EQ(dma.channels[1].unitCost, 2u + 0u + 2u);
    EXPECT_EQ(dma.channels[1].sourceStep, -2);
    EXPECT_EQ(dma.channels[1].destStep, 0);
    runDmaSlice();
    EXPECT_EQ(busRead16(0x03000000), 0xBBBBu);
    EXPECT_EQ(dma.channels[1].internalSource, 0x0200000Cu);
}

TEST_F(DmaTest, RepeatingImmediateChannelStaysEnabledAndRestartsOnAnyControlWrite) {
    program(2, 0x02000000, 0x02001000, 4, 0x8000 | dmacnt::repeat);
    while (dma.active <= 3) {
        runDmaSlice();
    }
    EXPECT_NE(controlOf(2) & 0x8000, 0u);
    busWrite16(0x040000BA, 0x0000); // a control write of channel 0
    EXPECT_EQ(dma.active, 2);
}

TEST_F(DmaTest, DestinationReloadAfterTheTransfer) {
    program(3, 0x02000000, 0x02001000, 4, 0x8000 | (3 << 5) | dmacnt::repeat | (2 << 12));
    dma.active = 3;
    startDmaChannel();
    while (dma.active <= 3) {
        runDmaSlice();
    }
    EXPECT_EQ(dma.channels[3].internalDest, 0x02001000u);
    EXPECT_EQ(dma.channels[3].internalSource, 0x02000008u);
}

TEST_F(DmaTest, TimedChannelSelection) {
    // A control write picks the lowest channel for each timing...
    program(2, 0, 0, 1, 0x8000 | (2 << 12));
    program(1, 0, 0, 1, 0x8000 | (2 << 12));
    program(3, 0, 0, 1, 0x8000 | (1 << 12));
    EXPECT_EQ(dma.hblankChannel, 1);
    EXPECT_EQ(dma.vblankChannel, 3);

    // ...while the rescan after a non-repeating channel ends picks the highest.
    program(0, 0x02000000, 0x02000100, 1, 0x8000);
    while (dma.active <= 3) {
        runDmaSlice();
    }
    EXPECT_EQ(dma.hblankChannel, 2);
    EXPECT_EQ(dma.vblankChannel, 3);
}

TEST_F(DmaTest, HblankStartOutranksARunningChannelWhichResumesAfterwards) {
    // Any control write restarts enabled immediate channels, so the HBlank channel is set up
    // before the immediate transfer starts.
    program(1, 0x02000000, 0x03000000, 4, 0x8000 | (2 << 12));
    program(3, 0x02000000, 0x02010000, 200, 0x8000);
    runDmaSlice();
    s32 doneBefore = dma.channels[3].unitsDone;
    ASSERT_GT(doneBefore, 0);
    ASSERT_EQ(dma.hblankChannel, 1);
    startTimedDma(dma.hblankChannel, 2);
    EXPECT_EQ(dma.active, 1);
    EXPECT_EQ(dma.channels[3].pending, 1);
    runDmaSlice();
    EXPECT_EQ(dma.active, 3); // resumed
    EXPECT_EQ(dma.channels[3].unitsDone, doneBefore);
    while (dma.active <= 3) {
        runDmaSlice();
    }
    EXPECT_EQ(static_cast<u32>(dma.channels[3].unitsDone), 200u);
}

TEST_F(DmaTest, CompletionInterruptWaitsForTheLastChannel) {
    ioRegister(io::IME) = 1;
    ioRegister(io::IE) = 0x0100 | 0x0800;
    gba.cpu.cpsr |= 0x80; // no IRQ entry, only the flags
    program(0, 0x02000000, 0x02000100, 2, 0x8000 | dmacnt::irqAtEnd);
    runDmaSlice();
    EXPECT_EQ(dma.active, noDmaChannel);
    EXPECT_EQ(ioRegister(io::IF), 0x0100);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);

    // Without IE the bit is recorded all the same, but a halted CPU sleeps on.
    ioRegister(io::IF) = 0;
    ioRegister(io::IE) = 0;
    gba.cpu.cpuRunning = 0;
    program(0, 0x02000000, 0x02000100, 2, 0x8000 | dmacnt::irqAtEnd);
    runDmaSlice();
    EXPECT_EQ(ioRegister(io::IF), 0x0100);
    EXPECT_EQ(gba.cpu.cpuRunning, 0u);
}

TEST_F(DmaTest, SoundFifoTransferMovesFourWordsToTheFifo) {
    for (u32 i = 0; i < 4; ++i) {
        busWrite32(0x02000000 + 4 * i, 0x04030201 + 0x04040404 * i);
    }
    program(1, 0x02000000, 0x040000A0, 0, 0x8000 | (3 << 12) | dmacnt::word | dmacnt::repeat);
    EXPECT_GT(dma.active, 3); // special timing starts nothing on its own
    soundFifoTransfer();
    EXPECT_EQ(dma.channels[1].internalSource, 0x02000010u);
}

TEST_F(DmaTest, AnAddressWriteReloadsOnlyItsOwnInternalAddress) {
    program(1, 0x02000000, 0x06000000, 4, 0x8000 | dmacnt::repeat | (2 << 12));
    dma.active = 1;
    startDmaChannel();
    runDmaSlice();
    ASSERT_EQ(dma.channels[1].internalDest, 0x06000008u);
    busWrite32(0x040000BC, 0x02001000); // source only
    EXPECT_EQ(dma.channels[1].internalSource, 0x02001000u);
    EXPECT_EQ(dma.channels[1].internalDest, 0x06000008u);
    busWrite16(0x040000C2, 0x0600); // destination high half only
    EXPECT_EQ(dma.channels[1].internalDest, 0x06000000u);
    EXPECT_EQ(dma.channels[1].internalSource, 0x02001000u);
}

} // namespace
