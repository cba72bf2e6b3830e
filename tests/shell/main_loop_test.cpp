#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/run_state.h"
#include "machine/io_registers.h"
#include "platform/headless/headless_host.h"
#include "shell/debug_keys.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

class MainLoopTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    void SetUp() override {
        resetTestMachine();
        resetHeadlessHost();
        fs::copy_file(programPath("idle_loop.gba"), "game.gba");
        fs::copy_file(programPath("irq_counter_bios.bin"), "GBA.BIOS");
    }

    static int run(const std::string& config, u32 escapeFrame, const char* rom = "game.gba") {
        writeFile("Quarvend.CFG", config);
        headlessScriptKey(escapeFrame, dik::escape, true);
        return quarvendMain(rom);
    }

    static size_t count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    }
};

TEST(FrameDeadlines, FollowSkipAndHalfSpeed) {
    fillFrameDeadlines(0, false);
    EXPECT_EQ(frameDeadlines[0], 16);
    EXPECT_EQ(frameDeadlines[1], 33);
    EXPECT_EQ(frameDeadlines[2], 50);
    EXPECT_EQ(frameDeadlines[3], 66);
    EXPECT_EQ(frameDeadlines[239], 4000);
    fillFrameDeadlines(2, true); // half speed: twice as long
    EXPECT_EQ(frameDeadlines[0], 100);
    fillFrameDeadlines(3, true);
    EXPECT_EQ(frameDeadlines[239], 32000);
}

TEST_F(MainLoopTest, FixedSkipDrawsTheFirstFrameOfEachGroup) {
    EXPECT_EQ(run("SKIP=1\r\n", 6), exitNormal);
    EXPECT_EQ(runState.framesRendered, 6u);
    // The set-up clear, then frames 3 and 5: frame 1 starts in the power-on forced blank.
    EXPECT_EQ(headless.flips, 1u + 2u);
    EXPECT_EQ(runState.framesSkipped, 0u);
}

TEST_F(MainLoopTest, SkipAboveThreeIsClampedAndLogged) {
    EXPECT_EQ(run("SKIP=7\r\n", 8), exitNormal);
    EXPECT_EQ(headless.flips, 1u + 1u); // groups of four: frame 5 drawn (1 is blank)
    EXPECT_NE(readTextFile("DBUG.txt").find("\nFrameSkip above 3: using 3"), std::string::npos);
}

TEST_F(MainLoopTest, ChangedSaveMemoryIsWrittenEveryTwoHundredFiftySixFrames) {
    fs::copy_file(programPath("sram_writer.gba"), "saver.gba");
    EXPECT_EQ(run("", 300, "saver.gba"), exitNormal);
    std::string log = readTextFile("DBUG.txt");
    EXPECT_EQ(count(log, "\nSRAM contents saved to  saver.sav"), 2u); // frame 256 and exit

    // Word reads mark the save memory as touched, but unchanged memory needs no file.
    resetTestMachine();
    resetHeadlessHost();
    fs::copy_file(programPath("save_toucher.gba"), "reader.gba");
    EXPECT_EQ(run("", 300, "reader.gba"), exitNormal);
    EXPECT_EQ(readTextFile("DBUG.txt").find("saved to"), std::string::npos);
    EXPECT_FALSE(fs::exists("reader.sav"));
}

TEST_F(MainLoopTest, LateGroupsRunUndrawnAndCountOnce) {
    headless.msPerFrame = 40; // every frame costs more than a group may take
    EXPECT_EQ(run("AUTOSKIP=YES\r\nSKIP=1\r\n", 10), exitNormal);
    EXPECT_NE(readTextFile("DBUG.txt").find("\nAuto Frame Skip"), std::string::npos);
    EXPECT_GE(runState.framesSkipped, 3u);
    EXPECT_EQ(runState.framesRendered, 10u);
    // Each late group runs both its frames undrawn and adds one; the first group is on time
    // but its frame is blank.
    EXPECT_EQ(headless.flips - 1, (10u / 2) - runState.framesSkipped - 1);
}

TEST_F(MainLoopTest, OnTimeGroupsWaitForTheirDeadline) {
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 30), exitNormal);
    EXPECT_EQ(runState.framesSkipped, 0u);
    EXPECT_EQ(headless.flips, 1u + 29u);
    // 29 groups ran to their deadline less the 4 ms margin before Escape came.
    EXPECT_GE(hostMilliseconds(), 483u - 4u);
}

TEST_F(MainLoopTest, HalfSpeedStretchesTheSchedule) {
    EXPECT_EQ(run("AUTOSKIP=YES\r\nHALFSPEED=YES\r\n", 10), exitNormal);
    EXPECT_GE(hostMilliseconds(), 9u * 33u - 4u);
    EXPECT_EQ(runState.framesSkipped, 0u);
}

