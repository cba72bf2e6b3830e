// The demo game (roms/demo) through the headless runner: its high score survives in the
// battery RAM file beside the ROM from one run to the next.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

class DemoGameTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
    fs::path rom = scratch.path() / "demo.gba";

    void SetUp() override { fs::copy_file(programPath("demo.gba"), rom); }

    // Starts a game at frame 70 and fires from frame 80 to FIRE_UNTIL; the ship is never
    // steered, so the enemies end the game within FRAMES.
    std::string playCommand(u32 frames, u32 fireUntil, const std::string& extra = "") {
        return std::string("'") + QUARVEND_RUNNER + "' --workdir run --frames " +
               std::to_string(frames) + " --press START@70-72 --press A@80-" +
               std::to_string(fireUntil) + " " + extra + " '" + rom.string() + "' >/dev/null 2>&1";
    }

    int play(u32 frames, u32 fireUntil, const std::string& extra = "") {
        int status = std::system(playCommand(frames, fireUntil, extra).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The high score record at the start of the battery RAM file: "QVHS", the score (little
    // endian) and a check byte. Returns -1 when there is no valid record.
    long long savedScore() {
        std::vector<u8> sram = readBinaryFile(scratch.path() / "demo.sav");
        if (sram.size() != 65536 || std::string(sram.begin(), sram.begin() + 4) != "QVHS") {
            return -1;
        }
        u32 score = sram[4] | (sram[5] << 8) | (sram[6] << 16) | (u32(sram[7]) << 24);
        u8 check = static_cast<u8>((sram[4] + sram[5] + sram[6] + sram[7]) ^ 0xA5);
        return sram[8] == check ? score : -1;
    }
};

TEST_F(DemoGameTest, HighScoreSurvivesInBatteryRamBesideTheRom) {
    // A long game with the fire button held all the time.
    writeFile("sound.cfg", std::string(runnerSoundConfig));
    ASSERT_EQ(play(2600, 2600, "--config sound.cfg --wav play.wav"), 0);
    long long best = savedScore();
    ASSERT_GT(best, 0) << "the first game left no high score in demo.sav";

    // Its shots and explosions are heard through the sample FIFO.
    std::vector<u8> wav = readBinaryFile("play.wav");
    size_t loud = 0;
    for (size_t i = 44; i < wav.size(); ++i) {
        loud += wav[i] < 100 || wav[i] > 156;
    }
    EXPECT_GT(loud, wav.size() / 100) << "the game was silent";

    // A second, shorter game scores less: the high score read back at start-up is kept.
    ASSERT_EQ(play(1000, 300), 0);
    long long second = savedScore();
    EXPECT_EQ(second, best) << "the second game lost the first one's high score";

    // A record whose check byte does not match counts as no high score at all.
    std::vector<u8> sram = readBinaryFile("demo.sav");
    sram[8] ^= 0xFF;
    writeFile("demo.sav", sram);
    ASSERT_EQ(play(1000, 300), 0);
    long long third = savedScore();
    EXPECT_GT(third, 0);
    EXPECT_LT(third, best) << "a damaged record was taken as the high score";
}

// The high score is stored with byte writes when a game ends; the main loop's periodic save puts
// it on disk, so a run killed afterwards loses nothing.
TEST_F(DemoGameTest, PeriodicSaveKeepsTheHighScoreOfAKilledRun) {
    std::string start = playCommand(1000000, 1000000) + " & echo $! >runner.pid";
    ASSERT_EQ(std::system(start.c_str()), 0);
    pid_t runner = std::stoi(readTextFile("runner.pid"));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (savedScore() <= 0 && kill(runner, 0) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(runner, SIGKILL);
    EXPECT_GT(savedScore(), 0) << "no high score on disk before the kill";
}

} // namespace
