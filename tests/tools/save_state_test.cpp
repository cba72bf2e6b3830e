// Save states through the headless runner: a run that saves a state and goes on, and a run that
// loads it, show the same pictures, registers and sound from there on; the keys save and load
// the slots beside the ROM; a save file on the disk outlives a load.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t wavHeader = 44;
constexpr size_t wavFrame = 735 * 4;

class SaveStateTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    void SetUp() override { writeFile("sound.cfg", std::string(runnerSoundConfig)); }

    // Runs the runner in WORKDIR on ROM (a path in the scratch folder) with ARGUMENTS; its
    // standard output goes to WORKDIR.out.
    static int run(const std::string& workdir, const std::string& rom,
                   const std::string& arguments) {
        std::string command = std::string("'") + QUARVEND_RUNNER + "' --workdir " + workdir +
                              " --config sound.cfg " + arguments + " '" +
                              (fs::current_path() / rom).string() + "' >" + workdir + ".out 2>&1";
        return std::system(command.c_str());
    }

    static std::string log(const std::string& workdir) {
        return readTextFile(workdir + "/DBUG.txt");
    }

    // The sound of the last FRAMES frames of a WAV file.
    static std::vector<u8> lastFrames(const std::string& wav, size_t frames) {
        std::vector<u8> bytes = readBinaryFile(wav);
        if (bytes.size() < wavHeader + frames * wavFrame) {
            return {};
        }
        return std::vector<u8>(bytes.end() - static_cast<long>(frames * wavFrame), bytes.end());
    }

    // Runs ROM for SAVE + MORE + 1 frames, saving a state after frame SAVE and shooting frame
    // SAVE + MORE - 1; then runs from that state for MORE + 1 frames and shoots frame MORE - 1.
    // PRESSES and PRESSES_AFTER hold the buttons of the two runs. Picture, registers and the
    // sound of the last MORE frames must be the same bytes.
    void expectSameAfterLoad(const std::string& rom, u32 save, u32 more, const std::string& presses,
                             const std::string& pressesAfter) {
        SCOPED_TRACE(rom);
        // Folders of their own: a second program's shot would be numbered after the first's.
        const std::string saving = rom + ".saving", loading = rom + ".loading";
        const std::string frames = " --frames ", shot = " --shot ", state = rom + ".st";
        ASSERT_EQ(run(saving, rom,
                      presses + frames + std::to_string(save + more + 1) + " --save-state " +
                          std::to_string(save) + ":" + state + shot +
                          std::to_string(save + more - 1) + " --regs --wav " + saving + ".wav"),
                  0);
        ASSERT_EQ(run(loading, rom,
                      pressesAfter + frames + std::to_string(more + 1) + " --load-state " + state +
                          shot + std::to_string(more - 1) + " --regs --wav " + loading + ".wav"),
                  0);
        const std::string frameText = " (frame " + std::to_string(save) + ")";
        const std::string statePath = (scratch.path() / state).string();
        EXPECT_NE(log(saving).find("\nState saved to " + statePath + frameText), std::string::npos)
            << log(saving);
        EXPECT_NE(log(loading).find("\nState loaded from " + statePath + frameText),
                  std::string::npos)
            << log(loading);
        std::vector<u8> picture = readBinaryFile(saving + "/Shot0001.BMP");
        EXPECT_EQ(picture.size(), 115254u);
        EXPECT_TRUE(picture == readBinaryFile(loading + "/Shot0001.BMP"));
        std::string registers = readTextFile(saving + ".out");
        EXPECT_NE(registers.find("R15="), std::string::npos);
        EXPECT_EQ(registers, readTextFile(loading + ".out"));
        std::vector<u8> sound = lastFrames(saving + ".wav", more);
        EXPECT_EQ(readBinaryFile(loading + ".wav").size(), wavHeader + more * wavFrame);
        EXPECT_FALSE(sound.empty());
        EXPECT_TRUE(sound == lastFrames(loading + ".wav", more));
    }
};

