// Saves and screenshots of the headless runner across processes: two instances on one ROM, and
// a second session in the same folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
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
