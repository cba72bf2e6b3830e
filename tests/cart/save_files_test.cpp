#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <csignal>
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

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
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
    gba.saveChip.saveType = SaveType::sram;
    gba.savesChanged = sramChanged | eepromChanged | flashChanged;
    writeSaveFiles();
    EXPECT_FALSE(fs::exists("game.Flash"));
    EXPECT_EQ(fs::file_size("game.EEPROM"), 16384u);
    EXPECT_EQ(readBinaryFile("game.sav"), std::vector<u8>(saveRamSize, 0x5A));

    resetLog();
    gba.saveChip.saveType = SaveType::flash;
    writeSaveFiles();
    EXPECT_EQ(fs::file_size("game.Flash"), 65536u);
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nFlashROM contents saved to  game.Flash"
                                        "\nEEPROM contents saved to  game.EEPROM"
                                        "\nSRAM contents saved to  game.sav");
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

// A disk that fills up during the write (a file size limit here) and a folder in place of the
// file: the old saves stay whole, no temporary file is left, and the caller learns of both.
TEST_F(SaveFilesTest, FailedWriteKeepsTheOldFileWhole) {
    std::vector<u8> saved = filled(saveRamSize, 7);
    std::memcpy(gba.SaveRam, saved.data(), saveRamSize);
    gba.savesChanged = sramChanged | eepromChanged;
    writeSaveFiles();

    fs::remove("game.EEPROM");
    fs::create_directory("game.EEPROM");
    std::memset(gba.SaveRam, 0, saveRamSize);
    resetLog();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    rlimit full{40000, limit.rlim_max};
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &full);
    std::string failures = writeSaveFiles();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(readBinaryFile("game.sav"), saved);
    EXPECT_EQ(namesIn("."), (std::vector<std::string>{"DBUG.txt", "game.EEPROM", "game.sav"}));
    EXPECT_EQ(failures, "Could not write save file game.EEPROM: it is not a regular file\n"
                        "Could not write save file game.sav");
    EXPECT_EQ(readTextFile("DBUG.txt"), "\n" + failures);
}

TEST_F(SaveFilesTest, SaveThatCouldNotBeReadIsNeverOverwritten) {
    writeFile("game.sav", std::string("old"));
    fs::permissions("game.sav", fs::perms::none);
    {
        PermissionsEnforced enforced;
        loadSram();
    }
    EXPECT_EQ(readTextFile("DBUG.txt"), "\nCould not read save file game.sav\nSRAM Loaded");

    // Even once the file is readable again, the blank memory must not replace the player's data.
    fs::permissions("game.sav", fs::perms::owner_all);
    resetLog();
    gba.savesChanged = sramChanged;
    EXPECT_NE(writeSaveFiles().find("not overwritten"), std::string::npos);
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
    gba.savesChanged = sramChanged | eepromChanged;
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
    gba.savesChanged = sramChanged | eepromChanged;
    writeSaveFiles();

    EXPECT_TRUE(fs::is_symlink("game.sav"));
    EXPECT_TRUE(fs::is_symlink("game.EEPROM"));
    EXPECT_EQ(readBinaryFile("synced/game.sav"), std::vector<u8>(saveRamSize, 0x33));
    EXPECT_EQ(readBinaryFile("synced/game.EEPROM"), std::vector<u8>(eepromSize, 0x44));
    EXPECT_EQ(namesIn("synced"), (std::vector<std::string>{"game.EEPROM", "game.sav"}));
    EXPECT_EQ(readTextFile("DBUG.txt"),
              "\nEEPROM contents saved to  game.EEPROM\nSRAM contents saved to  game.sav");
}

// A write cut short leaves a temporary file beside the save. The next start reads the save
// itself and then removes such leftovers of its own naming once they are a minute old (younger
// ones may be another instance's write in progress), but keeps them while the save could not
// be read.
TEST_F(SaveFilesTest, LeftoverTemporaryFilesAreRemovedOnceTheSaveWasRead) {
    std::vector<u8> saved = filled(saveRamSize, 9);
    writeFile("game.sav", saved);
    auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const char* name : {"game.sav.tmp", "game.sav.4711-3.tmp", "game.EEPROM.12-1.tmp",
                             "game.sav.notes.tmp", "game.sav.99-1.tmp"}) {
        writeFile(name, std::string("half a save"));
        fs::last_write_time(name, old);
    }
    writeFile("game.sav.100-1.tmp", std::string("another instance's write in progress"));
    fs::create_directory("game.Flash.1-1.tmp");
    fs::last_write_time("game.Flash.1-1.tmp", old);
    loadFlash();
    loadSram();
    loadEeprom();
    EXPECT_EQ(std::vector<u8>(gba.SaveRam, gba.SaveRam + saveRamSize), saved);
    EXPECT_EQ(namesIn("."), (std::vector<std::string>{"DBUG.txt", "game.Flash.1-1.tmp", "game.sav",
                                                      "game.sav.100-1.tmp", "game.sav.notes.tmp"}));
    EXPECT_NE(readTextFile("DBUG.txt").find("game.sav.4711-3.tmp"), std::string::npos);

    writeFile("game.sav.7-7.tmp", std::string("half a save"));
    fs::last_write_time("game.sav.7-7.tmp", old);
    fs::permissions("game.sav", fs::perms::none);
    {
        PermissionsEnforced enforced;
        loadSram();
    }
    EXPECT_TRUE(fs::exists("game.sav.7-7.tmp"));
}

} // namespace
