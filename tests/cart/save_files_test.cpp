#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cart/save_files.h"
#include "common/log.h"
#include "machine/gba_system.h"
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

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Other programs and flash carts leave files larger than the memory: the memory replaces
// their first bytes at every write, the rest stays, and the log mentions it once.
TEST_F(SaveFilesTest, LargerFileKeepsItsBytesPastTheMemory) {
    std::vector<u8> sram = filled(2 * saveRamSize, 3);
    std::vector<u8> eeprom = filled(8 * eepromSize, 5);
    writeFile("game.sav", sram);
    writeFile("game.EEPROM", eeprom);
    loadSram();
    loadEeprom();
    std::memset(gba.SaveRam, 0x11, saveRamSize);
    std::memset(gba.EepromData, 0x22, eepromSize);
    writeSaveFiles();
    writeSaveFiles();

    std::vector<u8> expected = sram;
    std::fill(expected.begin(), expected.begin() + saveRamSize, 0x11);
    EXPECT_EQ(readBinaryFile("game.sav"), expected);
    expected = eeprom;
    std::fill(expected.begin(), expected.begin() + eepromSize, 0x22);
    EXPECT_EQ(readBinaryFile("game.EEPROM"), expected);
    std::string log = readTextFile("DBUG.txt");
    EXPECT_EQ(occurrences(log, "larger than its memory"), 2u) << log;
    EXPECT_NE(log.find("larger than its memory, the bytes past the memory are kept: game.sav"),
              std::string::npos);
    EXPECT_EQ(occurrences(log, "contents saved to"), 4u);
}

// A save name that is a symbolic link (into a synced folder, say) stays a link, and the
// file it points to receives the save, also when it does not exist yet.
TEST_F(SaveFilesTest, SymbolicLinkIsWrittenThrough) {
    fs::create_directory("synced");
    writeFile("synced/game.sav", std::string("old"));
    fs::create_symlink("synced/game.sav", "game.sav");
    fs::create_symlink("synced/game.EEPROM", "game.EEPROM");
    std::memset(gba.SaveRam, 0x33, saveRamSize);
    std::memset(gba.EepromData, 0x44, eepromSize);
    writeSaveFiles();

    EXPECT_TRUE(fs::is_symlink("game.sav"));
    EXPECT_TRUE(fs::is_symlink("game.EEPROM"));
    EXPECT_EQ(readBinaryFile("synced/game.sav"), std::vector<u8>(saveRamSize, 0x33));
    EXPECT_EQ(readBinaryFile("synced/game.EEPROM"), std::vector<u8>(eepromSize, 0x44));
    EXPECT_FALSE(fs::exists("synced/game.sav.tmp"));
    EXPECT_FALSE(fs::exists("game.sav.tmp"));
    EXPECT_EQ(readTextFile("DBUG.txt"),
              "\nEEPROM contents saved to  game.EEPROM\nSRAM contents saved to  game.sav");
}

// A write cut short leaves NAME.tmp beside the save. The next start reads the save itself and
// then removes the leftover, but keeps it while the save could not be read.
TEST_F(SaveFilesTest, LeftoverTemporaryFileIsRemovedOnceTheSaveWasRead) {
    std::vector<u8> saved = filled(saveRamSize, 9);
    writeFile("game.sav", saved);
    writeFile("game.sav.tmp", std::string("half a save"));
    writeFile("game.EEPROM.tmp", std::string("half a save"));
    fs::create_directory("game.Flash.tmp");
    loadFlash();
    loadSram();
    loadEeprom();
    EXPECT_EQ(std::vector<u8>(gba.SaveRam, gba.SaveRam + saveRamSize), saved);
    EXPECT_FALSE(fs::exists("game.sav.tmp"));
    EXPECT_FALSE(fs::exists("game.EEPROM.tmp"));
    EXPECT_TRUE(fs::is_directory("game.Flash.tmp")); // not a file this program leaves
    EXPECT_NE(readTextFile("DBUG.txt").find("game.sav.tmp"), std::string::npos);

    fs::remove("game.sav");
    fs::create_directory("game.sav");
    writeFile("game.sav.tmp", std::string("half a save"));
    loadSram();
    EXPECT_TRUE(fs::exists("game.sav.tmp"));
}

} // namespace
