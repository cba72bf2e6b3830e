#include "platform/sdl/sound_mixer.h"

#include <algorithm>
#include <cmath>

namespace {

// A full-scale byte (±128 around silence) gives full-scale 16-bit output.
constexpr float byteToSample = 256.0f;

// Pole of the output's high-pass filter: the offset decays with a time constant of
// 1 / (1 - pole) = 2500 samples, about 57 ms, and a 500 Hz square loses 2 % of its level over
// a half period.
constexpr float centringPole = 0.9996f;
// The first sound, and sound after a second of silence (a pause), fades in over 20 ms; a game's
// sound effects after shorter silences keep their attack.
constexpr u32 silenceBeforeFade = 44100;
constexpr u32 fadeInFrames = 882;

struct Voice {
    SoundStream* stream;
    u32 start;
    u32 cursor;
    float left;
    float right;
};

// Hundredths of a decibel as a factor: 0 gives 1, -2000 gives 0.1.
float attenuation(s32 hundredthsOfDecibel) {
    return std::pow(10.0f, static_cast<float>(hundredthsOfDecibel) / 2000.0f);
}

// Pan attenuates the other side only, as the original sound interface did.
Voice voiceOf(SoundStream& stream) {
    float gain = attenuation(stream.volume.load(std::memory_order_relaxed));
    s32 pan = stream.pan.load(std::memory_order_relaxed);
    u32 cursor = stream.cursor.load(std::memory_order_relaxed) % soundBufferBytes;
    return {&stream, cursor, cursor, gain * attenuation(std::min(0, -pan)),
            gain * attenuation(std::min(0, pan))};
}

s16 toSample(float level) {
    return static_cast<s16>(std::clamp(std::lround(level), -32768L, 32767L));
}

} // namespace

void resetSoundStreams(SoundStreams& streams) {
    for (SoundStream& stream : streams.stream) {
        for (std::atomic<u8>& byte : stream.bytes) {
            byte.store(0x80, std::memory_order_relaxed);
        }
        stream.cursor = 0;
        stream.volume = 0;
        stream.pan = 0;
        stream.playing = false;
    }
}

void mixSoundStreams(SoundStreams& streams, s16* out, u32 frames) {
    Voice voices[4];
    u32 count = 0;
    for (SoundStream& stream : streams.stream) {
        if (stream.playing.load(std::memory_order_relaxed)) {
            voices[count++] = voiceOf(stream);
        }
    }
    for (u32 frame = 0; frame < frames; ++frame) {
        float left = 0, right = 0;
        for (u32 v = 0; v < count; ++v) {
            Voice& voice = voices[v];
            u8 byte = voice.stream->bytes[voice.cursor].exchange(0x80, std::memory_order_relaxed);
            float level = (static_cast<float>(byte) - 128.0f) * byteToSample;
            left += level * voice.left;
            right += level * voice.right;
            voice.cursor = voice.cursor + 1 == soundBufferBytes ? 0 : voice.cursor + 1;
        }
        out[2 * frame] = toSample(left);
        out[2 * frame + 1] = toSample(right);
    }
    // A position set by the emulation thread meanwhile wins over the advance.
    for (u32 v = 0; v < count; ++v) {
        u32 expected = voices[v].start;
        voices[v].stream->cursor.compare_exchange_strong(expected, voices[v].cursor,
                                                         std::memory_order_relaxed);
    }
}

void centreSoundOutput(OutputCentring& state, s16* out, u32 frames) {
    for (u32 frame = 0; frame < frames; ++frame) {
        s16* sample = out + 2 * frame;
        if (sample[0] == 0 && sample[1] == 0) {
            state.silentFrames = std::min(state.silentFrames + 1, silenceBeforeFade);
        } else {
            if (state.silentFrames == silenceBeforeFade || state.fadeFrames == 0) {
                state.fadeFrames = 1;
            }
            state.silentFrames = 0;
        }
        float gain = 1.0f;
        if (state.fadeFrames > 0 && state.fadeFrames < fadeInFrames) {
            gain = static_cast<float>(state.fadeFrames++) / fadeInFrames;
        }
        for (u32 side = 0; side < 2; ++side) {
            float input = sample[side];
            float output = input - state.lastInput[side] + centringPole * state.lastOutput[side];
            state.lastInput[side] = input;
            state.lastOutput[side] = output;
            sample[side] = toSample(output * gain);
        }
    }
}
