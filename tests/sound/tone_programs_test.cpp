// The sound test programs of roms/sound run through the headless runner; each test reads the
// WAV file (16-bit stereo, 735 sample pairs per frame) and the registers the program shows.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace {

constexpr s32 frameSamples = 735;
constexpr s32 step = 256; // one step of an 8-bit host buffer in the 16-bit file

struct SoundRun {
    int exitCode = -1;
    std::string output;
    std::vector<s32> left, right;

    // A register as --regs printed it (the programs keep sound registers in r7-r11).
    u32 reg(int n) const {
        std::string key = "R" + std::to_string(n) + "=";
        size_t at = output.find(key);
        return at == std::string::npos ? 0xDEADBEEF
                                       : std::stoul(output.substr(at + key.size(), 8), nullptr, 16);
    }
};

// Runs PROGRAM for FRAMES frames (FRAMES - 1 frames of sound) with sound on.
SoundRun runSound(const std::string& program, u32 frames) {
    writeFile("sound.cfg", std::string("ENABLESOUND=YES\r\n"));
    std::string command = std::string("'") + QUARVEND_RUNNER + "' --workdir run --bios '" +
                          programPath("irq_counter_bios.bin").string() +
                          "' --config sound.cfg --regs --wav out.wav --frames " +
                          std::to_string(frames) + " '" + programPath(program + ".gba").string() +
                          "' 2>&1";
    SoundRun run;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
            run.output.append(buffer, read);
        }
        int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::vector<u8> wav = readBinaryFile("out.wav");
    if (wav.size() != 44 + 4 * frameSamples * (frames - 1)) {
        ADD_FAILURE() << program << ": WAV of " << wav.size() << " bytes\n" << run.output;
        return run;
    }
    for (size_t at = 44; at + 3 < wav.size(); at += 4) {
        run.left.push_back(static_cast<s16>(wav[at] | (wav[at + 1] << 8)));
        run.right.push_back(static_cast<s16>(wav[at + 2] | (wav[at + 3] << 8)));
    }
    return run;
}

struct LevelRun {
    s32 value;
    s32 length;
};

std::vector<LevelRun> runsOf(const std::vector<s32>& samples, size_t from, size_t to) {
    std::vector<LevelRun> runs;
    for (size_t i = from; i < to; ++i) {
        if (runs.empty() || runs.back().value != samples[i]) {
            runs.push_back({samples[i], 0});
        }
        ++runs.back().length;
    }
    return runs;
}

// Index of the last non-zero sample, -1 when all are zero.
s32 lastSound(const std::vector<s32>& samples) {
    for (s32 i = static_cast<s32>(samples.size()) - 1; i >= 0; --i) {
        if (samples[i] != 0) {
            return i;
        }
    }
    return -1;
}

// Magnitude of the frequency HZ in SAMPLES[FROM, FROM + COUNT) (Goertzel).
double magnitude(const std::vector<s32>& samples, size_t from, size_t count, double hz) {
    double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / 44100);
    double previous = 0, beforePrevious = 0;
    for (size_t i = from; i < from + count; ++i) {
        double current = samples[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return std::sqrt(previous * previous + beforePrevious * beforePrevious -
                     coefficient * previous * beforePrevious) /
           static_cast<double>(count);
}

// Share of SAMPLES[FROM, TO) equal to the sample LAG or LAG + 1 later (for a repeat that
// lasts a fraction of a sample more than LAG).
double repeatShare(const std::vector<s32>& samples, size_t from, size_t to, size_t lag) {
    size_t equal = 0;
    for (size_t i = from; i < to; ++i) {
        equal += samples[i] == samples[i + lag] || samples[i] == samples[i + lag + 1];
    }
    return static_cast<double>(equal) / static_cast<double>(to - from);
}

// The volume of an envelope from START in DIRECTION with step time K at SAMPLE after its
// start: step j comes at sample floor(j x k x 11025 / 16), as the counter loses 16 per sample
// and gains 11025 x k per step.
s32 envelopeVolume(s32 start, s32 direction, s32 k, s32 sample) {
    s32 steps = 0;
    while ((steps + 1) * k * 11025 / 16 <= sample) {
        ++steps;
    }
    return std::clamp(start + direction * steps, 0, 15);
}

// Sum of the changes from sample to sample in SAMPLES[FROM, FROM + COUNT).
s64 variation(const std::vector<s32>& samples, size_t from, size_t count) {
    s64 sum = 0;
    for (size_t i = from + 1; i < from + count; ++i) {
        sum += std::abs(samples[i] - samples[i - 1]);
    }
    return sum;
}

class ToneProgramTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
};

