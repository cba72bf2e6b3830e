// The emulator on the headless host against hostile files and programs: FIFOs and links to
// devices where its files should be, a read-only ROM folder, a quit in the middle of a frame
// group, a program that fills the log, and a DMA that restarts itself for ever.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/run_state.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "platform/headless/headless_host.h"
#include "shell/debug_keys.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

class FilesUnderFaults : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    void SetUp() override {
        resetTestMachine();
        resetHeadlessHost();
        // A program that blocks in an open never reaches the end of the test.
        alarm(60);
    }
    void TearDown() override { alarm(0); }

    static int run(const std::string& program, u32 escapeFrame,
                   const std::string& rom = "game.gba") {
        fs::copy_file(programPath(program + ".gba"), rom, fs::copy_options::overwrite_existing);
        headlessScriptKey(escapeFrame, dik::escape, true);
        return quarvendMain(rom.c_str());
    }

    static std::string log() { return readTextFile("DBUG.txt"); }

    static bool isFifo(const char* path) {
        struct stat status;
        return lstat(path, &status) == 0 && S_ISFIFO(status.st_mode);
    }
};

// A FIFO as the configuration, the boot image or a save counts as missing, and as the ROM it
// is a ROM that cannot be opened; the FIFO save is not replaced, and the player hears of it.
TEST_F(FilesUnderFaults, FifosAsInputFilesCountAsMissing) {
    for (const char* name : {"Quarvend.CFG", "GBA.BIOS", "game.sav", "fifo.gba"}) {
        ASSERT_EQ(mkfifo(name, 0644), 0) << name;
    }
    EXPECT_EQ(run("sram_writer", 5), exitNormal);
    std::string text = log();
    EXPECT_NE(text.find("\nQuarvend.CFG not found: using default settings"), std::string::npos);
    EXPECT_NE(text.find("\nGBA.BIOS not found or short"), std::string::npos);
    EXPECT_TRUE(isFifo("game.sav"));
    EXPECT_EQ(headless.messageBoxText,
              "Could not write save file game.sav: it is not a regular file");

    resetHeadlessHost();
    EXPECT_EQ(quarvendMain("fifo.gba"), exitRomNotOpened);
    EXPECT_EQ(headless.messageBoxText, "Cannot open ROM file: fifo.gba");
}

// A save name that is a link to a device is never written through nor replaced, neither by
// the periodic write nor at exit.
TEST_F(FilesUnderFaults, LinkToADeviceIsNotWritten) {
    fs::create_symlink("/dev/null", "game.sav");
    EXPECT_EQ(run("sram_writer", 300), exitNormal);
    EXPECT_EQ(fs::read_symlink("game.sav"), "/dev/null");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    const std::string refused = "Could not write save file game.sav: it is not a regular file";
    std::string text = log();
    size_t first = text.find(refused);
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(refused, first + 1), std::string::npos) << "frame 256 and the exit";
    EXPECT_EQ(headless.messageBoxCaption, "Quarvend Message");
    EXPECT_EQ(headless.messageBoxText, refused);
}

// A game that saved while its folder is read-only: the old save stays, and a message box tells
// the player that the progress is not saved.
TEST_F(FilesUnderFaults, ReadOnlyFolderShowsTheLostSaveInAMessageBox) {
    fs::create_directory("roms");
    writeFile("roms/game.sav", std::string("an earlier save"));
    fs::copy_file(programPath("sram_writer.gba"), "roms/game.gba");
    fs::permissions("roms", fs::perms::owner_read | fs::perms::owner_exec);
    PermissionsEnforced enforced;
    headlessScriptKey(10, dik::escape, true);
    EXPECT_EQ(quarvendMain("roms/game.gba"), exitNormal);
    EXPECT_EQ(readTextFile("roms/game.sav"), "an earlier save");
    EXPECT_EQ(headless.messageBoxCaption, "Quarvend Message");
    EXPECT_EQ(headless.messageBoxText, "Could not write save file roms/game.sav");
    EXPECT_NE(log().find("\nCould not write save file roms/game.sav"), std::string::npos);
}

// Escape in the first frame of a group that would end on frame 256, a periodic write's frame:
// the machine stops at the input poll of that frame, and the shut-down's lines end the log.
TEST_F(FilesUnderFaults, NothingRunsAfterTheQuit) {
    writeFile("Quarvend.CFG", std::string("SKIP=1\r\n"));
    EXPECT_EQ(run("sram_writer", 255), exitNormal);
    EXPECT_EQ(runState.framesRendered, 255u);
    EXPECT_EQ(ioRegister(io::VCOUNT), 225u);
    std::string text = log();
    EXPECT_EQ(text.find("saved to"), text.rfind("saved to")) << "saved once";
    EXPECT_EQ(text.substr(text.size() - 12), "\nQuitting...");
}

// A program that switches into a mode without registers in a loop gets the message logged ten
// times a second and counted beyond that.
TEST_F(FilesUnderFaults, RepeatedMessagesKeepTheLogSmall) {
    EXPECT_EQ(run("empty_mode_loop", 600), exitNormal);
    EXPECT_LT(fs::file_size("DBUG.txt"), 100000u);
    std::string text = log();
    EXPECT_NE(text.find("\n!!!!!!!EMPTYMODE!!!!!!!!!"), std::string::npos);
    EXPECT_NE(text.find("\nRepeated "), std::string::npos);
    EXPECT_NE(text.find(" more times: !!!!!!!EMPTYMODE!!!!!!!!!"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 12), "\nQuitting...");
}

// DMA 3 rewrites its own control register with every unit and so restarts for ever; each
// restart ends the CPU's slice, which must not run the cycle balance into overflow.
TEST_F(FilesUnderFaults, SelfRestartingDmaLeavesTheCycleBalanceBounded) {
    EXPECT_EQ(run("dma_self_control", 1000), exitNormal);
    EXPECT_LE(gba.cpu.cycleBalance, 64);
    EXPECT_GE(gba.cpu.cycleBalance, -64);
}

} // namespace
