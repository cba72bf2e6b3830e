#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/sdl/sound_mixer.h"

namespace {

class SoundMixer : public ::testing::Test {
  protected:
    void SetUp() override { resetSoundStreams(*streams); }

    void play(int buffer, s32 volume, s32 pan, u32 cursor) {
        SoundStream& stream = streams->stream[buffer];
        stream.volume = volume;
        stream.pan = pan;
        stream.cursor = cursor;
        stream.playing = true;
    }

    void fill(int buffer, u32 from, std::initializer_list<u8> bytes) {
        for (u8 byte : bytes) {
            streams->stream[buffer].bytes[from++ % soundBufferBytes] = byte;
        }
    }

    std::vector<s16> mix(u32 frames) {
        std::vector<s16> out(2 * frames, 0x5555);
        mixSoundStreams(*streams, out.data(), frames);
        return out;
    }

    // Large: four buffers of 44100 atomic bytes.
    std::unique_ptr<SoundStreams> streams = std::make_unique<SoundStreams>();
};

TEST_F(SoundMixer, CursorWrapsAtTheBufferEndAndKeepsItsPlace) {
    play(fifoLeftBuffer, 0, 0, soundBufferBytes - 2);
    fill(fifoLeftBuffer, soundBufferBytes - 2, {0x81, 0x82, 0x83, 0x84});
    std::vector<s16> out = mix(3);
    EXPECT_EQ(out[0], 256);
    EXPECT_EQ(out[2], 512);
    EXPECT_EQ(out[4], 768); // byte 0, after the wrap
    EXPECT_EQ(streams->stream[fifoLeftBuffer].cursor, 1u);
    // A byte played is silence until it is written again: a lap without writing is quiet.
    EXPECT_EQ(streams->stream[fifoLeftBuffer].bytes[soundBufferBytes - 2], 0x80);
    out = mix(1);
    EXPECT_EQ(out[0], 1024);
    EXPECT_EQ(streams->stream[fifoLeftBuffer].cursor, 2u);
}

TEST_F(SoundMixer, HardPanKeepsEachBufferOnItsSideAndSidesSum) {
    play(fifoLeftBuffer, 0, -10000, 0);
    play(fifoRightBuffer, 0, 10000, 0);
    play(psgLeftBuffer, 0, -10000, 0);
    fill(fifoLeftBuffer, 0, {0x90});  // +16
    fill(fifoRightBuffer, 0, {0x70}); // -16
    fill(psgLeftBuffer, 0, {0x88});   // +8
    std::vector<s16> out = mix(2);
    EXPECT_EQ(out[0], (16 + 8) * 256);
    EXPECT_EQ(out[1], -16 * 256);
    EXPECT_EQ(out[2], 0); // the rest of the buffers is silence
    EXPECT_EQ(out[3], 0);
}

TEST_F(SoundMixer, PartialPanAttenuatesOnlyTheOtherSide) {
    play(fifoLeftBuffer, 0, 2000, 0); // 20 dB off the left
    fill(fifoLeftBuffer, 0, {0xC0});  // +64
    std::vector<s16> out = mix(1);
    EXPECT_NEAR(out[0], 64 * 256 / 10, 1);
    EXPECT_EQ(out[1], 64 * 256);
}

TEST_F(SoundMixer, VolumeIsTenToTheHundredthsOfDecibelOver2000) {
    play(fifoLeftBuffer, -2000, -10000, 0);
    play(fifoRightBuffer, -280, 10000, 0);
    fill(fifoLeftBuffer, 0, {0xC0, 0xC0});
    fill(fifoRightBuffer, 0, {0xC0, 0xC0});
    std::vector<s16> out = mix(1);
    EXPECT_NEAR(out[0], 64 * 256 / 10, 1);
    EXPECT_NEAR(out[1], 64 * 256 * 0.72444, 1);
    streams->stream[fifoLeftBuffer].volume = -10000;
    out = mix(1);
    EXPECT_EQ(out[0], 0);
}

TEST_F(SoundMixer, StoppedBuffersAreSilentAndHoldTheirPlace) {
    play(fifoLeftBuffer, 0, -10000, 100);
    streams->stream[fifoLeftBuffer].playing = false;
    fill(fifoLeftBuffer, 100, {0xFF});
    std::vector<s16> out = mix(4);
    for (s16 sample : out) {
        EXPECT_EQ(sample, 0);
    }
    EXPECT_EQ(streams->stream[fifoLeftBuffer].cursor, 100u);
}

TEST_F(SoundMixer, SumsBeyondFullScaleClipInsteadOfWrapping) {
    for (int buffer = 0; buffer < 4; ++buffer) {
        play(buffer, 0, 0, 0);
        fill(buffer, 0, {0xFF, 0x00});
    }
    std::vector<s16> out = mix(2);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], 32767);
    EXPECT_EQ(out[2], -32768);
    EXPECT_EQ(out[3], -32768);
}

} // namespace

// The output filter takes a constant offset away within a fraction of a second and lets a
// tone through: a 1 kHz square of ±4000 on an offset of +3000 comes out centred on 0.
TEST(SoundOutputCentring, TakesTheOffsetAwayAndKeepsTheTone) {
    OutputCentring state{};
    std::vector<s16> out(2 * 44100);
    for (size_t frame = 0; frame < out.size() / 2; ++frame) {
        s16 level = static_cast<s16>(3000 + ((frame / 22) % 2 ? 4000 : -4000));
        out[2 * frame] = level;
        out[2 * frame + 1] = 3000;
    }
    centreSoundOutput(state, out.data(), static_cast<u32>(out.size() / 2));
    double sum = 0;
    s16 peak = 0;
    for (size_t frame = 22050; frame < out.size() / 2; ++frame) {
        sum += out[2 * frame];
        peak = std::max(peak, out[2 * frame]);
        EXPECT_NEAR(out[2 * frame + 1], 0, 2);
    }
    EXPECT_NEAR(sum / 22050, 0, 20);
    EXPECT_NEAR(peak, 4000, 200);

    // After a second of silence the same tone fades in instead of jumping to its offset, a
    // pop: 5 ms in, it is at a quarter of its level.
    std::fill(out.begin(), out.end(), 0);
    centreSoundOutput(state, out.data(), 44100);
    for (size_t frame = 0; frame < 1000; ++frame) {
        out[2 * frame] = static_cast<s16>(3000 + ((frame / 22) % 2 ? 4000 : -4000));
    }
    centreSoundOutput(state, out.data(), 1000);
    EXPECT_LE(*std::max_element(out.begin(), out.begin() + 2 * 220), 7000 / 4);
    EXPECT_GE(*std::max_element(out.begin() + 1800, out.begin() + 2000), 6000);
}