TEST_F(ToneProgramTest, Channel1AtFrequency1792WithDuty2AlternatesEvery43Or44Samples) {
    SoundRun run = runSound("square_duty", 31);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.left, run.right);
    std::vector<LevelRun> runs = runsOf(run.left, 0, run.left.size());
    EXPECT_EQ(runs.front().value, -15 * step); // a start begins in the low half
    for (size_t i = 0; i + 1 < runs.size(); ++i) {
        ASSERT_EQ(std::abs(runs[i].value), 15 * step) << "run " << i;
        ASSERT_TRUE(runs[i].length == 43 || runs[i].length == 44)
            << "run " << i << " of " << runs[i].length;
    }
    // 512 Hz: two runs per period of 86.125 samples.
    EXPECT_NEAR(runs.size() / 2.0, run.left.size() / 86.125, 1.0);
    EXPECT_EQ(run.reg(9), 1792u); // SOUND1CNT_X: the restart bit was taken
    EXPECT_EQ(run.reg(7), 0x81u);
}

TEST_F(ToneProgramTest, UpwardSweepPast2047SilencesChannel1AndClearsItsStatusBit) {
    SoundRun run = runSound("sweep_up", 8);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // The restart is carried out again at the first boundary in the high part, sample 184;
    // from there the sweep steps every 689 samples: 1500, 1687 at sample 873, 1897 at 1562,
    // then 2134 at 2251, which stops the channel in the fourth frame; a frame whose status bit
    // ends clear is not mixed. A step shortens the wave's current half only from the next
    // one on, and a sweep step sets the phase flag, so the third frame starts with a short run.
    struct Window {
        size_t from, to;
        s32 shortest, longest;
    } windows[] = {{0, 900, 92, 93}, {940, 1460, 60, 61}, {1600, 2199, 25, 26}};
    for (const Window& window : windows) {
        std::vector<LevelRun> runs = runsOf(run.left, window.from, window.to);
        ASSERT_GE(runs.size(), 3u);
        for (size_t i = 1; i + 1 < runs.size(); ++i) {
            EXPECT_GE(runs[i].length, window.shortest) << "from " << window.from;
            EXPECT_LE(runs[i].length, window.longest) << "from " << window.from;
        }
    }
    EXPECT_EQ(lastSound(run.left), 3 * frameSamples - 1);
    EXPECT_EQ(run.reg(7), 0x80u);
}

TEST_F(ToneProgramTest, EnvelopesStepTheVolumeEvery689TimesKSamples) {
    SoundRun run = runSound("envelope", 20);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // The restarts are carried out again at the first boundary in the high part of the wave,
    // where the envelopes begin: sample 87 for channel 1 (1792), 50 for channel 2 (1900).
    const s32 left = 87, right = 50;
    for (s32 i = 0; i < static_cast<s32>(run.left.size()); ++i) {
        ASSERT_EQ(std::abs(run.left[i]), envelopeVolume(15, -1, 2, i - left) * step)
            << "left sample " << i;
        ASSERT_EQ(std::abs(run.right[i]), envelopeVolume(0, 1, 1, i - right) * step)
            << "right sample " << i;
    }
    // The volumes are written back into SOUND1CNT_H and SOUND2CNT_L bits 12-15.
    s32 last = static_cast<s32>(run.left.size()) - 1;
    EXPECT_EQ(run.reg(8), static_cast<u32>(envelopeVolume(15, -1, 2, last - left) << 12 | 0x280));
    EXPECT_EQ(run.reg(11), static_cast<u32>(envelopeVolume(0, 1, 1, last - right) << 12 | 0x980));
}

TEST_F(ToneProgramTest, Channel3PlaysOneBankIn32SampleModeAndBothIn64SampleMode) {
    SoundRun run = runSound("wave_modes", 61);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.left, run.right);
    // Levels of the distinct nibbles in playing order, high nibble first; 2 x the nibble.
    std::vector<s32> triangle;
    for (s32 n = 0; n < 15; ++n) {
        triangle.push_back(n);
    }
    for (s32 n = 15; n > 0; --n) {
        triangle.push_back(n);
    }
    std::vector<s32> bothBanks = triangle;
    bothBanks.push_back(0);
    bothBanks.push_back(15); // bank 1: sixteen nibbles 15, then sixteen 0 (joining the next 0)
    auto checkCycle = [&](size_t from, size_t to, const std::vector<s32>& cycle) {
        std::vector<LevelRun> runs = runsOf(run.left, from, to);
        auto nibble = [&](size_t i) { return runs[i].value / (2 * step); };
        size_t start = 1; // the first whole cycle: nibble 0, then 1
        while (start + 1 < runs.size() && !(nibble(start) == 0 && nibble(start + 1) == 1)) {
            ++start;
        }
        ASSERT_GT(runs.size(), start + 2 * cycle.size()) << "from " << from;
        for (size_t i = start; i + 1 < runs.size(); ++i) {
            ASSERT_EQ(nibble(i), cycle[(i - start) % cycle.size()])
                << "from " << from << " run " << i;
        }
    };
    checkCycle(frameSamples, 20 * frameSamples, triangle);
    checkCycle(35 * frameSamples, 60 * frameSamples, bothBanks);
    EXPECT_EQ(run.reg(7), 0x84u);
}

