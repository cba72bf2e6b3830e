#include <gtest/gtest.h>

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

class StartupTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    void SetUp() override {
        resetTestMachine();
        resetHeadlessHost();
        fs::copy_file(programPath("idle_loop.gba"), "game.gba");
        fs::copy_file(programPath("irq_counter_bios.bin"), "GBA.BIOS");
    }

    static void config(const std::string& text) { writeFile("Quarvend.CFG", text); }
    static void escapeAt(u32 frame) { headlessScriptKey(frame, dik::escape, true); }
    static std::string log() { return readTextFile("DBUG.txt"); }

    static bool logHasInOrder(const std::vector<std::string>& lines) {
        std::string text = log();
        size_t at = 0;
        for (const std::string& line : lines) {
            at = text.find(line, at);
            if (at == std::string::npos) {
                ADD_FAILURE() << "missing or out of order: " << line << "\nlog:\n" << text;
                return false;
            }
            at += line.size();
        }
        return true;
    }
};

TEST_F(StartupTest, NormalRunStartsInOrderAndEndsWithEscape) {
    config("INPUT=KEYBOARD\r\n");
    writeFile("game.EEPROM", std::string("from an earlier run"));
    escapeAt(5);
    EXPECT_EQ(quarvendMain("game.gba"), exitNormal);
    EXPECT_EQ(runState.framesRendered, 5u);
    EXPECT_TRUE(logHasInOrder(
        {"\nLoad ROM:", "\nFlashROM Loaded", "\nSRAM Loaded", "\nEEPROM Loaded",
         "\nBIOS Image loaded", "\nWin32 application established\n", "\nKeyboard initialized\n",
         "Start initializing DirectDraw\n", "All DirectX components initialized successfully\n",
         "GameBoy Advance system structure established\n", "Priority set\n", "Emulation start\n",
         "\nTotal Frame:5", "\nVia ESC\n", "\nEEPROM contents saved to  game.EEPROM",
         "\nDirectDraw Uninitialized", "\n5 frames rendered\n0 frames skipped\n"}));
    EXPECT_EQ(log().substr(log().size() - 12), "\nQuitting...");
    // The program never wrote its save memories: only the file that was there is written.
    EXPECT_EQ(log().find("SRAM contents saved"), std::string::npos);
    EXPECT_FALSE(fs::exists("game.sav"));
    EXPECT_EQ(fs::file_size("game.EEPROM"), 16384u);
    EXPECT_FALSE(fs::exists("game.Flash"));
    EXPECT_EQ(runState.emulationRunning, 0u);
}

// Every kind of ROM path that cannot be opened ends at once with exit code 2, says why first
// in the log and in a message box, and writes no save file.
TEST_F(StartupTest, RomThatCannotBeOpenedEndsWithExitCodeTwoAndSaysWhy) {
    fs::create_directory("folder.gba");
    const std::string tooLong(300, 'x');
    for (const std::string& line : {std::string("missing.gba"), std::string("\"game.gba\""),
                                    std::string("folder.gba"), std::string("ab"), tooLong}) {
        SCOPED_TRACE(line.substr(0, 20));
        resetHeadlessHost();
        EXPECT_EQ(quarvendMain(line.c_str()), exitRomNotOpened);
        EXPECT_FALSE(headless.windowOpen);
        EXPECT_EQ(runState.framesRendered, 0u);
        std::string text = "Cannot open ROM file: " + line;
        EXPECT_EQ(log().substr(0, text.size() + 2), "\n" + text + "\n");
        EXPECT_TRUE(
            logHasInOrder({"\nDirectDraw Uninitialized", "\nQuitting...", "\nFlashROM Loaded",
                           "\nSRAM Loaded", "\nEEPROM Loaded", "\nBIOS Image loaded"}));
        EXPECT_EQ(log().find("saved to"), std::string::npos);
        EXPECT_EQ(headless.messageBoxCaption, "Quarvend Message");
        EXPECT_EQ(headless.messageBoxText, text);
    }
    EXPECT_FALSE(fs::exists("missing.sav"));
    EXPECT_FALSE(fs::exists("game.sav"));
}

TEST_F(StartupTest, CommandLinesOutsideThePathBufferAreRefused) {
    quarvendMain("ab");
    EXPECT_NE(log().find("\nCommand line too short"), std::string::npos);
    quarvendMain(std::string(300, 'x').c_str());
    EXPECT_NE(log().find("\nCommand line too long"), std::string::npos);
    EXPECT_FALSE(headless.windowOpen);
}

TEST_F(StartupTest, EachFailingSetUpStepHasItsExitCode) {
    config("ENABLESOUND=YES\r\n");
    writeFile("game.sav", std::string("from an earlier run"));
    struct Case {
        HeadlessFailure failure;
        int exitCode;
        const char* line;
        const char* shown;
    } cases[] = {
        {HeadlessFailure::window, exitWindowFailed, "\nFail to create window",
         "Fail to create window"},
        {HeadlessFailure::input, exitInputFailed, "\nFail to create DirectInput object",
         "Fail to create DirectInput object"},
        {HeadlessFailure::sound, exitSoundFailed, "Unable to create DirectSound object!\n",
         "Start to initialize DirectSound...\nUnable to create DirectSound object!"},
        {HeadlessFailure::display, exitDisplayFailed, "\nDirectDrawCreate Fail",
         "DirectDrawCreate Fail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        resetHeadlessHost();
        headless.failure = c.failure;
        EXPECT_EQ(quarvendMain("game.gba"), c.exitCode);
        // The shut-down after loading writes the saves.
        EXPECT_TRUE(logHasInOrder({c.line, "\nSRAM contents saved to  game.sav", "\nQuitting..."}));
        // The player sees the group's log lines, and nothing of the shut-down's.
        EXPECT_EQ(headless.messageBoxCaption, "Quarvend Message");
        EXPECT_NE(headless.messageBoxText.find(c.shown), std::string::npos)
            << headless.messageBoxText;
        EXPECT_EQ(headless.messageBoxText.find("Quitting"), std::string::npos);
        EXPECT_EQ(runState.framesRendered, 0u);
    }
}

TEST_F(StartupTest, BootFromBiosStartsAtAddressZero) {
    config("BOOTFROMBIOS=YES\r\n");
    escapeAt(1);
    EXPECT_EQ(quarvendMain("game.gba"), exitNormal);
    // The test boot image's reset vector branches to itself.
    EXPECT_EQ(gba.cpu.registers[15], 0u);
    EXPECT_EQ(gba.cpu.registers[13], 0u);
    EXPECT_EQ(ioRegister(io::POSTFLG), 0);
}

TEST_F(StartupTest, WithoutBootFromBiosTheCartridgeRunsAndPostflgReadsOne) {
    escapeAt(1);
    EXPECT_EQ(quarvendMain("game.gba"), exitNormal);
    EXPECT_GE(gba.cpu.registers[15], 0x08000000u);
    EXPECT_EQ(ioRegister(io::POSTFLG), 1);
}

TEST_F(StartupTest, WindowCloseEndsTheProgramLikeEscape) {
    writeFile("game.sav", std::string("from an earlier run"));
    headless.scriptedMessages.push_back({3, hostMessageClose});
    headlessScriptKey(100, dik::escape, true); // a safety net; the close comes first
    EXPECT_EQ(quarvendMain("game.gba"), exitNormal);
    EXPECT_EQ(runState.framesRendered, 3u);
    EXPECT_TRUE(logHasInOrder({"\nSRAM contents saved to  game.sav", "\nQuitting..."}));
}

} // namespace
