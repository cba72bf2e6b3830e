#include <gtest/gtest.h>

#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "support/test_support.h"

namespace {

class BusTest : public ::testing::Test {
  protected:
    void SetUp() override { resetTestMachine(); }
};

TEST_F(BusTest, WorkAndInternalRamMirrorThroughTheirRegionAndIgnoreTopAddressBits) {
    busWrite32(0x0203FFFC, 0x11223344);
    EXPECT_EQ(busRead32(0x0207FFFC), 0x11223344u);
    busWrite32(0x02000000, 0xCAFEF00D);
    EXPECT_EQ(busRead32(0x12000000), 0xCAFEF00Du);
    EXPECT_EQ(busRead32(0xF2040000), 0xCAFEF00Du);

    busWrite16(0x03007FFE, 0xBEEF);
    EXPECT_EQ(busRead16(0x0300FFFE), 0xBEEFu);
    EXPECT_EQ(gba.InternalRam[0x7FFF], 0xBE);
}

TEST_F(BusTest, MisalignedAccessesAreForcedDownWithoutRotation) {
    busWrite32(0x02000000, 0x44332211);
    EXPECT_EQ(busRead32(0x02000002), 0x44332211u);
    EXPECT_EQ(busRead32(0x02000003), 0x44332211u);
    EXPECT_EQ(busRead16(0x02000001), 0x2211u);
    EXPECT_EQ(busRead8(0x02000003), 0x44u);

    busWrite32(0x02000106, 0xAABBCCDD);
    EXPECT_EQ(busRead32(0x02000104), 0xAABBCCDDu);
    busWrite16(0x02000203, 0x1234);
    EXPECT_EQ(busRead16(0x02000202), 0x1234u);
}

TEST_F(BusTest, VideoRamWindowRepeatsAndItsLastThirtyTwoKilobytesMirror) {
    gba.VideoRam[0x10000] = 0x5A;
    gba.VideoRam[0] = 0xA5;
    gba.VideoRam[0x17FFF] = 0x77;
    EXPECT_EQ(busRead8(0x06018000), 0x5Au);
    EXPECT_EQ(busRead8(0x06020000), 0xA5u);
    EXPECT_EQ(busRead8(0x0601FFFF), 0x77u);
    EXPECT_EQ(busRead8(0x06017FFF), 0x77u);
}

// Background video memory takes a byte in both halves of its halfword; sprite video memory,
// whose start depends on the mode, and OAM ignore byte writes.
TEST_F(BusTest, ByteWritesToVideoMemoriesFollowTheirSixteenBitBus) {
    for (const u32 mode : {0u, 3u}) {
        SCOPED_TRACE(mode);
        ioRegister(io::DISPCNT) = static_cast<u16>(mode);
        for (const u32 address :
             {0x0600FFFEu, 0x06010000u, 0x06013FFEu, 0x06014000u, 0x06018000u, 0x07000000u}) {
            busWrite16(address, 0xFFFF);
            busWrite8(address + 1, 0x12);
            const bool background = address < (mode ? 0x06014000u : 0x06010000u) ||
                                    (mode && address == 0x06018000u); // mirrors 0x06010000
            EXPECT_EQ(busRead16(address), background ? 0x1212u : 0xFFFFu) << std::hex << address;
        }
    }
}

TEST_F(BusTest, PaletteWritesKeepHostColoursInStep) {
    // The cleared palette is black, never the transparent 0.
    EXPECT_EQ(gba.HostPalette[0], 0x0020);
    EXPECT_EQ(gba.HostPalette[511], 0x0020);

    busWrite16(0x05000002, 0x7FFF);
    EXPECT_EQ(gba.HostPalette[1], 0xFFFF);
    busWrite16(0x05000002, 0);
    EXPECT_EQ(gba.HostPalette[1], 0x0020);

    // Pure red, green and blue land in bits 11-15, 6-10 and 0-4.
    busWrite32(0x05000200, (0x03E0u << 16) | 0x001F);
    EXPECT_EQ(gba.HostPalette[256], 0xF820);
    EXPECT_EQ(gba.HostPalette[257], 0x07E0);

    busWrite8(0x05000005, 0x7C); // a byte lands in both halves of entry 2
    EXPECT_EQ(gba.HostPalette[2], 0xE0FF);
    EXPECT_EQ(busRead16(0x05000004), 0x7C7Cu);

    busWrite16(0x05000402, 0x001F); // the palette repeats every 1 KB
    EXPECT_EQ(gba.HostPalette[1], 0xF820);
}

// The tile colours and their pairs follow the background half through every write width,
// with entry 0 of each bank of 16 held at 0; the sprite half and 256-colour use keep their
// colours. The byte-shuffle tables follow both halves.
TEST_F(BusTest, TileColoursFollowTheBackgroundPaletteWithBankEntryZeroTransparent) {
    EXPECT_EQ(gba.HostTileColours[0], 0);
    EXPECT_EQ(gba.HostTileColours[1], 0x0020);
    busWrite32(0x05000020, 0x001F001F); // entries 16 and 17
    EXPECT_EQ(gba.HostPalette[16], 0xF820);
    EXPECT_EQ(gba.HostTileColours[16], 0);
    EXPECT_EQ(gba.HostTileColours[17], 0xF820);
    busWrite8(0x050001FF, 0x7C); // both bytes of entry 255
    EXPECT_EQ(gba.HostTileColours[255], 0xE0FF);
    busWrite16(0x050001E0, 0x7FFF); // entry 240
    EXPECT_EQ(gba.HostTileColours[240], 0);
    EXPECT_EQ(gba.HostPalette[240], 0xFFFF);
    busWrite16(0x05000202, 0x7FFF); // sprite entry 1 leaves the tile colours alone
    EXPECT_EQ(gba.HostTileColours[1], 0x0020);
    // Every pair of every bank is made of the two tile colours of its nibbles.
    for (u32 bank = 0; bank < 16; ++bank) {
        for (u32 pair = 0; pair < 256; ++pair) {
            const u32 left = gba.HostTileColours[16 * bank + (pair & 15)];
            const u32 right = gba.HostTileColours[16 * bank + (pair >> 4)];
            ASSERT_EQ(gba.HostTilePairs[bank][pair], left | (right << 16)) << bank << " " << pair;
        }
    }
    // The shuffle tables of all 32 banks, sprites included, split the same colours in bytes.
    for (u32 index = 0; index < 512; ++index) {
        const u32 colour = (index & 15) ? gba.HostPalette[index] : 0;
        const u8* bankBytes = gba.HostBankBytes[index >> 4];
        ASSERT_EQ(bankBytes[index & 15] | (bankBytes[16 + (index & 15)] << 8), colour) << index;
    }
}

TEST_F(BusTest, UnmappedRegionsReadZeroAndIgnoreWrites) {
    for (u32 base : {0x01000000u, 0x0F000000u}) {
        busWrite32(base, 0xFFFFFFFF);
        busWrite16(base, 0xFFFF);
        busWrite8(base, 0xFF);
        EXPECT_EQ(busRead8(base), 0u);
        EXPECT_EQ(busRead16(base), 0u);
        EXPECT_EQ(busRead32(base), 0u);
    }
}

TEST_F(BusTest, GamePakIsReadOnlyAndItsWindowsShareOneImage) {
    gba.GamePakRom[0x123] = 0x42;
    gba.GamePakRom[0x1000000] = 0x24;
    EXPECT_EQ(busRead8(0x08000123), 0x42u);
    EXPECT_EQ(busRead8(0x0A000123), 0x42u);
    EXPECT_EQ(busRead8(0x0C000123), 0x42u);
    EXPECT_EQ(busRead8(0x09000000), 0x24u);
    EXPECT_EQ(busRead8(0x0D000000), 0x24u);

    busWrite32(0x08000120, 0);
    busWrite8(0x08000123, 0);
    busWrite16(0x08000122, 0);
    busWrite32(0x0C000120, 0);
    EXPECT_EQ(gba.GamePakRom[0x123], 0x42);
}

TEST_F(BusTest, IoReadsApplyTheReadMask) {
    gba.IoRegisters[io::VCOUNT / 2] = 0xAB9F;
    EXPECT_EQ(busRead16(0x04000006), 0x009Fu);
    ioRegister(0x04C) = 0x1234; // MOSAIC is write-only
    EXPECT_EQ(busRead16(0x0400004C), 0u);

    busWrite16(0x04000000, 0x1234);
    EXPECT_EQ(busRead8(0x04000001), 0x12u);
    EXPECT_EQ(busRead8(0x04000000), 0x34u & 0xF7u);

    gba.IoRegisters[0x200 / 2] = 0x1111;
    gba.IoRegisters[0x202 / 2] = 0x2222;
    EXPECT_EQ(busRead32(0x04000202), 0x22221111u);
}

TEST_F(BusTest, WaveRamReadsAndWritesReachTheCpuVisibleBank) {
    busWrite16(0x04000090, 0xBBAA);
    busWrite8(0x0400009F, 0xCC);
    EXPECT_EQ(gba.WaveRamBanks[gba.cpuWaveBank][0], 0xAA);
    EXPECT_EQ(gba.WaveRamBanks[gba.cpuWaveBank][1], 0xBB);
    EXPECT_EQ(gba.WaveRamBanks[gba.cpuWaveBank][15], 0xCC);
    EXPECT_EQ(busRead32(0x04000090), 0x0000BBAAu);
    EXPECT_EQ(gba.IoRegisters[0x90 / 2], 0); // nothing stored in the register file

    gba.cpuWaveBank ^= 1;
    EXPECT_EQ(busRead16(0x04000090), 0u);
}

TEST_F(BusTest, FirstSaveWriteDecidesBetweenFlashAndSram) {
    busWrite8(0x0E005555, 0xAA);
    EXPECT_EQ(gba.saveChip.saveType, SaveType::flash);
    EXPECT_EQ(gba.SaveRam[0x5555], 0);

    resetTestMachine();
    busWrite8(0x0E000000, 0x55);
    EXPECT_EQ(gba.saveChip.saveType, SaveType::sram);
    EXPECT_EQ(gba.SaveRam[0], 0x55);

    // The unlock byte must match at the access width: a word of 0xAA is Flash, 0x1AA is not.
    resetTestMachine();
    busWrite32(0x0E005555, 0x1AA);
    EXPECT_EQ(gba.saveChip.saveType, SaveType::sram);

    // A preset type is never changed by the bus.
    resetTestMachine();
    gba.saveChip.saveType = SaveType::eeprom;
    busWrite8(0x0E005555, 0xAA);
    EXPECT_EQ(gba.saveChip.saveType, SaveType::eeprom);
}

TEST_F(BusTest, SramAccessesAndTheirTouchedFlag) {
    gba.saveChip.saveType = SaveType::sram;
    busWrite8(0x0E001234, 0x9C);
    EXPECT_EQ(busRead8(0x0E001234), 0x9Cu);
    EXPECT_EQ(busRead8(0x0E011234), 0x9Cu);
    // Byte writes from 0x0E020000 on are ignored; lower aliases reach the first 64 KB.
    busWrite8(0x0E021234, 0x11);
    EXPECT_EQ(gba.SaveRam[0x1234], 0x9C);
    busWrite8(0x0E011234, 0x22);
    EXPECT_EQ(gba.SaveRam[0x1234], 0x22);
    // Writes that change the memory mark it for the periodic save; one that changes nothing
    // does not.
    EXPECT_EQ(gba.saveTouched, 1u);
    EXPECT_EQ(gba.savesChanged, sramChanged);
    gba.saveTouched = 0;
    busWrite8(0x0E001234, 0x22);
    EXPECT_EQ(gba.saveTouched, 0u);

    busWrite16(0x0E000011, 0xBEEF);
    EXPECT_EQ(busRead16(0x0E000010), 0xBEEFu);
    gba.saveTouched = 0;
    busWrite32(0x0E000102, 0x01020304);
    EXPECT_EQ(busRead32(0x0E000100), 0x01020304u);
    EXPECT_EQ(gba.saveTouched, 1u);
}

TEST_F(BusTest, FlashSaveByteReadsSeeTheChipAndEepromSavesReadZero) {
    gba.saveChip.saveType = SaveType::flash;
    gba.FlashMemory[0x42] = 0x99;
    EXPECT_EQ(busRead8(0x0E000042), 0x99u);
    gba.saveChip.flashIdMode = 1;
    EXPECT_EQ(busRead8(0x0E000000), 0xBFu);
    EXPECT_EQ(busRead8(0x0E000001), 0xD4u);

    gba.saveChip.saveType = SaveType::eeprom;
    gba.SaveRam[5] = 7;
    EXPECT_EQ(busRead8(0x0E000005), 0u);
}

TEST_F(BusTest, RegionZeroWritesReachSaveRamAndByteWritesRedirectLaterReads) {
    gba.BiosRom[0x10] = 0xB1;
    gba.cpu.registers[15] = 0x08000000;

    busWrite16(0x00000020, 0x5678);
    EXPECT_EQ(gba.SaveRam[0x20], 0x78);
    EXPECT_EQ(busRead8(0x00000010), 0xB1u); // no redirect before a byte write

    busWrite8(0x00000010, 0x3C);
    EXPECT_EQ(gba.SaveRam[0x10], 0x3C);
    EXPECT_EQ(gba.saveChip.biosSaveRedirect, 1u);
    EXPECT_EQ(busRead8(0x00000010), 0x3Cu);
    EXPECT_EQ(gba.saveTouched, 1u);
    EXPECT_EQ(busRead16(0x00000020), 0x5678u);

    // Code running inside the boot image still sees the boot image.
    gba.cpu.registers[15] = 0x00000100;
    EXPECT_EQ(busRead8(0x00000010), 0xB1u);
    EXPECT_EQ(busRead8(0x00004010), 0xB1u);
}

TEST_F(BusTest, EepromAnswersTopWindowHalfwordReadsOnceSeen) {
    gba.GamePakRom[0x1000000] = 0x34;
    gba.GamePakRom[0x1000001] = 0x12;
    EXPECT_EQ(busRead16(0x0D000000), 0x1234u);

    busWrite16(0x0D000000, 1); // the first bit of a request marks the EEPROM as present
    EXPECT_EQ(gba.saveChip.eepromSeen, 1u);
    EXPECT_LE(busRead16(0x0D000000), 1u);
    EXPECT_EQ(busRead8(0x0D000000), 0x34u); // bytes and words still read the game pak
}

} // namespace