TEST_F(ToneProgramTest, WithOnlyTheMasterEnableWrittenRestartsStartChannels1And2) {
    SoundRun run = runSound("master_restart", 30);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // Channel 1 at 512 Hz on the left, channel 2 at 1024 Hz on the right, from the first frame:
    // periods of 86.125 and 43.0625 samples, in halves of whole samples.
    for (auto [samples, half] : {std::pair{&run.left, 43.0625}, std::pair{&run.right, 21.53125}}) {
        std::vector<LevelRun> runs = runsOf(*samples, 0, samples->size());
        ASSERT_NEAR(runs.size(), samples->size() / half, 2.0);
        for (size_t i = 0; i + 1 < runs.size(); ++i) {
            ASSERT_EQ(std::abs(runs[i].value), 15 * step) << "run " << i;
            ASSERT_NEAR(runs[i].length, half, 1.0) << "run " << i;
        }
    }
    // The status bits are on at once after the restarts; a write cannot change them.
    EXPECT_EQ(run.reg(6), 0x83u);
    EXPECT_EQ(run.reg(5), 0x83u);
    EXPECT_EQ(run.reg(7), 0x83u);
}

TEST_F(ToneProgramTest, Channel3At1792PlaysItsWaveAt256Hz) {
    SoundRun run = runSound("wave_pitch", 20);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // Sixteen samples at 15, sixteen at 0: one period is a rise to level 30 and a fall to 0.
    std::vector<size_t> rises;
    for (size_t i = 1; i < run.left.size(); ++i) {
        ASSERT_TRUE(run.left[i] == 0 || run.left[i] == 30 * step) << "sample " << i;
        if (run.left[i] > run.left[i - 1]) {
            rises.push_back(i);
        }
    }
    ASSERT_GT(rises.size(), 70u);
    double period = static_cast<double>(rises.back() - rises.front()) / (rises.size() - 1);
    EXPECT_NEAR(period, 44100.0 / 256, 0.05); // 172.27 samples
    EXPECT_EQ(run.left, run.right);
}

TEST_F(ToneProgramTest, Channel4PlaysNoiseOf15BitsAnd7BitsThatRepeatsEvery127Shifts) {
    SoundRun run = runSound("noise", 80);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.left, run.right);
    for (size_t i = 0; i < run.left.size(); ++i) {
        ASSERT_EQ(std::abs(run.left[i]), 15 * step) << "sample " << i;
    }
    // The register starts with all bits set and the output is high only while bit 0 is 0, so
    // the first 15 shifts keep it low: 15 x 2048 cycles at 8192 shifts a second, 80.75 samples.
    std::vector<LevelRun> runs = runsOf(run.left, 0, 200);
    EXPECT_EQ(runs[0].value, -15 * step);
    EXPECT_EQ(runs[0].length, 81);
    // 15 bits (frames 1-26): no frequency stands out of the spectrum and nothing repeats after
    // 127 shifts. 7 bits (frames 33-56): 127 shifts, 683.7 samples, bring back the same levels.
    std::vector<double> spectrum;
    for (double hz = 100; hz <= 4000; hz += 100) {
        spectrum.push_back(magnitude(run.left, frameSamples, 16384, hz));
    }
    double mean = std::accumulate(spectrum.begin(), spectrum.end(), 0.0) / spectrum.size();
    EXPECT_LT(*std::max_element(spectrum.begin(), spectrum.end()), 4 * mean);
    EXPECT_LT(repeatShare(run.left, frameSamples, 26 * frameSamples, 683), 0.7);
    EXPECT_GT(repeatShare(run.left, 33 * frameSamples, 56 * frameSamples, 683), 0.99);
    // Shift clock 14 (from frame 59) stops the shifts: the output stays at its start, low.
    for (size_t i = 62 * frameSamples; i < run.left.size(); ++i) {
        ASSERT_EQ(run.left[i], -15 * step) << "sample " << i;
    }
    EXPECT_EQ(run.reg(7), 0x88u);
}