TEST_F(MainLoopTest, ResyncMakesTheFirstGroupOfTheNextPeriodOnTime) {
    // Every frame costs 20 ms, more than a group may take, so every group after the first is
    // late; F8 re-bases the clock at the end of the 240-group period.
    headless.msPerFrame = 20;
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 245), exitNormal);
    u32 skippedWithoutResync = runState.framesSkipped;

    resetHeadlessHost();
    headless.msPerFrame = 20;
    headlessScriptKey(5, dik::f8, true);
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 245), exitNormal);
    EXPECT_EQ(runState.framesSkipped, skippedWithoutResync - 1);
}

// On a 60 Hz display fixed frame skip leaves the pace to the display's refresh and reads no
// clock; on any other display (or none known) it keeps the clock's 60 frames per second, and
// half speed keeps the clock's 30 on any display.
TEST_F(MainLoopTest, FixedSkipKeepsTheClockUnlessTheDisplayRefreshesAtSixtyHertz) {
    struct Case {
        u32 refresh;
        const char* config;
        bool displayPaces;
        u32 groupMs; // the length of a group by the clock
    } cases[] = {
        {60, "SKIP=2\r\n", true, 0},          {61, "", true, 0},
        {144, "SKIP=2\r\n", false, 50},       {0, "", false, 16},
        {75, "HALFSPEED=YES\r\n", false, 33}, {60, "HALFSPEED=YES\r\n", false, 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.refresh) + " Hz " + c.config);
        resetTestMachine();
        resetHeadlessHost();
        headless.displayRefresh = c.refresh;
        EXPECT_EQ(run(c.config, 30), exitNormal);
        EXPECT_EQ(headless.refreshWait, c.displayPaces);
        EXPECT_EQ(headless.sleepsUntil == 0, c.displayPaces);
        u32 groups = 30 / (std::string(c.config) == "SKIP=2\r\n" ? 3 : 1);
        EXPECT_GE(hostMilliseconds(), (groups - 1) * c.groupMs);
        EXPECT_EQ(headless.flips, 1u + groups - 1); // every group drawn, the first one blank
    }
}

// A fixed-skip group that comes late is still drawn, and the ones after a stall do not race to
// catch up: after a second lost at frame 10, the other 29 groups still take their 16 ms each.
TEST_F(MainLoopTest, LateFixedSkipGroupsAreDrawnAndNotCaughtUp) {
    headless.displayRefresh = 144;
    headless.clockJumps = {{10, 1000}};
    EXPECT_EQ(run("", 40), exitNormal);
    EXPECT_EQ(runState.framesSkipped, 0u);
    EXPECT_EQ(headless.flips, 1u + 39u);
    EXPECT_GE(hostMilliseconds(), 1000u + 38u * 16u);
}

TEST_F(MainLoopTest, InactiveWindowStopsEmulationUntilActivatedAgain) {
    headless.scriptedMessages = {{2, hostMessageDeactivate}, {2, hostMessageActivate}};
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 6), exitNormal);
    EXPECT_EQ(headless.desktopRestores, 1u);
    EXPECT_EQ(runState.framesRendered, 6u);
    EXPECT_EQ(runState.framesSkipped, 0u);
    // Reactivated within the first frames: the display is not rebuilt.
    EXPECT_EQ(count(readTextFile("DBUG.txt"), "Start initializing DirectDraw"), 1u);
}

TEST_F(MainLoopTest, ReactivationRebuildsTheDisplayAndClearsItThirtyFramesLater) {
    headless.scriptedMessages = {{5, hostMessageDeactivate}, {5, hostMessageActivate}};
    EXPECT_EQ(run("", 40), exitNormal);
    EXPECT_EQ(count(readTextFile("DBUG.txt"), "Start initializing DirectDraw"), 2u);
    // Cleared by the first set-up, by the rebuild, and once more 30 frames after it.
    EXPECT_EQ(headless.screenClears, 3u);
}

// Time away does not make the game race to catch up: after three seconds inactive the groups
// are on time again.
TEST_F(MainLoopTest, InactiveTimeIsNotCaughtUp) {
    headless.msPerWait = 3000;
    headless.scriptedMessages = {{5, hostMessageDeactivate}, {5, hostMessageActivate}};
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 30), exitNormal);
    EXPECT_GE(hostMilliseconds(), 3000u + 29u * 16u);
    EXPECT_EQ(runState.framesSkipped, 0u);
    EXPECT_EQ(headless.flips, 2u + 29u); // the two set-ups' clears and every frame after the first
}

