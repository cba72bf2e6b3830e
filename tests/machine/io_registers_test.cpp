#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/settings.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "support/test_support.h"

namespace {

class IoRegistersTest : public ::testing::Test {
  protected:
    void SetUp() override { resetTestMachine(); }
};

TEST_F(IoRegistersTest, PowerOnValues) {
    EXPECT_EQ(busRead16(0x04000000), 0x0080u); // forced blank
    EXPECT_EQ(ioRegister(0x020), 0x0100);      // BG2PA
    EXPECT_EQ(ioRegister(0x024), 0x0000);      // BG2PC
    EXPECT_EQ(ioRegister(0x026), 0x0100);      // BG2PD
    EXPECT_EQ(busRead16(0x04000300), 1u);      // POSTFLG
    EXPECT_EQ(busRead16(0x04000130), 0x03FFu); // no key pressed
    EXPECT_EQ(ioRegister(io::KEYINPUT), 0xFFFF);

    gba.cpu.cpuRunning = 1;
    initIoMasks();
    EXPECT_EQ(gba.cpu.cpuRunning, 1u); // the word write to 0x300 does not halt
}

TEST_F(IoRegistersTest, WriteMasksKeepProtectedBits) {
    ioRegister(io::DISPSTAT) = 0x0005;
    busWrite16(0x04000004, 0xFFFF);
    EXPECT_EQ(ioRegister(io::DISPSTAT), 0xFFFD);

    busWrite16(0x04000052, 0x1010);
    EXPECT_EQ(busRead16(0x04000052), 0u); // BLDALPHA is write-only
    EXPECT_EQ(ioRegister(0x052), 0x1010);
    busWrite16(0x04000050, 0xFFFF);
    EXPECT_EQ(busRead16(0x04000050), 0x3FFFu);

    busWrite16(0x04000006, 0x00FF); // VCOUNT is read-only
    EXPECT_EQ(ioRegister(io::VCOUNT), 0);
    busWrite16(0x04000130, 0); // so is KEYINPUT
    EXPECT_EQ(ioRegister(io::KEYINPUT), 0xFFFF);

    busWrite16(0x04000100, 0xFF00); // TM0CNT_L reads back at once
    EXPECT_EQ(busRead16(0x04000100), 0xFF00u);

    busWrite16(0x04000190, 0xFFFF); // past the defined block nothing is stored
    EXPECT_EQ(ioRegister(0x190), 0);
}

TEST_F(IoRegistersTest, DisableAlphaMasksTheEffectSelect) {
    settings.disableAlpha = 1;
    initIoMasks();
    busWrite16(0x04000050, 0x00C1);
    EXPECT_EQ(ioRegister(io::BLDCNT), 0x0001);
}

TEST_F(IoRegistersTest, InterruptFlagsAreOnlyAcknowledged) {
    ioRegister(io::IF) = 0x0007;
    busWrite16(0x04000202, 0x0004);
    EXPECT_EQ(ioRegister(io::IF), 0x0003);
    busWrite16(0x04000202, 0x0100);
    EXPECT_EQ(ioRegister(io::IF), 0x0003); // a write never sets a bit

    // A byte write also acknowledges the bits set in the other byte.
    ioRegister(io::IF) = 0x0301;
    busWrite8(0x04000202, 0x00);
    EXPECT_EQ(ioRegister(io::IF), 0x0001);
}

TEST_F(IoRegistersTest, OnlyAByteWriteToHaltcntHalts) {
    gba.cpu.cpuRunning = 1;
    gba.cpu.cycleBalance = 40;
    busWrite16(0x04000300, 0);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);
    busWrite8(0x04000300, 0);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);
    busWrite8(0x04000301, 0x80);
    EXPECT_EQ(gba.cpu.cpuRunning, 0u);
    EXPECT_EQ(gba.cpu.cycleBalance, 0);
    EXPECT_EQ(ioRegister(0x300), 0); // nothing is stored
}

TEST_F(IoRegistersTest, ByteWritesMergeWithTheStoredHalfword) {
    busWrite16(0x04000008, 0xFFFF);
    busWrite8(0x04000009, 0x12);
    EXPECT_EQ(ioRegister(0x008), 0x12FF);
    busWrite8(0x04000008, 0x34);
    EXPECT_EQ(ioRegister(0x008), 0x1234);
}

TEST_F(IoRegistersTest, SerialControlBitSixIsForced) {
    busWrite16(0x04000128, 0x0003);
    EXPECT_EQ(busRead16(0x04000128), 0x0043u);
}

TEST_F(IoRegistersTest, ReferencePointWritesReloadTheInternalCopies) {
    busWrite32(0x04000028, 0x0FFFFF00);
    EXPECT_EQ(gba.bg2RefX, 0x0FFFFF00u);
    busWrite16(0x0400002E, 0xFFFF); // BG2Y_H keeps 12 bits
    EXPECT_EQ(gba.bg2RefY, 0x0FFF0000u);
    busWrite8(0x04000038, 0x44);
    EXPECT_EQ(gba.bg3RefX, 0x44u);
    busWrite16(0x0400003E, 0x8001);
    EXPECT_EQ(gba.bg3RefY, 0x80010000u);
    EXPECT_EQ(busRead16(0x0400003E), 0u); // BG3 reference points read as 0
}

// Past the first 1 KB only the internal memory control register answers, every 64 KB.
TEST_F(IoRegistersTest, OnlyTheFirstKilobyteHoldsRegisters) {
    const std::vector<u16> before(gba.IoRegisters, gba.IoRegisters + 512);
    busWrite16(0x04000400, 0x1234);
    busWrite32(0x04000408, 0xAAAA5555);
    busWrite8(0x04000601, 0x12);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), gba.IoRegisters));
    EXPECT_EQ(busRead32(0x04000408), 0u);

    EXPECT_EQ(busRead32(0x04000800), 0x0D000020u);
    busWrite32(0x04000800, 0x0E000020);
    busWrite8(0x04010801, 0x0F);
    EXPECT_EQ(busRead32(0x04FF0800), 0x0E000F20u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), gba.IoRegisters));
}

} // namespace