// The demo game in play, and a program that keeps a DMA transfer under way across every frame's
// end with a timer interrupt held back behind it, a timer prescaler half through its period,
// both FIFOs fed by sound DMA and the four tone channels sounding.
TEST_F(SaveStateTest, SavedAndLoadedRunsGiveTheSameBytes) {
    fs::copy_file(programPath("demo.gba"), "demo.gba");
    expectSameAfterLoad("demo.gba", 300, 300, "--press START@70-72 --press A@80-600",
                        "--press A@1-300");
    fs::copy_file(programPath("state_workout.gba"), "workout.gba");
    expectSameAfterLoad("workout.gba", 120, 60, "", "");
}

// Shift+F1 after frame 100 saves slot 1 as workout.ss1 beside the ROM, F1 after frame 200 loads
// it: from there on the run is the one that never left frame 100.
TEST_F(SaveStateTest, ShiftF1SavesAndF1LoadsTheSlotBesideTheRom) {
    fs::copy_file(programPath("state_workout.gba"), "workout.gba");
    ASSERT_EQ(run("keys", "workout.gba",
                  "--frames 261 --press KEY:LShift@100-101 --press KEY:F1@100-100 "
                  "--press KEY:F1@200-200 --shot 250 --regs"),
              0);
    // A copy of its own, which finds no battery RAM file of the first run.
    fs::copy_file(programPath("state_workout.gba"), "plain.gba");
    ASSERT_EQ(run("plain", "plain.gba", "--frames 161 --shot 150 --regs"), 0);
    const std::string slot = (scratch.path() / "workout.ss1").string();
    EXPECT_TRUE(fs::is_regular_file(slot));
    std::string keys = log("keys");
    EXPECT_NE(keys.find("\nState saved to " + slot + " (frame 100)"), std::string::npos) << keys;
    EXPECT_NE(keys.find("\nState loaded from " + slot + " (frame 100)"), std::string::npos) << keys;
    EXPECT_TRUE(readBinaryFile("keys/Shot0001.BMP") == readBinaryFile("plain/Shot0001.BMP"));
    EXPECT_EQ(readTextFile("keys.out"), readTextFile("plain.out"));
}

// A state holds the save memory as the game saw it. The save file on the disk is not written
// over with it; only when the game writes its save memory again is the file replaced, and the
// one it replaces is kept as .bak.
TEST_F(SaveStateTest, ASaveOnTheDiskOutlivesALoad) {
    const std::vector<u8> earlier(65536, 0x5A);

    // A program that never touches its save memory: the file stays as it was.
    fs::copy_file(programPath("idle_loop.gba"), "idle.gba");
    ASSERT_EQ(run("first", "idle.gba", "--frames 10 --save-state 5:idle.st"), 0);
    writeFile("idle.sav", earlier);
    ASSERT_EQ(run("second", "idle.gba", "--frames 20 --load-state idle.st"), 0);
    EXPECT_TRUE(readBinaryFile("idle.sav") == earlier);
    EXPECT_FALSE(fs::exists("idle.sav.bak"));

    // One that writes its battery RAM every frame: written, the earlier file kept.
    fs::copy_file(programPath("state_workout.gba"), "workout.gba");
    ASSERT_EQ(run("first", "workout.gba", "--frames 10 --save-state 5:workout.st"), 0);
    writeFile("workout.sav", earlier);
    ASSERT_EQ(run("second", "workout.gba", "--frames 20 --load-state workout.st"), 0);
    EXPECT_TRUE(readBinaryFile("workout.sav.bak") == earlier);
    std::vector<u8> written = readBinaryFile("workout.sav");
    EXPECT_EQ(written.size(), 65536u);
    EXPECT_FALSE(written == earlier);
    EXPECT_NE(log("second").find("\nSave file kept as " +
                                 (scratch.path() / "workout.sav").string() + ".bak"),
              std::string::npos)
        << log("second");
}

} // namespace
