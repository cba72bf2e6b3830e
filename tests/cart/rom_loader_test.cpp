#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cart/rom_loader.h"
#include "common/log.h"
#include "common/settings.h"
#include "machine/gba_system.h"
#include "support/test_support.h"

namespace {

constexpr u32 megabyte = 0x100000;

// Byte i depends on i and on the 2 KB block it sits in, so a misplaced copy shows.
std::vector<u8> patternImage(u32 size) {
    std::vector<u8> image(size);
    for (u32 i = 0; i < size; ++i) {
        image[i] = static_cast<u8>(i * 7 + (i >> 11) + 1);
    }
    return image;
}

bool romHolds(u32 offset, const std::vector<u8>& image, u32 length) {
    return length == 0 || std::memcmp(gba.GamePakRom + offset, image.data(), length) == 0;
}

bool romIsZeroFrom(u32 offset) {
    for (u32 i = offset; i < gamePakSize; ++i) {
        if (gba.GamePakRom[i] != 0) {
            return false;
        }
    }
    return true;
}

class RomLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetLog();
    }

    // Writes a pattern image of `size` bytes as game.gba and loads it.
    std::vector<u8> load(u32 size) {
        std::vector<u8> image = patternImage(size);
        writeFile("game.gba", image);
        EXPECT_EQ(loadRom("game.gba"), 1);
        return image;
    }

    ScratchDirectory scratch;
};

TEST_F(RomLoaderTest, OddSizedImageIsRoundedDownToWholeChunksAndLogged) {
    std::vector<u8> image = load(100 * 1024);
    EXPECT_EQ(romSize, 98304u);
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nLoad ROM:96KB\nGamePakROMSize=00018000");
    EXPECT_TRUE(romHolds(0, image, 98304));
}

TEST_F(RomLoaderTest, ExactMultiplesKeepTheirSizeAndSmallFilesCountAsOneChunk) {
    struct Case {
        u32 fileSize;
        u32 expected;
    };
    for (Case c : {Case{65536, 65536}, Case{32768, 32768}, Case{1000, 32768}, Case{0, 32768}}) {
        std::vector<u8> image = load(c.fileSize);
        EXPECT_EQ(romSize, c.expected) << "file of " << c.fileSize << " bytes";
        EXPECT_TRUE(romHolds(0, image, c.fileSize));
        EXPECT_TRUE(romIsZeroFrom(c.fileSize)) << "file of " << c.fileSize << " bytes";
    }
}

TEST_F(RomLoaderTest, FourAndEightMegabyteImagesRepeatThroughTheGamePak) {
    std::vector<u8> image = load(4 * megabyte);
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nLoad ROM:4096KB\nGamePakROMSize=00400000");
    for (u32 offset : {0x123u, 0x400123u, 0xC00123u, 0x1400123u, 0x1FFFFFFu}) {
        EXPECT_EQ(gba.GamePakRom[offset], image[offset & (4 * megabyte - 1)]) << offset;
    }
    image = load(8 * megabyte);
    for (u32 copy = 0; copy < 4; ++copy) {
        EXPECT_TRUE(romHolds(copy * 8 * megabyte, image, 8 * megabyte)) << "copy " << copy;
    }
}

TEST_F(RomLoaderTest, OtherSizesAreNotMirroredEvenAfterAMirroredImage) {
    load(4 * megabyte);
    load(6 * megabyte);
    EXPECT_EQ(romSize, 6 * megabyte);
    EXPECT_TRUE(romIsZeroFrom(6 * megabyte));
    std::vector<u8> image = load(16 * megabyte);
    EXPECT_TRUE(romHolds(0, image, 16 * megabyte));
    EXPECT_TRUE(romIsZeroFrom(16 * megabyte));
}

TEST_F(RomLoaderTest, ImagesOfThirtyTwoMegabytesAndMoreStopAtTheEndOfTheGamePak) {
    std::vector<u8> image = load(gamePakSize);
    EXPECT_EQ(romSize, gamePakSize);
    EXPECT_EQ(readTextFile("DBUG.txt").find("larger"), std::string::npos);

    resetLog();
    image = load(gamePakSize + 100);
    EXPECT_EQ(romSize, gamePakSize);
    EXPECT_TRUE(romHolds(0, image, gamePakSize));
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nLoad ROM:32768KB\nGamePakROMSize=02000000"
                                        "\nROM larger than 32 MB: only the first 32 MB loaded");
    // SaveRam follows the game pak in the machine record.
    for (u32 i = 0; i < saveRamSize; ++i) {
        ASSERT_EQ(gba.SaveRam[i], 0) << i;
    }
}

TEST_F(RomLoaderTest, MissingFileOrDirectoryIsNotLoaded) {
    load(65536);
    std::filesystem::create_directory("folder.gba");
    for (const char* path : {"missing.gba", "folder.gba"}) {
        resetLog();
        EXPECT_EQ(loadRom(path), 0) << path;
        EXPECT_EQ(romSize, 0u) << path;
        EXPECT_EQ(readTextFile("DBUG.txt"), "") << path;
    }
}

// A missing, empty, short or unreadable "GBA.BIOS" gives the project's own boot image as
// built beside the programs, and the log says so; a whole file is used as it is.
TEST_F(RomLoaderTest, BootImageWithoutAWholeFileIsTheBuiltInOne) {
    const std::vector<u8> builtIn = readBinaryFile(QUARVEND_BOOT_IMAGE);
    ASSERT_EQ(builtIn.size(), biosSize);
    auto biosIs = [](const std::vector<u8>& image) {
        return std::memcmp(gba.BiosRom, image.data(), biosSize) == 0;
    };
    const std::string builtInLine = "\nGBA.BIOS not found or short: using the built-in boot image";

    std::vector<u8> partial = patternImage(biosSize - 1);
    for (int fileCase = 0; fileCase < 4; ++fileCase) {
        SCOPED_TRACE(fileCase);
        std::filesystem::remove("GBA.BIOS");
        if (fileCase == 1) {
            writeFile("GBA.BIOS", std::string());
        } else if (fileCase == 2) {
            writeFile("GBA.BIOS", partial);
        } else if (fileCase == 3) {
            std::filesystem::create_directory("GBA.BIOS");
        }
        resetLog();
        std::memset(gba.BiosRom, 0xEE, biosSize);
        loadBios();
        EXPECT_TRUE(biosIs(builtIn));
        EXPECT_EQ(readTextFile("DBUG.txt"), builtInLine);
    }

    std::vector<u8> image = patternImage(biosSize + 16);
    writeFile("own.bin", image);
    std::strcpy(settings.biosFileName, "own.bin");
    resetLog();
    loadBios();
    EXPECT_TRUE(biosIs(image));
    EXPECT_EQ(gba.WorkRam[0], 0);
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nBIOS Image loaded");
}

} // namespace
