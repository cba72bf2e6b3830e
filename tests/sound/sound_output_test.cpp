#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <vector>

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
    EXPECT_EQ(headless.soundPosition[psgLeftBuffer], soundBufferBytes - soundLeadBytes);
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

// Plays FRAMES frames of FIFO A on both sides, a rising ramp, against the headless device
// cursor, which moves CURSOR_PER_FRAME bytes per frame. Returns the bytes each frame wrote and
// checks that each frame went on where the last one ended.
class SoundLeadTest : public SoundOutputTest {
  protected:
    std::vector<u32> play(double cursorPerFrame, u32 frames, bool continuous = true) {
        headless.soundCursorPerFrame = cursorPerFrame;
        ioRegister(io::SOUNDCNT_X) = 0x80;
        ioRegister(io::SOUNDCNT_H) = 0x0300;
        std::vector<u32> counts;
        for (u32 frame = 1; frame <= frames; ++frame) {
            runState.framesRendered = frame;
            for (u32 i = 0; i < samplesPerFrame; ++i) {
                soundFifos[0].frameBuffer[i] =
                    static_cast<s8>(((frame - 1) * samplesPerFrame + i) % 64);
            }
            soundFifos[0].frameSampleCount = samplesPerFrame;
            size_t before = headless.soundCapture[fifoLeftBuffer].size();
            u32 offset = soundOutput.writeOffset;
            soundFrame();
            u32 count = static_cast<u32>(headless.soundCapture[fifoLeftBuffer].size() - before);
            if (continuous) {
                EXPECT_EQ(soundOutput.writeOffset, (offset + count) % soundBufferBytes) << frame;
            }
            counts.push_back(count);
        }
        return counts;
    }

    // How far the writing is ahead of the device's cursor, the last frame included.
    static s32 lead() {
        return static_cast<s32>(
            (soundOutput.writeOffset + soundBufferBytes - hostSoundPlayPosition(0)) %
            soundBufferBytes);
    }
};

// A device 3 % faster or slower than the frames: each frame's bytes grow or shrink by a few,
// never by many at once, by repeating or leaving out single samples, so the wave goes on
// without a jump; the distance to the cursor settles near its aim and is never lost.
TEST_F(SoundLeadTest, DriftIsTakenUpBySamplesRepeatedOrLeftOut) {
    for (double pace : {1.03, 0.97}) {
        SCOPED_TRACE(pace);
        SetUp();
        std::vector<u32> counts = play(samplesPerFrame * pace, 1200);
        for (size_t i = 1; i < counts.size(); ++i) {
            EXPECT_NEAR(counts[i], samplesPerFrame * pace, 48);
            EXPECT_LE(std::abs(static_cast<int>(counts[i]) - static_cast<int>(counts[i - 1])), 8);
        }
        EXPECT_NEAR(lead() - static_cast<s32>(counts.back()), static_cast<s32>(soundLeadBytes),
                    100);
        EXPECT_NEAR(counts.back(), samplesPerFrame * pace, 2);
        // The FIFO mix inverts: the byte 0x80 - v, scaled by the start-up volume.
        const std::vector<float>& left = headless.soundCapture[fifoLeftBuffer];
        float gain = -left[1];
        for (size_t i = left.size() - 2 * counts.back(); i < left.size(); ++i) {
            int step = static_cast<int>(std::lround((left[i - 1] - left[i]) / gain)) & 63;
            EXPECT_TRUE(pace > 1 ? step == 0 || step == 1 : step == 1 || step == 2) << i;
        }
    }
}

// A cursor far from where the writing expects it (the emulation was paused) moves the writing
// to the usual distance ahead of it at once.
TEST_F(SoundLeadTest, ALostDistanceMovesTheWriteOffset) {
    play(samplesPerFrame, 10);
    headless.soundPosition[fifoLeftBuffer] += 20000;
    play(samplesPerFrame, 1, false);
    EXPECT_EQ(lead(), static_cast<s32>(soundLeadBytes + samplesPerFrame));
}

// At half speed a frame lasts twice as long: each sample is written twice.
TEST_F(SoundLeadTest, HalfSpeedWritesEachSampleTwice) {
    settings.halfSpeed = 1;
    std::vector<u32> counts = play(2.0 * samplesPerFrame, 3);
    EXPECT_EQ(counts.back(), 2 * samplesPerFrame);
    const std::vector<float>& left = headless.soundCapture[fifoLeftBuffer];
    size_t start = left.size() - counts.back();
    for (u32 i = 0; i < 2 * samplesPerFrame; i += 2) {
        EXPECT_EQ(left[start + i], left[start + i + 1]);
    }
    EXPECT_NE(left[start + 2], left[start]);
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
