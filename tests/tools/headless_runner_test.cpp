#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode;
    std::string output;
};

// Runs the headless runner with ARGUMENTS (already quoted as needed), collecting stdout and
// stderr.
RunResult runRunner(const std::string& arguments) {
    std::string command = std::string("'") + QUARVEND_RUNNER + "' " + arguments + " 2>&1";
    RunResult result{-1, ""};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return result;
    }
    char buffer[4096];
    while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        result.output.append(buffer, read);
    }
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class HeadlessRunnerTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
    std::string rom = programPath("idle_loop.gba").string();
    std::string bios = programPath("irq_counter_bios.bin").string();

    std::string common() { return "--workdir run --bios '" + bios + "' "; }
};

TEST_F(HeadlessRunnerTest, RunsTheGivenNumberOfFramesAndPrintsTheRegisters) {
    RunResult result = runRunner(common() + "--frames 3 --regs '" + rom + "'");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("R0="), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(" R15=08000"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(" CPSR=0000001F"), std::string::npos) << result.output;
    std::string log = readTextFile("run/DBUG.txt");
    EXPECT_NE(log.find("\nTotal Frame:3"), std::string::npos) << log;
}

TEST_F(HeadlessRunnerTest, HeldButtonsReachKeyinput) {
    // The program copies KEYINPUT into r2; the default configuration maps A to Z.
    RunResult held =
        runRunner(common() + "--frames 5 --press A@1-10 --press UP@2-10 --regs '" + rom + "'");
    EXPECT_NE(held.output.find("R2=000003BE"), std::string::npos) << held.output;
    RunResult released = runRunner(common() + "--frames 5 --press A@1-3 --regs '" + rom + "'");
    EXPECT_NE(released.output.find("R2=000003FF"), std::string::npos) << released.output;
}

TEST_F(HeadlessRunnerTest, ScreenshotsGoToTheWorkingDirectory) {
    RunResult result = runRunner(common() + "--frames 6 --shot 2 --shot 4 '" + rom + "'");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(fs::file_size("run/Shot0001.BMP"), 115254u);
    EXPECT_EQ(fs::file_size("run/Shot0002.BMP"), 115254u);
    EXPECT_FALSE(fs::exists("run/Shot0003.BMP"));

    // A second session in the same folder numbers its pictures after the first session's.
    EXPECT_EQ(runRunner(common() + "--frames 6 --shot 2 '" + rom + "'").exitCode, 0);
    EXPECT_EQ(fs::file_size("run/Shot0003.BMP"), 115254u);
}

TEST_F(HeadlessRunnerTest, FailedSetUpStepsGiveTheProgramsExitCodes) {
    writeFile("sound.cfg", std::string("ENABLESOUND=YES\r\n"));
    EXPECT_EQ(runRunner(common() + "--fail window '" + rom + "'").exitCode, 7);
    EXPECT_EQ(runRunner(common() + "--fail input '" + rom + "'").exitCode, 3);
    EXPECT_EQ(runRunner(common() + "--config sound.cfg --fail sound '" + rom + "'").exitCode, 4);
    EXPECT_EQ(runRunner(common() + "--fail display '" + rom + "'").exitCode, 5);
}

TEST_F(HeadlessRunnerTest, SoundOutputIsWrittenAsAWavFile) {
    writeFile("sound.cfg", std::string("ENABLESOUND=YES\r\n"));
    std::string square = programPath("fifo_square.gba").string();
    RunResult result =
        runRunner(common() + "--config sound.cfg --frames 30 --wav out.wav '" + square + "'");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::vector<u8> wav = readBinaryFile("out.wav");
    auto word = [&](size_t at, int bytes) {
        u32 value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value = (value << 8) | wav[at + i];
        }
        return value;
    };
    // 29 frames of sound, 735 sample pairs of 16 bits each: Escape ends the 30th frame
    // before its sound.
    ASSERT_EQ(wav.size(), 44u + 4u * 735u * 29u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(word(4, 4), wav.size() - 8);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(word(20, 2), 1u);         // PCM
    EXPECT_EQ(word(22, 2), 2u);         // stereo
    EXPECT_EQ(word(24, 4), 44100u);     // samples per second
    EXPECT_EQ(word(28, 4), 44100u * 4); // bytes per second
    EXPECT_EQ(word(32, 2), 4u);         // bytes per sample pair
    EXPECT_EQ(word(34, 2), 16u);        // bits per sample
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    EXPECT_EQ(word(40, 4), wav.size() - 44);

    // From the second half on: a square wave of both signs, about 512 Hz, alike on both sides.
    auto sample = [&](size_t pair, int side) {
        return static_cast<s16>(word(44 + 4 * pair + 2 * side, 2));
    };
    size_t high = 0, low = 0, edges = 0, sidesDiffer = 0;
    const size_t first = 735 * 15, pairs = (wav.size() - 44) / 4;
    for (size_t i = first; i + 1 < pairs; ++i) {
        high += sample(i, 0) > 22 * 256;
        low += sample(i, 0) < -22 * 256;
        edges += (sample(i, 0) > 0) != (sample(i + 1, 0) > 0);
        sidesDiffer += sample(i, 0) != sample(i, 1);
    }
    size_t samples = pairs - first - 1;
    EXPECT_GT(high + low, samples * 9 / 10);
    EXPECT_GT(high, samples / 3);
    EXPECT_GT(low, samples / 3);
    EXPECT_EQ(sidesDiffer, 0u);
    double seconds = samples / 44100.0;
    EXPECT_NEAR(edges / seconds, 2 * 512.0, 100.0);
}