TEST_F(ToneProgramTest, Channel4FallsByItsEnvelopeAndItsLengthStopsIt) {
    SoundRun run = runSound("noise_envelope", 40);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(lastSound(run.right), -1); // routed to the left only
    const s32 restart = 29 * frameSamples;
    for (s32 i = 0; i < restart; ++i) {
        ASSERT_EQ(std::abs(run.left[i]), envelopeVolume(15, -1, 1, i) * step) << "sample " << i;
    }
    // Restarted with length 60: 22050 x 4 / 32 = 2756 samples, so it stops in the fourth frame
    // after the restart, which is not mixed, and clears SOUNDCNT_X bit 3.
    EXPECT_EQ(std::abs(run.left[restart]), 15 * step);
    EXPECT_EQ(lastSound(run.left), restart + 3 * frameSamples - 1);
    EXPECT_EQ(run.reg(7), 0x80u);
}

TEST_F(ToneProgramTest, LengthCountersStopChannels2And3) {
    SoundRun run = runSound("length_stop", 20);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // Channel 2, length 60: 22050 x 4 / 32 samples, so it stops after sample 2756 (frame 3).
    // Channel 3, length 255: 352800 / 32 samples, so it stops after sample 11025 (frame 15).
    // The frame in which a status bit ends clear is not mixed at all.
    EXPECT_EQ(lastSound(run.left), 2756 / frameSamples * frameSamples - 1);
    EXPECT_EQ(lastSound(run.right), 11025 / frameSamples * frameSamples - 1);
    EXPECT_EQ(run.right[0], 16 * step); // nibble 8, twice
    EXPECT_EQ(run.reg(7), 0x80u);
}

TEST_F(ToneProgramTest, FifoAAndChannel2FollowTheirRouting) {
    SoundRun run = runSound("fifo_and_tone", 20);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // Left: channel 2 alone at half ratio (15 >> 1, -15 >> 1); right: FIFO A alone, its bytes
    // 0x40 and 0xC0 subtracted from 0x80, at the FIFO buffers' start-up volume of -280.
    s32 fifo = static_cast<s32>(std::lround(64 * std::pow(10.0, -280 / 2000.0) * step));
    size_t fifoHigh = 0, fifoLow = 0, toneHigh = 0, toneLow = 0;
    for (size_t i = frameSamples; i < run.left.size(); ++i) {
        toneHigh += run.left[i] == 7 * step;
        toneLow += run.left[i] == -8 * step;
        fifoHigh += run.right[i] == fifo;
        fifoLow += run.right[i] == -fifo;
    }
    size_t samples = run.left.size() - frameSamples;
    EXPECT_EQ(toneHigh + toneLow, samples);
    EXPECT_EQ(fifoHigh + fifoLow, samples);
    EXPECT_GT(std::min({toneHigh, toneLow, fifoHigh, fifoLow}), samples / 3);
}

TEST_F(ToneProgramTest, ProhibitedValuesGiveTheirDefinedResults) {
    SoundRun run = runSound("prohibited", 20);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // Ratio 3 leaves the signed levels as bytes: channel 2's -15 plays as 0xF1, its +15 as
    // 0x0F; channel 1 at frequency 0 adds nothing.
    for (s32 sample : run.left) {
        ASSERT_TRUE(sample == (0xF1 - 0x80) * step || sample == (0x0F - 0x80) * step) << sample;
    }
    // Channel 3 plays the bytes the CPU keeps writing: levels 0-30, at least several of them.
    std::vector<bool> seen(31);
    for (s32 sample : run.right) {
        s32 level = sample / step + 0x80;
        ASSERT_TRUE(level >= 0 && level <= 30 && level % 2 == 0) << sample;
        seen[level] = true;
    }
    EXPECT_GT(std::count(seen.begin(), seen.end(), true), 4);
}

TEST_F(ToneProgramTest, TheTunePlaysItsMelodyWithANoiseHitOnEveryOtherNote) {
    SoundRun run = runSound("tune", 121); // the first eight notes of 15 frames each
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const u32 notes[] = {1798, 1825, 1849, 1860, 1881}; // C5 D5 E5 F5 G5
    const u32 melody[] = {1849, 1849, 1860, 1881, 1881, 1860, 1849, 1825};
    const size_t noteSamples = 15 * frameSamples;
    for (size_t note = 0; note < 8; ++note) {
        auto strength = [&](u32 value) {
            return magnitude(run.left, note * noteSamples + 200, 4000, 131072.0 / (2048 - value));
        };
        u32 strongest = *std::max_element(std::begin(notes), std::end(notes),
                                          [&](u32 a, u32 b) { return strength(a) < strength(b); });
        EXPECT_EQ(strongest, melody[note]) << "note " << note;
    }
    // FIFO A's noise makes the first two frames of notes 0, 2, 4 and 6 far busier.
    for (size_t note = 0; note < 8; note += 2) {
        EXPECT_GT(variation(run.right, note * noteSamples, 2 * frameSamples),
                  3 * variation(run.right, (note + 1) * noteSamples, 2 * frameSamples) / 2)
            << "note " << note;
    }
    EXPECT_EQ(run.left, run.right);
}

} // namespace
