#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cart/save_files.h"
#include "machine/gba_system.h"
#include "common/log.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

class SaveFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetLog();
        setSaveFileNames("game.gba");
    }

    ScratchDirectory scratch;
};

std::vector<u8> filled(u32 size, u8 seed) {
    std::vector<u8> bytes(size);
    for (u32 i = 0; i < size; ++i) {
        bytes[i] = static_cast<u8>(i * 13 + seed);
    }
    return bytes;
}

TEST(SaveFileNames, ReplaceTheLastThreeCharactersOfTheRomPath) {
    setSaveFileNames("C:\\roms\\x.gba");
    EXPECT_EQ(sramFileName, "C:\\roms\\x.sav");
    EXPECT_EQ(eepromFileName, "C:\\roms\\x.EEPROM");
    EXPECT_EQ(flashFileName, "C:\\roms\\x.Flash");
    setSaveFileNames("game.bin");
    EXPECT_EQ(sramFileName, "game.sav");
    setSaveFileNames("ab");
    EXPECT_EQ(sramFileName, "ab.sav");
    EXPECT_EQ(flashFileName, "ab.Flash");
    setSaveFileNames(nullptr);
    EXPECT_EQ(eepromFileName, ".EEPROM");
}

TEST_F(SaveFilesTest, FlashFileIsWrittenOnlyForFlashCarts) {
    std::memset(gba.SaveRam, 0x5A, saveRamSize);
    gba.saveType = SaveType::sram;
    writeSaveFiles();
    EXPECT_FALSE(fs::exists("game.Flash"));
    EXPECT_EQ(fs::file_size("game.EEPROM"), 16384u);
    EXPECT_EQ(readBinaryFile("game.sav"), std::vector<u8>(saveRamSize, 0x5A));
    EXPECT_EQ(readTextFile("DBUG.txt"),
              "\nEEPROM contents saved to  game.EEPROM\nSRAM contents saved to  game.sav");

    resetLog();
    gba.saveType = SaveType::flash;
    writeSaveFiles();
    EXPECT_EQ(fs::file_size("game.Flash"), 65536u);
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nFlashROM contents saved to  game.Flash"
                                        "\nEEPROM contents saved to  game.EEPROM"
                                        "\nSRAM contents saved to  game.sav");
    EXPECT_FALSE(fs::exists("game.sav.tmp"));
}

TEST_F(SaveFilesTest, LoadingFillsFromFilesAndZeroesWhatTheyLack) {
    std::vector<u8> flash = filled(flashSize, 1);
    writeFile("game.Flash", flash);
    writeFile("game.sav", std::string("\x01\x02\x03", 3));
    std::memset(gba.SaveRam, 0xEE, saveRamSize);
    std::memset(gba.EepromData, 0xEE, eepromSize);
    loadFlash();
    loadSram();
    loadEeprom();
    EXPECT_EQ(std::vector<u8>(gba.FlashMemory, gba.FlashMemory + flashSize), flash);
    EXPECT_EQ(gba.SaveRam[2], 3);
    EXPECT_EQ(std::vector<u8>(gba.SaveRam + 3, gba.SaveRam + saveRamSize),
              std::vector<u8>(saveRamSize - 3, 0));
    EXPECT_EQ(std::vector<u8>(gba.EepromData, gba.EepromData + eepromSize),
              std::vector<u8>(eepromSize, 0));
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nFlashROM Loaded\nSRAM Loaded\nEEPROM Loaded");
}

TEST_F(SaveFilesTest, FailedWriteKeepsTheOldFileWhole) {
    std::vector<u8> saved = filled(saveRamSize, 7);
    std::memcpy(gba.SaveRam, saved.data(), saveRamSize);
    writeSaveFiles();

    // A directory where the temporary file would go makes the SRAM write fail; a directory
    // in place of the EEPROM file makes its rename fail.
    fs::create_directory("game.sav.tmp");
    fs::remove("game.EEPROM");
    fs::create_directory("game.EEPROM");
    std::memset(gba.SaveRam, 0, saveRamSize);
    resetLog();
    writeSaveFiles();
    EXPECT_EQ(readBinaryFile("game.sav"), saved);
    EXPECT_TRUE(fs::is_directory("game.sav.tmp"));
    EXPECT_FALSE(fs::exists("game.EEPROM.tmp"));
    EXPECT_EQ(readTextFile("DBUG.txt"),
              "\nCould not write save file game.EEPROM\nCould not write save file game.sav");
}

TEST_F(SaveFilesTest, SaveThatCouldNotBeReadIsNeverOverwritten) {
    fs::create_directory("game.sav");
    loadSram();
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nCould not read save file game.sav\nSRAM Loaded");

    // Even once the path is writable again, the blank memory must not replace the player's data.
    fs::remove("game.sav");
    writeFile("game.sav", std::string("old"));
    resetLog();
    writeSaveFiles();
    EXPECT_EQ(readTextFile("game.sav"), "old");
    EXPECT_NE(readTextFile("DBUG.txt").find("not overwritten"), std::string::npos);
}

} // namespace