TEST_F(HeadlessRunnerTest, BadOptionsAndUnreadableFilesExitWithTwo) {
    for (const std::string& arguments :
         {std::string("--frames x '") + rom + "'", std::string("--press Q@1-2 '") + rom + "'",
          std::string("--press A@5-2 '") + rom + "'", std::string("--fail printer '") + rom + "'",
          std::string("--bogus '") + rom + "'", std::string("--bios missing.bin '") + rom + "'",
          std::string("--config missing.cfg '") + rom + "'", std::string("")}) {
        RunResult result = runRunner("--workdir bad " + arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments << "\n" << result.output;
        EXPECT_FALSE(result.output.empty()) << arguments;
    }
}

TEST_F(HeadlessRunnerTest, AMissingRomIsTheProgramsBusiness) {
    RunResult result = runRunner(common() + "--regs no-such-game.gba");
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_NE(result.output.find("R15=00000000"), std::string::npos) << result.output;
    std::string log = readTextFile("run/DBUG.txt");
    EXPECT_EQ(log.find("\nCannot open ROM file: no-such-game.gba\n"), 0u) << log;
    EXPECT_NE(log.find("\nQuitting..."), std::string::npos);
}

TEST_F(HeadlessRunnerTest, WithoutWorkdirATemporaryDirectoryIsUsedAndNamed) {
    RunResult result = runRunner("--bios '" + bios + "' --frames 1 --bench '" + rom + "'");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    size_t at = result.output.find("workdir ");
    ASSERT_NE(at, std::string::npos) << result.output;
    std::string dir = result.output.substr(at + 8, result.output.find('\n', at) - at - 8);
    EXPECT_TRUE(fs::exists(fs::path(dir) / "DBUG.txt")) << dir;
    EXPECT_NE(result.output.find("fps "), std::string::npos);
    fs::remove_all(dir);
}

// Two instances on one ROM write the same save again and again, each write held unfinished for
// a moment; whenever another program looks, the save is whole, and neither instance removes or
// overwrites what the other is writing.
TEST_F(HeadlessRunnerTest, TwoInstancesOnOneRomNeverLeaveAShortSave) {
    fs::copy_file(programPath("sram_writer.gba"), "game.gba");
    auto instance = [&](const std::string& workdir) {
        return "'" + std::string(QUARVEND_RUNNER) + "' --workdir " + workdir +
               " --frames 2000 --save-write-pause 5 '" + (scratch.path() / "game.gba").string() +
               "'";
    };
    u32 shortSeen = 0, looks = 0;
    for (int round = 0; round < 6; ++round) {
        std::string both = "(" + instance("first") + " & " + instance("second") +
                           " & wait; touch done) >/dev/null 2>&1 &";
        ASSERT_EQ(std::system(both.c_str()), 0);
        while (!fs::exists("done")) {
            struct stat status;
            if (stat("game.sav", &status) == 0) {
                ++looks;
                shortSeen += status.st_size != 65536;
            }
        }
        fs::remove("done");
        ASSERT_EQ(fs::file_size("game.sav"), 65536u);
        for (const char* log : {"first/DBUG.txt", "second/DBUG.txt"}) {
            EXPECT_EQ(readTextFile(log).find("Could not write"), std::string::npos) << log;
        }
    }
    EXPECT_EQ(shortSeen, 0u) << "of " << looks << " looks";
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

} // namespace
