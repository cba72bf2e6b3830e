#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/log.h"
#include "common/run_state.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "shell/debug_keys.h"
#include "support/test_support.h"
#include "video/line_renderers.h"

namespace {

class DebugKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        runState.framesRendered = 0;
        runState.framesSkipped = 0;
        resetLog();
    }

    std::vector<u8> bytes(const u8* memory, std::size_t size) {
        return std::vector<u8>(memory, memory + size);
    }

    ScratchDirectory scratch;
};

// The video block of F11, up to the CPU line.
void setVideoRegisters() {
    ioRegister(io::DISPCNT) = 0x2143;
    ioRegister(0x08) = 0x1C08;
    ioRegister(0x0A) = 0x0001;
    ioRegister(0x0C) = 0xABCD;
    ioRegister(0x0E) = 0x000F;
    ioRegister(0x50) = 0x3F41;
    ioRegister(0x52) = 0x1010;
    ioRegister(0xBA) = 0x8400;
    ioRegister(0xC6) = 0xB640;
    ioRegister(0xD2) = 0x0000;
    ioRegister(0xDE) = 0x84A0;
    ioRegister(io::VCOUNT) = 227;
    videoLine.priorityLayer[0] = 2;
    videoLine.priorityLayer[1] = 0;
    videoLine.priorityLayer[2] = 31;
    videoLine.priorityLayer[3] = 31;
    runState.framesRendered = 4321;
    gba.cpu.cpsr = 0x6000003F;
    gba.cpu.registers[15] = 0x08000ABC;
}

const std::string videoBlock = "\nDISPCNT:2143\nBG0:1C08\nBG1:0001\nBG2:ABCD\nBG3:000F"
                               " BLDMOD:3F41 COLEV:1010  2  0  31  31\nWINONf:"
                               "\nDMACNT:8400   B640   0000   84A0"
                               " Fr:4321 SL:227  CPSR:6000003F  PC:08000ABC"
                               "\nBG0CNT:1C08";

TEST_F(DebugKeys, F11LogsTheVideoStateAndDumpsThreeMemories) {
    setVideoRegisters();
    for (u32 i = 0; i < videoRamSize; ++i) {
        gba.VideoRam[i] = static_cast<u8>(i * 7);
    }
    for (u32 i = 0; i < paletteSize; ++i) {
        gba.PaletteRam[i] = static_cast<u8>(i);
        gba.ObjectAttributes[i] = 0x0A; // a line feed must stay one byte
    }
    debugKeyPressed(dik::f11);
    EXPECT_EQ(readTextFile(logFileName), videoBlock);
    EXPECT_EQ(readBinaryFile(dumpVideoRamFile), bytes(gba.VideoRam, videoRamSize));
    EXPECT_EQ(readBinaryFile(dumpPaletteFile), bytes(gba.PaletteRam, paletteSize));
    EXPECT_EQ(readBinaryFile(dumpObjectAttributesFile), bytes(gba.ObjectAttributes, oamSize));
    EXPECT_FALSE(std::filesystem::exists(dumpMemoryFile));

    // A second press rewrites the files from the current memory and logs a second block.
    std::memset(gba.VideoRam, 0x5A, videoRamSize);
    gba.ObjectAttributes[0] = 0x0D;
    debugKeyPressed(dik::f11);
    EXPECT_EQ(readTextFile(logFileName), videoBlock + videoBlock);
    EXPECT_EQ(readBinaryFile(dumpVideoRamFile), bytes(gba.VideoRam, videoRamSize));
    EXPECT_EQ(readBinaryFile(dumpObjectAttributesFile), bytes(gba.ObjectAttributes, oamSize));
}

TEST_F(DebugKeys, WindowLineOnlyWithAWindowEnabled) {
    ioRegister(io::DISPCNT) = 0x1F00;
    videoLine.priorityLayer[0] = videoLine.priorityLayer[1] = videoLine.priorityLayer[2] =
        videoLine.priorityLayer[3] = 31;
    debugKeyPressed(dik::f11);
    EXPECT_EQ(readTextFile(logFileName).find("WINONf"), std::string::npos);
    resetLog();
    ioRegister(io::DISPCNT) = 0x8000;
    debugKeyPressed(dik::f11);
    EXPECT_NE(readTextFile(logFileName).find("  31\nWINONf:\nDMACNT:"), std::string::npos);
}

TEST_F(DebugKeys, DumpsThatCannotBeCreatedAreSkippedButLogged) {
    setVideoRegisters();
    std::filesystem::create_directory(dumpVideoRamFile);
    std::filesystem::create_directory(dumpMemoryFile);
    debugKeyPressed(dik::f11);
    debugKeyPressed(dik::f12);
    const std::string log = readTextFile(logFileName);
    EXPECT_EQ(log.rfind(videoBlock, 0), 0u);
    EXPECT_NE(log.find("\nDMA0 CNT:8400"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dumpVideoRamFile));
    EXPECT_EQ(readBinaryFile(dumpPaletteFile).size(), paletteSize);
}

TEST_F(DebugKeys, F12LogsDmaAddressesHighHalfFirstAndDumpsWorkRam) {
    const u16 registers[][2] = {{0xBC, 0x1234}, {0xBE, 0x0300}, {0xC0, 0x00A0}, {0xC2, 0x0400},
                                {0xC6, 0xB640}, {0xC8, 0x5678}, {0xCA, 0x0800}, {0xCC, 0x0014},
                                {0xCE, 0x0400}, {0xD2, 0x8000}, {0xBA, 0x0001}};
    for (const auto& [offset, value] : registers) {
        ioRegister(offset) = value;
    }
    for (u32 i = 0; i < internalRamSize; ++i) {
        gba.InternalRam[i] = static_cast<u8>(i >> 4);
    }
    debugKeyPressed(dik::f12);
    EXPECT_EQ(readTextFile(logFileName), "\nDMA1 Sour:03001234  Targ:040000A0  CNTH:B640"
                                         "\nDMA2 Sour:08005678  Targ:04000014  CNTH:8000"
                                         "\nDMA0 CNT:0001");
    EXPECT_EQ(readBinaryFile(dumpMemoryFile), bytes(gba.InternalRam + 0x6280, 512));
}

TEST_F(DebugKeys, F9LogsTheSoundRegisters) {
    ioRegister(io::SOUNDCNT_L) = 0xFF77;
    ioRegister(io::SOUNDCNT_H) = 0x0B0E;
    ioRegister(io::SOUNDCNT_X) = 0x0080;
    debugKeyPressed(dik::f9);
    EXPECT_EQ(readTextFile(logFileName), "\nSGCNT0L:FF77  CNT0H:0B0E  CNT1:0080");
}

TEST_F(DebugKeys, SimpleKeysAndUnknownCodes) {
    runState.resyncRequested = 0;
    runState.screenshotRequested = 0;
    debugKeyPressed(0x1E);
    debugKeyPressed(dik::escape); // Escape is the poll's business, not a debug action
    EXPECT_EQ(runState.resyncRequested + runState.screenshotRequested, 0u);
    EXPECT_EQ(readTextFile(logFileName), "");
    debugKeyPressed(dik::f10);
    debugKeyPressed(dik::f8);
    debugKeyPressed(dik::sysRq);
    EXPECT_EQ(readTextFile(logFileName), "\nSTARTLOG");
    EXPECT_EQ(runState.resyncRequested, 1u);
    EXPECT_EQ(runState.screenshotRequested, 1u);
}

} // namespace
