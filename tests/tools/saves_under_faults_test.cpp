// Saves and screenshots of the headless runner across processes: a run killed after the
// periodic save, two instances on one ROM, and a second session in the same folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// Starts the runner with ARGUMENTS, its output thrown away.
pid_t startRunner(const std::vector<std::string>& arguments) {
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv = {const_cast<char*>(QUARVEND_RUNNER)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execv(QUARVEND_RUNNER, argv.data());
        _exit(127);
    }
    return pid;
}

int waitForRunner(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool running(pid_t pid) {
    return waitpid(pid, nullptr, WNOHANG) == 0;
}

class SavesUnderFaults : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    std::string copyProgram(const std::string& program, const std::string& name) {
        fs::copy_file(programPath(program + ".gba"), name);
        return (scratch.path() / name).string();
    }
};

// The demo's high score record at the start of its battery RAM file, or -1 when there is none.
long long demoHighScore() {
    std::vector<u8> sram = readBinaryFile("demo.sav");
    if (sram.size() != 65536 || std::string(sram.begin(), sram.begin() + 4) != "QVHS") {
        return -1;
    }
    u32 score = sram[4] | (sram[5] << 8) | (sram[6] << 16) | (u32(sram[7]) << 24);
    u8 check = static_cast<u8>((sram[4] + sram[5] + sram[6] + sram[7]) ^ 0xA5);
    return sram[8] == check ? score : -1;
}

// The demo stores its high score with byte writes when a game ends; the periodic save of the
// main loop puts it on disk, so a kill afterwards loses nothing.
TEST_F(SavesUnderFaults, PeriodicSaveKeepsTheHighScoreOfAKilledRun) {
    std::string rom = copyProgram("demo", "demo.gba");
    pid_t runner = startRunner({"--workdir", "run", "--frames", "1000000", "--press", "START@70-72",
                                "--press", "A@80-1000000", rom});
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (demoHighScore() <= 0 && running(runner) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(runner, SIGKILL);
    waitForRunner(runner);
    EXPECT_GT(demoHighScore(), 0) << "no high score on disk before the kill";
}

// Two instances on one ROM write the same save again and again, each write held half done for
// a moment; whenever another program looks, the save is whole, and neither instance removes or
// overwrites what the other is writing.
TEST_F(SavesUnderFaults, TwoInstancesNeverLeaveAShortSave) {
    std::string rom = copyProgram("sram_writer", "game.gba");
    u32 shortSeen = 0;
    u32 looks = 0;
    for (int round = 0; round < 6; ++round) {
        std::vector<pid_t> runners;
        for (const char* workdir : {"first", "second"}) {
            runners.push_back(startRunner(
                {"--workdir", workdir, "--frames", "2000", "--save-write-pause", "5", rom}));
        }
        while (running(runners[0]) || running(runners[1])) {
            struct stat status;
            if (stat("game.sav", &status) == 0) {
                ++looks;
                shortSeen += status.st_size != 65536;
            }
        }
        ASSERT_EQ(fs::file_size("game.sav"), 65536u);
        for (const char* log : {"first/DBUG.txt", "second/DBUG.txt"}) {
            EXPECT_EQ(readTextFile(log).find("Could not write"), std::string::npos) << log;
        }
    }
    EXPECT_EQ(shortSeen, 0u) << "of " << looks << " looks";
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
        if (entry.path().extension() == ".tmp") {
            left.push_back(entry.path().filename().string());
        }
    }
    EXPECT_EQ(left, std::vector<std::string>{});
}

// A second session in the same folder numbers its screenshots after the first session's.
TEST_F(SavesUnderFaults, SecondSessionKeepsTheFirstSessionsScreenshot) {
    std::string rom = copyProgram("keypad_view", "keys.gba");
    ASSERT_EQ(waitForRunner(startRunner(
                  {"--workdir", "run", "--frames", "8", "--press", "A@1-8", "--shot", "5", rom})),
              0);
    std::vector<u8> first = readBinaryFile("run/Shot0001.BMP");
    ASSERT_EQ(first.size(), 115254u);
    ASSERT_EQ(waitForRunner(startRunner({"--workdir", "run", "--frames", "8", "--shot", "5", rom})),
              0);
    EXPECT_EQ(readBinaryFile("run/Shot0001.BMP"), first);
    std::vector<u8> second = readBinaryFile("run/Shot0002.BMP");
    EXPECT_EQ(second.size(), 115254u);
    EXPECT_NE(second, first) << "the second session's picture is another one";
}

} // namespace
