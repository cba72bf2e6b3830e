#include <gtest/gtest.h>

#include <tuple>

#include "common/run_state.h"
#include "common/settings.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "platform/headless/headless_host.h"
#include "sound/fifo.h"
#include "sound/sound_output.h"
#include "sound/tone_channels.h"
#include "support/test_support.h"

namespace {

class SoundOutputTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    void SetUp() override {
        resetTestMachine();
        resetHeadlessHost();
        settings.enableSound = 1;
        runState.framesRendered = 0;
        ASSERT_EQ(initSound(), 1);
        for (SoundFifo& fifo : soundFifos) {
            fifo = SoundFifo{};
        }
        resetFifo(0);
        resetFifo(1);
    }

    static const u8* buffer(int which) { return headless.soundBuffers[which].data(); }
};

TEST_F(SoundOutputTest, SetUpPansSilencesAndPositionsTheFourBuffers) {
    EXPECT_EQ(headless.soundPan[fifoLeftBuffer], -10000);
    EXPECT_EQ(headless.soundPan[psgRightBuffer], 10000);
    EXPECT_EQ(headless.soundVolume[fifoRightBuffer], -280);
    EXPECT_EQ(headless.soundPosition[psgLeftBuffer], 40000u);
    EXPECT_EQ(buffer(fifoLeftBuffer)[12345], 0x80);
    EXPECT_NE(readTextFile("DBUG.txt").find("Buffer Size:44100\n"), std::string::npos);
}

TEST_F(SoundOutputTest, SoundOffTouchesNoHostBuffer) {
    resetHeadlessHost();
    settings.enableSound = 0;
    EXPECT_EQ(initSound(), 1);
    soundFrame();
    EXPECT_FALSE(headless.soundOpen);
    EXPECT_TRUE(headless.soundBuffers[0].empty());
}

// A pair whose second buffer cannot be locked is skipped without leaving the first one locked.
TEST_F(SoundOutputTest, AFailedLockReleasesTheOtherBufferOfThePair) {
    headless.soundBuffers[fifoRightBuffer].clear();
    soundFrame();
    for (int which = 0; which < 4; ++which) {
        EXPECT_FALSE(headless.soundLocked[which]) << which;
    }
    EXPECT_TRUE(headless.soundCapture[fifoLeftBuffer].empty());
    EXPECT_EQ(headless.soundCapture[psgLeftBuffer].size(), samplesPerFrame);
}

TEST_F(SoundOutputTest, MasterOffGivesSilenceOnBothFifoSides) {
    soundFifos[0].frameBuffer[0] = 0x10;
    soundFifos[0].frameSampleCount = 1;
    ioRegister(io::SOUNDCNT_H) = 0x0300;
    soundFrame();
    EXPECT_EQ(buffer(fifoLeftBuffer)[0], 0x80);
    EXPECT_EQ(buffer(fifoRightBuffer)[734], 0x80);
}

TEST_F(SoundOutputTest, FifoSamplesAreRoutedAndShortFramesHoldTheRingByte) {
    ioRegister(io::SOUNDCNT_X) = 0x80;
    ioRegister(io::SOUNDCNT_H) = 0x0300 | 0x1000; // A on both sides, B right only
    soundFifos[0].frameBuffer[0] = 0x10;
    soundFifos[0].frameSampleCount = 1;
    soundFifos[0].ring[soundFifos[0].readIndex] = 0x20; // held for the rest of the frame
    soundFifos[1].frameBuffer[0] = 0x08;
    soundFifos[1].frameSampleCount = 1;
    soundFrame();
    EXPECT_EQ(buffer(fifoLeftBuffer)[0], 0x70);
    EXPECT_EQ(buffer(fifoRightBuffer)[0], 0x70 - 0x08);
    EXPECT_EQ(buffer(fifoLeftBuffer)[1], 0x60);
    EXPECT_EQ(buffer(fifoRightBuffer)[1], 0x60);
    EXPECT_EQ(soundFifos[0].frameSampleCount, samplesPerFrame);
}

TEST_F(SoundOutputTest, ToneLevelsFollowRoutingAndOutputRatio) {
    // Both channels start in the low half of their wave: levels -15 and -7.
    ioRegister(io::SOUND1CNT_H) = 0xF080;
    ioRegister(io::SOUND1CNT_X) = 1792;
    ioRegister(io::SOUND2CNT_L) = 0x7080;
    ioRegister(io::SOUND2CNT_H) = 1792;
    ioRegister(io::SOUNDCNT_X) = 0x80 | 0x03;
    ioRegister(io::SOUNDCNT_L) = 0x1000 | 0x0200; // channel 1 left, channel 2 right
    ioRegister(io::SOUNDCNT_H) = 2;               // full level
    soundFrame();
    EXPECT_EQ(buffer(psgLeftBuffer)[0], 0x80 - 15);
    EXPECT_EQ(buffer(psgRightBuffer)[0], 0x80 - 7);
    for (auto [ratio, left, right] :
         {std::tuple{0, 0x80 - 4, 0x80 - 2}, std::tuple{1, 0x80 - 8, 0x80 - 4},
          std::tuple{3, 0x100 - 15, 0x100 - 7}}) {
        toneChannels = ToneChannels{};
        ioRegister(io::SOUNDCNT_H) = static_cast<u16>(ratio);
        soundFrame();
        const u32 at = soundOutput.writeOffset - samplesPerFrame;
        EXPECT_EQ(buffer(psgLeftBuffer)[at], left) << "ratio " << ratio;
        EXPECT_EQ(buffer(psgRightBuffer)[at], right) << "ratio " << ratio;
    }
}

TEST_F(SoundOutputTest, WriteOffsetWrapsAfterSixtyFramesAndPlayStartsOnFrameOne) {
    for (int frame = 1; frame <= 60; ++frame) {
        runState.framesRendered = static_cast<u32>(frame);
        soundFrame();
        if (frame == 1) {
            EXPECT_TRUE(headless.soundPlaying[psgRightBuffer]);
        }
    }
    EXPECT_EQ(soundOutput.writeOffset, 0u);
}

} // namespace
