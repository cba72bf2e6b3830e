#include "sound/noise_channel.h"

#include <cstring>

#include "machine/io_registers.h"
#include "sound/channel_control.h"
#include "sound/sound_tables.h"
#include "sound/tone_channels.h"

namespace {

constexpr u16 noiseStatusBit = 0x8;
constexpr s64 cyclesPerSample = 1 << 24; // in 1/44100 cycles: 2^24 cycles a second

// The time between two shifts, in 1/44100 cycles, for SOUND4CNT_H: 524288 / r / 2^(s+1) Hz
// is r x 2^(s+6) cycles, and r = 0 counts as 0.5. Shift clocks 14 and 15 give no shifts (0).
s64 shiftPeriod(u16 frequency) {
    u32 ratio = frequency & 7;
    u32 shift = (frequency >> 4) & 15;
    if (shift >= 14) {
        return 0;
    }
    s64 cycles = ratio ? static_cast<s64>(ratio) << (shift + 6) : s64{32} << shift;
    return cycles * 44100;
}

void startNoise() {
    NoiseChannel& noise = toneChannels.noise;
    u16 control = ioRegister(io::SOUND4CNT_L);
    noise.shiftRegister = 0x7FFF;
    noise.volume = control >> 12;
    noise.envelopeCounter = stepTimeTable[(control >> 8) & 7];
    noise.lengthCounter = toneLengthTable[control & 0x3F];
    // The first shift comes one period after the start.
    noise.clockCounter = shiftPeriod(ioRegister(io::SOUND4CNT_H));
    takeRestart(io::SOUND4CNT_H, noiseStatusBit);
}

} // namespace

void synthesiseNoise() {
    NoiseChannel& noise = toneChannels.noise;
    if (toneChannels.firstSynthesis ||
        ((ioRegister(io::SOUND4CNT_H) & restartBit) && soundMasterOn())) {
        startNoise();
    }
    if (!(ioRegister(io::SOUNDCNT_X) & noiseStatusBit)) {
        return;
    }

    u16& control = ioRegister(io::SOUND4CNT_L);
    const u16 frequency = ioRegister(io::SOUND4CNT_H);
    const s32 envelopeStep = stepTimeTable[(control >> 8) & 7];
    const bool lengthOn = frequency & lengthEnableBit;
    const s64 period = shiftPeriod(frequency);
    // The feedback (bit 0 XOR bit 1) enters at bit 14, and in 7-bit mode at bit 6 as well, so
    // that bits 0-6 then repeat every 127 shifts.
    const u32 feedbackBits = (frequency & 0x8) ? 0x4040 : 0x4000;
    s8* out = toneChannels.frameBuffers[3];
    for (u32 i = 0; i < samplesPerFrame; ++i) {
        if (envelopeStep) {
            stepEnvelope(noise.envelopeCounter, noise.volume, control, envelopeStep);
        }
        if (noise.stopFlag) {
            std::memset(out + i, 0, samplesPerFrame - i);
            noise.stopFlag = 0;
            return;
        }
        // The output is high while bit 0 is 0.
        out[i] = static_cast<s8>((noise.shiftRegister & 1) ? -noise.volume : noise.volume);
        if (period) {
            noise.clockCounter -= cyclesPerSample;
            while (noise.clockCounter < 0) {
                u32 bits = noise.shiftRegister;
                u32 feedback = (bits ^ (bits >> 1)) & 1;
                noise.shiftRegister = ((bits >> 1) & ~feedbackBits) | (feedbackBits & -feedback);
                noise.clockCounter += period;
            }
        }
        if (lengthOn) {
            noise.lengthCounter -= 32;
            if (noise.lengthCounter < 0) {
                stopChannel(noise.stopFlag, noiseStatusBit);
            }
        }
    }
}
