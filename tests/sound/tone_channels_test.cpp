// Single synthesis frames of channels 1-3, set up by register stores, and the timing tables.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "sound/sound_tables.h"
#include "sound/tone_channels.h"
#include "support/test_support.h"

namespace {

class ToneChannelsTest : public ::testing::Test {
  protected:
    void SetUp() override { resetTestMachine(); }

    static const s8* frame(u32 channel) { return toneChannels.frameBuffers[channel]; }

    // Lengths of the runs of equal levels in a frame buffer, the last (partial) one left out.
    static std::vector<u32> runLengths(u32 channel) {
        std::vector<u32> lengths{1};
        for (u32 i = 1; i < samplesPerFrame; ++i) {
            if (frame(channel)[i] == frame(channel)[i - 1]) {
                ++lengths.back();
            } else {
                lengths.push_back(1);
            }
        }
        lengths.pop_back();
        return lengths;
    }

    // First sample whose magnitude differs from sample 0's.
    static u32 firstVolumeStep(u32 channel) {
        for (u32 i = 1; i < samplesPerFrame; ++i) {
            if (std::abs(frame(channel)[i]) != std::abs(frame(channel)[0])) {
                return i;
            }
        }
        return samplesPerFrame;
    }
};

TEST_F(ToneChannelsTest, TablesHoldTheTimesScaledBy32) {
    EXPECT_EQ(periodTable[0], 22050);
    EXPECT_EQ(periodTable[1792], 2756); // 512 Hz: 86.125 samples
    EXPECT_EQ(periodTable[2047], 10);
    EXPECT_EQ(wavePeriodTable[0], 44100);
    EXPECT_EQ(wavePeriodTable[1792], 5512); // 256 Hz: 172.25 samples
    EXPECT_EQ(wavePeriodTable[2047], 21);
    EXPECT_EQ(highTimeTable[0][1792], 344);
    EXPECT_EQ(highTimeTable[1][1792], 689);
    EXPECT_EQ(highTimeTable[2][1792], 1378);
    EXPECT_EQ(highTimeTable[3][1792], 2067);
    EXPECT_EQ(stepTimeTable[0], 0);
    EXPECT_EQ(stepTimeTable[7], 7 * 11025);
    EXPECT_EQ(toneLengthTable[0], 64 * 22050);
    EXPECT_EQ(toneLengthTable[63], 22050);
    EXPECT_EQ(waveLength(0), 256 * 352800);
    EXPECT_EQ(waveLength(0x1FF), 352800); // only bits 0-7 count
}

TEST_F(ToneChannelsTest, WithStatusBits0To3ClearNothingIsSynthesisedOrRestarted) {
    std::memset(toneChannels.frameBuffers, 0x55, sizeof toneChannels.frameBuffers);
    ioRegister(io::SOUND1CNT_H) = 0xF080;
    ioRegister(io::SOUND1CNT_X) = 0x8000 | 1792;
    ioRegister(io::SOUNDCNT_X) = 0x80;
    synthesiseTones();
    for (u32 channel = 0; channel < 3; ++channel) {
        EXPECT_EQ(frame(channel)[0], 0x55);
        EXPECT_EQ(frame(channel)[734], 0x55);
    }
    EXPECT_EQ(ioRegister(io::SOUND1CNT_X), 0x8000 | 1792);
    EXPECT_EQ(toneChannels.firstSynthesis, 1u);
}

TEST_F(ToneChannelsTest, MasterOffStopsEveryChannelAndDropsRestarts) {
    auto write = [](u32 offset, u32 value) { ioWrite16(0x04000000 + offset, value); };
    write(io::SOUNDCNT_X, 0x8F); // the status bits are not written
    write(io::SOUND3CNT_X, 0x8000 | 1792);
    write(io::SOUND4CNT_H, 0x8000);
    EXPECT_EQ(ioRegister(io::SOUNDCNT_X), 0x8C);
    // Restarts not yet carried out are forgotten; those written while it is off are dropped.
    write(io::SOUNDCNT_X, 0);
    EXPECT_EQ(ioRegister(io::SOUNDCNT_X), 0);
    EXPECT_EQ(ioRegister(io::SOUND3CNT_X), 1792);
    write(io::SOUND2CNT_H, 0x8000 | 1792);
    EXPECT_EQ(ioRegister(io::SOUND2CNT_H), 1792);
    write(io::SOUNDCNT_X, 0x80);
    EXPECT_EQ(ioRegister(io::SOUNDCNT_X), 0x80);
}

TEST_F(ToneChannelsTest, ARestartIsCarriedOutAgainAtTheFirstBoundaryInTheHighPart) {
    // Envelope step time 1: the first step comes 689 samples after the channel starts.
    ioRegister(io::SOUND1CNT_H) = 0xF180;
    ioRegister(io::SOUND1CNT_X) = 1792;
    ioRegister(io::SOUNDCNT_X) = 0x81;
    synthesiseTones();
    EXPECT_EQ(firstVolumeStep(0), 689u);

    // Restarted: the low part ends at sample 43, the high part at 86, where the held restart
    // starts the envelope counter afresh; its first step falls into the next frame.
    resetToneChannels();
    ioRegister(io::SOUND1CNT_H) = 0xF180;
    ioRegister(io::SOUND1CNT_X) = 0x8000 | 1792;
    synthesiseTones();
    EXPECT_EQ(frame(0)[85], 15);
    EXPECT_EQ(frame(0)[86], -15);
    EXPECT_EQ(firstVolumeStep(0), samplesPerFrame);
    synthesiseTones();
    EXPECT_EQ(firstVolumeStep(0), 86u + 1 + 689 - samplesPerFrame);
}

TEST_F(ToneChannelsTest, FrequencyWritesReachTheNextFrameOnlyThroughTheUpdateFlag) {
    ioRegister(io::SOUND2CNT_L) = 0xF080;
    ioRegister(io::SOUNDCNT_X) = 0x82;
    ioWrite16(0x04000000 + io::SOUND2CNT_H, 1792);
    synthesiseTones();
    for (u32 length : runLengths(1)) {
        EXPECT_TRUE(length == 43 || length == 44) << length;
    }
    // A store that bypasses the register write leaves the frequency as it was.
    ioRegister(io::SOUND2CNT_H) = 1920;
    synthesiseTones();
    EXPECT_GE(runLengths(1)[1], 43u);
    // 1920: period 1378, so runs of 21 or 22 samples.
    ioWrite16(0x04000000 + io::SOUND2CNT_H, 1920);
    synthesiseTones();
    std::vector<u32> lengths = runLengths(1);
    for (size_t i = 1; i < lengths.size(); ++i) {
        EXPECT_TRUE(lengths[i] == 21 || lengths[i] == 22) << lengths[i];
    }
}

TEST_F(ToneChannelsTest, FrequencyZeroIsSilentWhileTheStatusStaysOn) {
    ioRegister(io::SOUND1CNT_H) = 0xF080;
    ioRegister(io::SOUND1CNT_X) = 0x8000;
    ioRegister(io::SOUNDCNT_X) = 0x81;
    std::memset(toneChannels.frameBuffers[0], 0x55, samplesPerFrame);
    synthesiseTones();
    synthesiseTones();
    EXPECT_EQ(std::count(frame(0), frame(0) + samplesPerFrame, 0), samplesPerFrame);
    EXPECT_EQ(ioRegister(io::SOUNDCNT_X), 0x81);
}

TEST_F(ToneChannelsTest, WaveVolumeCodesScaleTheSamples) {
    std::memset(gba.WaveRamBanks, 0xFF, sizeof gba.WaveRamBanks);
    ioRegister(io::SOUND3CNT_L) = 0x80;
    ioRegister(io::SOUND3CNT_X) = 1668;
    ioRegister(io::SOUNDCNT_X) = 0x84;
    // Levels are twice the sample: 15 at 0, 100, 50, 25 % and, with bit 15, 75 %.
    for (auto [volume, level] :
         {std::tuple{0x0000, 0}, std::tuple{0x2000, 30}, std::tuple{0x4000, 14},
          std::tuple{0x6000, 6}, std::tuple{0x8000, 20}, std::tuple{0xE000, 20}}) {
        resetToneChannels();
        ioRegister(io::SOUND3CNT_H) = static_cast<u16>(volume);
        synthesiseTones();
        EXPECT_EQ(frame(2)[734], level) << std::hex << volume;
    }
}

TEST_F(ToneChannelsTest, WaveChannelOffIsSilentAndWithoutStatusKeepsItsBuffer) {
    std::memset(gba.WaveRamBanks, 0x77, sizeof gba.WaveRamBanks);
    std::memset(toneChannels.frameBuffers[2], 0x55, samplesPerFrame);
    ioRegister(io::SOUND3CNT_H) = 0x2000;
    ioRegister(io::SOUND3CNT_X) = 1668;
    ioRegister(io::SOUNDCNT_X) = 0x81; // channel 3's status off
    ioRegister(io::SOUND3CNT_L) = 0x80;
    synthesiseTones();
    EXPECT_EQ(frame(2)[100], 0x55);
    ioRegister(io::SOUND3CNT_L) = 0x00;
    synthesiseTones();
    EXPECT_EQ(std::count(frame(2), frame(2) + samplesPerFrame, 0), samplesPerFrame);
    ioRegister(io::SOUND3CNT_L) = 0x80;
    ioRegister(io::SOUNDCNT_X) = 0x84;
    synthesiseTones();
    EXPECT_EQ(frame(2)[100], 14);
}

TEST_F(ToneChannelsTest, In64SampleModeEachPeriodHandsTheCpuTheBankJustPlayed) {
    ioWrite16(0x04000000 + io::SOUND3CNT_L, 0x40); // the CPU sees bank 0
    ioWrite16(0x04000000 + io::WAVE_RAM, 0x1111);
    ioWrite16(0x04000000 + io::SOUND3CNT_L, 0x00); // the CPU sees bank 1
    ioWrite16(0x04000000 + io::WAVE_RAM, 0x2222);
    ioRegister(io::SOUND3CNT_H) = 0x2000;
    ioRegister(io::SOUND3CNT_X) = 1700; // a period of 7493 / 32, about 234 samples
    ioRegister(io::SOUNDCNT_X) = 0x84;
    ioWrite16(0x04000000 + io::SOUND3CNT_L, 0xA0);
    synthesiseTones();
    // Periods begin at samples 234, 468 and 702: three changes of bank.
    EXPECT_EQ(frame(2)[10], 2);
    EXPECT_EQ(frame(2)[240], 4);
    EXPECT_EQ(frame(2)[470], 2);
    EXPECT_EQ(frame(2)[710], 4);
    EXPECT_EQ(gba.playedWaveBank, 1u);
    EXPECT_EQ(gba.cpuWaveBank, 0u);
    EXPECT_EQ(ioRegister(io::SOUND3CNT_L), 0xE0);
    EXPECT_EQ(ioRead16(0x04000000 + io::WAVE_RAM), 0x1111);
}

} // namespace
