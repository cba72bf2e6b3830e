// State files refused for what they are: the machine stays exactly as it was, and the log says
// why. (Saved and loaded runs giving the same bytes: tests/tools/save_state_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cart/rom_loader.h"
#include "common/checksum.h"
#include "common/log.h"
#include "cpu/execution_notes.h"
#include "machine/gba_system.h"
#include "machine/machine_state.h"
#include "machine/memory_access.h"
#include "machine/scheduler.h"
#include "shell/save_states.h"
#include "sound/fifo.h"
#include "support/test_support.h"

namespace {

constexpr size_t headerSize = 28;

class SaveStatesTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
    std::vector<u8> saved;

    // The sound and DMA workout, run for a while with everything it starts under way, saved
    // to "a.st" and then run on, so that a load would change the machine.
    void SetUp() override {
        resetTestMachine();
        resetMachine();
        resetLog();
        ASSERT_TRUE(loadRom(programPath("state_workout.gba").c_str()));
        loadBios();
        runLines(600);
        ASSERT_TRUE(saveStateFile("a.st"));
        saved = readBinaryFile("a.st");
        runLines(300);
    }

    static void runLines(u32 lines) {
        for (u32 i = 0; i < lines; ++i) {
            cpuRun(1232);
        }
    }

    static std::vector<u8> withHeaderWord(std::vector<u8> file, u32 index, u32 value) {
        store32(file.data() + 4 * index, value);
        return file;
    }

    // Loading FILE fails with REASON in the log and leaves every record as it was.
    static void expectRefused(const std::vector<u8>& file, const std::string& reason) {
        writeFile("b.st", file);
        const std::vector<u8> before = saveMachineState();
        EXPECT_FALSE(loadStateFile("b.st")) << reason;
        EXPECT_TRUE(saveMachineState() == before) << reason;
        EXPECT_NE(readTextFile("DBUG.txt").find("\nState not loaded from b.st: " + reason),
                  std::string::npos)
            << readTextFile("DBUG.txt");
    }
};

TEST_F(SaveStatesTest, AStateOfThisRomLoadsWhatWasSaved) {
    EXPECT_EQ(load32(saved.data()), 0x54535651u); // "QVST"
    EXPECT_EQ(load32(saved.data() + 4), stateFormatVersion);
    EXPECT_EQ(load32(saved.data() + 8), romSize);
    EXPECT_EQ(saved.size(), headerSize + load32(saved.data() + 20));
    const std::vector<u8> body(saved.begin() + headerSize, saved.end());
    ASSERT_FALSE(saveMachineState() == body);
    // An idle loop armed in the machine as it ran on would be charged by arithmetic, its
    // polled word never read again, if the loaded CPU stood in the same loop.
    executionNotes.pollLoop = {true, true, gba.cpu.registers[15] - 2, 1, {3, 0, 0}};
    EXPECT_TRUE(loadStateFile("a.st"));
    EXPECT_TRUE(saveMachineState() == body);
    EXPECT_FALSE(executionNotes.pollLoop.armed);
    EXPECT_NE(readTextFile("DBUG.txt").find("\nState loaded from a.st (frame 0)"),
              std::string::npos);
}

TEST_F(SaveStatesTest, ShortDamagedForeignAndNewerStatesChangeNothing) {
    expectRefused(std::vector<u8>(saved.begin(), saved.begin() + 20),
                  "the file is too short for a state");
    expectRefused(std::vector<u8>(saved.begin(), saved.end() - 100), "the file is cut short");
    expectRefused(withHeaderWord(saved, 1, stateFormatVersion + 1),
                  "format version 2, this program reads version 1");
    expectRefused(withHeaderWord(saved, 0, 0x12345678), "not a state file");
    std::vector<u8> damaged = saved;
    damaged[headerSize + 5000] ^= 0x40;
    expectRefused(damaged, "the file is damaged");

    // Another ROM: one byte of the game pak differs.
    gba.GamePakRom[0x10] ^= 1;
    expectRefused(saved, "saved with another ROM");
    gba.GamePakRom[0x10] ^= 1;

    // Whole and well summed, but an index no table of the machine has: FIFO A's read index
    // lies in the record "FIFO".
    std::vector<u8> body(saved.begin() + headerSize, saved.end());
    size_t at = 0;
    while (std::string(body.begin() + at, body.begin() + at + 4) != "FIFO") {
        at += 8 + load32(body.data() + at + 4);
    }
    store16(body.data() + at + 8 + offsetof(SoundFifo, readIndex), 200);
    std::vector<u8> forged = withHeaderWord(saved, 6, crc32(body.data(), body.size()));
    std::copy(body.begin(), body.end(), forged.begin() + headerSize);
    expectRefused(forged, "the file does not fit this program: a value out of range (sound FIFO)");

    EXPECT_FALSE(loadStateFile("missing.st"));
    EXPECT_NE(readTextFile("DBUG.txt")
                  .find("\nState not loaded from missing.st: the file cannot "
                        "be read"),
              std::string::npos);
}

TEST(Checksum, IsTheCrc32OfZip) {
    EXPECT_EQ(crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32("6789", 4, crc32("12345", 5)), 0xCBF43926u);
}

} // namespace
