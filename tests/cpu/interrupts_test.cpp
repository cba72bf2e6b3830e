#include <gtest/gtest.h>

#include "cpu/execution.h"
#include "cpu/interrupts.h"
#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "support/gba_program.h"
#include "support/test_support.h"

namespace {

class InterruptsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetMachine();
        gba.cpu.cpsr &= ~flagI;
        ioRegister(io::IME) = 1;
    }
};

TEST_F(InterruptsTest, IfRecordsEveryRequestAndOnlyIeAndIfWake) {
    gba.cpu.cpuRunning = 0;
    ioRegister(io::IME) = 0;
    ioRegister(io::IE) = irq::hblank;
    requestInterrupt(irq::vblank);
    EXPECT_EQ(ioRegister(io::IF), irq::vblank);
    EXPECT_EQ(gba.cpu.cpuRunning, 0u); // IE AND IF is 0

    requestInterrupt(irq::hblank);
    EXPECT_EQ(ioRegister(io::IF), irq::vblank | irq::hblank);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u); // woken with IME off
    EXPECT_EQ(gba.cpu.registers[15], 0x08000000u);
}

TEST_F(InterruptsTest, MaskedIrqRecordsAndWakesWithoutEntering) {
    gba.cpu.cpsr |= flagI;
    gba.cpu.cpuRunning = 0;
    ioRegister(io::IE) = irq::timer0;
    requestInterrupt(irq::timer0);
    EXPECT_EQ(ioRegister(io::IF), irq::timer0);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);
    EXPECT_EQ(gba.cpu.cpuMode, modeSystem);

    // Once CPSR.I is cleared, the pending request is entered.
    gba.cpu.cpsr &= ~flagI;
    serviceInterrupt();
    EXPECT_EQ(gba.cpu.cpuMode, modeIrq);
}

TEST_F(InterruptsTest, EntryFromThumbSavesStateAndReturnAddress) {
    gba.cpu.cpsr |= flagT;
    gba.cpu.armState = 0;
    gba.cpu.registers[15] = 0x08000102; // next THUMB instruction
    u32 cpsrBefore = gba.cpu.cpsr;
    ioRegister(io::IE) = irq::vblank;
    requestInterrupt(irq::vblank);
    EXPECT_EQ(gba.cpu.spsrIrq, cpsrBefore);
    EXPECT_EQ(bankedRegister(modeIrq, 14), 0x08000106u); // SUBS PC, LR, #4 returns to 0x08000102
    EXPECT_EQ(gba.cpu.registers[15], 0x18u);
    EXPECT_EQ(gba.cpu.armState, 1u);
    EXPECT_EQ(gba.cpu.cpsr & 0xFF, (cpsrBefore & flagF) | flagI | modeIrq); // F is kept
    EXPECT_EQ(gba.cpu.registers[14], 0x08000106u);

    // A nested entry, from IRQ mode with CPSR.I cleared again, replaces the live R14_irq.
    gba.cpu.cpsr &= ~flagI;
    gba.cpu.registers[15] = 0x03000204;
    requestInterrupt(irq::vblank);
    EXPECT_EQ(gba.cpu.registers[14], 0x03000208u);
    EXPECT_EQ(gba.cpu.registers[15], 0x18u);
}

TEST_F(InterruptsTest, RequestsDuringDmaWaitForTheLastChannel) {
    ioRegister(io::IE) = irq::vcount;
    busWrite32(0x040000D4, 0x02000000);
    busWrite32(0x040000D8, 0x02001000);
    busWrite16(0x040000DC, 100);
    busWrite16(0x040000DE, 0x8000);
    ASSERT_EQ(dma.active, 3);
    requestInterrupt(irq::vcount);
    EXPECT_EQ(ioRegister(io::IF), 0);
    EXPECT_EQ(dma.deferredIrqMask, irq::vcount);
    while (dma.active <= 3) {
        runDmaSlice();
    }
    EXPECT_EQ(ioRegister(io::IF), irq::vcount);
    EXPECT_EQ(gba.cpu.cpuMode, modeIrq);
    EXPECT_EQ(dma.deferredIrqMask, 0);
}

TEST_F(InterruptsTest, IeOrImeWriteEntersAPendingRequestAfterTheStore) {
    // STR r1, [r0] and STRH r1, [r0] in internal RAM.
    for (const u32 opcode : {0xE5801000u, 0xE1C010B0u}) {
        SCOPED_TRACE(opcode);
        resetTestMachine();
        resetMachine();
        const bool ime = opcode == 0xE5801000u;
        ioRegister(io::IE) = ime ? irq::vblank : 0;
        ioRegister(io::IME) = ime ? 0 : 1;
        ioRegister(io::IF) = irq::vblank;
        gba.cpu.registers[0] = ime ? 0x04000208 : 0x04000200;
        gba.cpu.registers[1] = ime ? 1 : irq::vblank;
        busWrite32(0x03000100, opcode);
        gba.cpu.registers[15] = 0x03000100;
        executeOneInstruction();
        // Entered from within the store, R15 would have been moved on from the vector.
        EXPECT_EQ(gba.cpu.registers[15], 0x18u);
        EXPECT_EQ(bankedRegister(modeIrq, 14), 0x03000108u);
        EXPECT_EQ(gba.cpu.irqEntryDue, 0u);
    }
}

TEST(InterruptsProgram, ImeWriteInsideAStoreReturnsToTheNextInstruction) {
    prepareProgram("ime_reenable.gba", "irq_counter_bios.bin");
    ioRegister(io::IE) = irq::vblank;
    ioRegister(io::IF) = irq::vblank;
    for (int line = 0; line < 4; ++line) {
        cpuRun(956);
    }
    EXPECT_EQ(resultWord(0x100), 1u); // the boot image's handler ran once
    EXPECT_EQ(resultWord(0x10), 1u);  // and the instruction after the store ran once
    EXPECT_EQ(ioRegister(io::IF), 0);
    // The first store entered it; R14_irq points one instruction past the one to return to
    // (SUBS PC, LR, #4), the second store.
    EXPECT_EQ(bankedRegister(modeIrq, 14), 0x0800001Cu + 4);
}

} // namespace