// P stops the frames (the clock goes on: the keys are still read) until Pause is pressed; the
// groups after it are on time, not late.
TEST_F(MainLoopTest, PauseStopsTheFramesUntilPressedAgain) {
    headlessScriptKey(10, dik::p, true);
    headlessScriptKey(10, dik::p, false);
    headless.keys.push_back({10, dik::pause, true, 5000});
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 40), exitNormal);
    std::string log = readTextFile("DBUG.txt");
    EXPECT_NE(log.find("\nPause at frame 10\nResume at frame 10"), std::string::npos);
    EXPECT_GE(hostMilliseconds(), 5000u + 30u * 16u);
    EXPECT_EQ(runState.framesSkipped, 0u);
    EXPECT_EQ(headless.flips, 1u + 39u);

    // Escape ends a paused game.
    resetTestMachine();
    resetHeadlessHost();
    headlessScriptKey(3, dik::pause, true);
    headless.keys.push_back({3, dik::escape, true, 2000});
    EXPECT_EQ(quarvendMain("game.gba"), exitNormal);
    EXPECT_EQ(runState.framesRendered, 3u);
    EXPECT_NE(readTextFile("DBUG.txt").find("Via ESC"), std::string::npos);
}

// While Tab is held (frames 10 to 250, 2 ms each) the frames run back to back and are drawn
// once per 16 ms; after it the pace goes on from there without late groups.
TEST_F(MainLoopTest, FastForwardRunsUnpacedAndDrawsSeldom) {
    headless.msPerFrame = 2;
    headlessScriptKey(10, dik::tab, true);
    headlessScriptKey(250, dik::tab, false);
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 300), exitNormal);
    std::string log = readTextFile("DBUG.txt");
    EXPECT_NE(log.find("\nFast forward from frame 10\nNormal speed from frame 250"),
              std::string::npos);
    EXPECT_EQ(runState.framesSkipped, 0u);
    // 60 paced groups of 16.7 ms and 240 frames of about 3 ms.
    EXPECT_GE(hostMilliseconds(), 59u * 16u + 240u * 2u);
    EXPECT_LT(hostMilliseconds(), 60u * 17u + 240u * 4u);
    u32 fastFlips = headless.flips - (1u + 59u);
    EXPECT_GE(fastFlips, 240u * 2u / 16u);
    EXPECT_LE(fastFlips, 240u * 4u / 16u + 1u);
}

// A game that writes its save memory every frame gets its file written every 4 s of the clock
// while fast, not every 256 frames: about 5 s of fast frames, one write and the exit's.
TEST_F(MainLoopTest, FastForwardWritesTheSavesByTheClock) {
    fs::copy_file(programPath("sram_writer.gba"), "saver.gba");
    headless.msPerFrame = 2;
    headlessScriptKey(10, dik::tab, true);
    EXPECT_EQ(run("AUTOSKIP=YES\r\n", 2500, "saver.gba"), exitNormal);
    EXPECT_EQ(count(readTextFile("DBUG.txt"), "\nSRAM contents saved to  saver.sav"), 2u);
}

// On a 60 Hz display the flips wait for its refresh, except while fast.
TEST_F(MainLoopTest, FastForwardFlipsWithoutWaitingForTheRefresh) {
    headlessScriptKey(10, dik::tab, true);
    EXPECT_EQ(run("", 20), exitNormal);
    EXPECT_FALSE(headless.refreshWait);
    resetTestMachine();
    resetHeadlessHost();
    headlessScriptKey(10, dik::tab, true);
    headlessScriptKey(12, dik::tab, false);
    EXPECT_EQ(run("", 20), exitNormal);
    EXPECT_TRUE(headless.refreshWait);
}

// Tab and P that the player gave the A and B buttons stay those buttons; with a game pad the
// keyboard has no buttons and they are speed keys.
TEST_F(MainLoopTest, SpeedKeysGivenToButtonsStayButtons) {
    headlessScriptKey(10, dik::tab, true);
    headlessScriptKey(20, dik::p, true);
    headlessScriptKey(20, dik::p, false);
    headless.keys.push_back({20, dik::p, true, 1000}); // would end a pause
    EXPECT_EQ(run("AUTOSKIP=YES\r\nKEYA=15\r\nKEYB=25\r\n", 60), exitNormal);
    std::string log = readTextFile("DBUG.txt");
    EXPECT_EQ(log.find("Fast forward"), std::string::npos);
    EXPECT_EQ(log.find("Pause"), std::string::npos);
    EXPECT_EQ(ioRegister(io::KEYINPUT) & 1, 0); // A held
    EXPECT_GE(hostMilliseconds(), 59u * 16u);

    resetTestMachine();
    resetHeadlessHost();
    headlessScriptKey(10, dik::tab, true);
    EXPECT_EQ(run("AUTOSKIP=YES\r\nINPUT=GAMEPAD\r\nKEYA=15\r\n", 60), exitNormal);
    EXPECT_NE(readTextFile("DBUG.txt").find("Fast forward from frame 10"), std::string::npos);
}

} // namespace
