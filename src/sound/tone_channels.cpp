#include "sound/tone_channels.h"

#include <cstring>

#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "sound/channel_control.h"
#include "sound/noise_channel.h"
#include "sound/sound_tables.h"

ToneChannels toneChannels;

namespace {

constexpr u16 waveStatusBit = 0x4;

// The registers of a tone channel: duty/length/envelope, then frequency/length enable/restart,
// and its status bit in SOUNDCNT_X.
struct SquarePorts {
    u32 control;
    u32 frequency;
    u16 statusBit;
};
constexpr SquarePorts squarePorts[2] = {
    {io::SOUND1CNT_H, io::SOUND1CNT_X, 0x1},
    {io::SOUND2CNT_L, io::SOUND2CNT_H, 0x2},
};

void startSquare(u32 n) {
    SquareChannel& channel = toneChannels.square[n];
    const SquarePorts& ports = squarePorts[n];
    u16 control = ioRegister(ports.control);
    u32 frequency = ioRegister(ports.frequency) & 0x7FF;
    channel.frequency = frequency;
    channel.volume = control >> 12;
    channel.level = -channel.volume;
    channel.phaseFlag = 1;
    channel.phaseCounter = periodTable[frequency] - highTimeTable[(control >> 6) & 3][frequency];
    channel.sweepCounter = stepTimeTable[(ioRegister(io::SOUND1CNT_L) >> 4) & 7]; // channel 1
    channel.envelopeCounter = stepTimeTable[(control >> 8) & 7];
    channel.lengthCounter = toneLengthTable[control & 0x3F];
    takeRestart(ports.frequency, ports.statusBit);
}

// SOUND1CNT_L: shift in bits 0-2, downwards with bit 3. Leaving the 11-bit range stops
// channel 1.
void stepSweep(SquareChannel& channel, u16 sweep, s32 stepTime) {
    channel.sweepCounter -= 16;
    if (channel.sweepCounter >= 0) {
        return;
    }
    channel.sweepCounter += stepTime;
    if (u32 shift = sweep & 7) {
        u32 change = channel.frequency >> shift;
        channel.frequency = (sweep & 8) ? channel.frequency - change : channel.frequency + change;
        if (channel.frequency >= toneFrequencies) {
            stopChannel(channel.stopFlag, squarePorts[0].statusBit);
        }
    }
    channel.phaseFlag = 1;
}

template <bool withSweep>
void synthesiseSquare(u32 n) {
    SquareChannel& channel = toneChannels.square[n];
    const SquarePorts& ports = squarePorts[n];
    // A restart requested when the frame begins is carried out again at the next phase
    // boundary in the high part of the wave.
    bool restartPending = ioRegister(ports.frequency) & restartBit;
    if (toneChannels.firstSynthesis || (restartPending && soundMasterOn())) {
        startSquare(n);
    }
    if (toneChannels.frequencyUpdate[n]) {
        toneChannels.frequencyUpdate[n] = 0;
        channel.frequency = ioRegister(ports.frequency) & 0x7FF;
    }
    if (!(ioRegister(io::SOUNDCNT_X) & ports.statusBit)) {
        return;
    }

    u16& control = ioRegister(ports.control);
    const s32 envelopeStep = stepTimeTable[(control >> 8) & 7];
    const u32 duty = (control >> 6) & 3;
    const bool lengthOn = ioRegister(ports.frequency) & lengthEnableBit;
    const u16 sweep = withSweep ? ioRegister(io::SOUND1CNT_L) : 0;
    const s32 sweepStep = stepTimeTable[(sweep >> 4) & 7];
    s8* out = toneChannels.frameBuffers[n];
    channel.level = channel.phaseFlag ? -channel.volume : channel.volume;
    for (u32 i = 0; i < samplesPerFrame; ++i) {
        if (envelopeStep &&
            stepEnvelope(channel.envelopeCounter, channel.volume, control, envelopeStep)) {
            channel.level = channel.phaseFlag ? -channel.volume : channel.volume;
        }
        if (withSweep && sweepStep) {
            stepSweep(channel, sweep, sweepStep);
        }
        // Frequency 0 is silent; above 2047 (after a sweep) there is no period to play.
        if (channel.stopFlag || channel.frequency == 0 || channel.frequency >= toneFrequencies) {
            std::memset(out + i, 0, samplesPerFrame - i);
            channel.stopFlag = 0;
            return;
        }
        channel.phaseCounter -= 32;
        if (channel.phaseCounter < 0) {
            if (restartPending && channel.phaseFlag == 0) {
                startSquare(n);
                restartPending = false;
            } else {
                s32 high = highTimeTable[duty][channel.frequency];
                channel.phaseCounter +=
                    channel.phaseFlag ? high : periodTable[channel.frequency] - high;
                channel.phaseFlag ^= 1;
                channel.level = -channel.level;
            }
        }
        out[i] = static_cast<s8>(channel.level);
        if (lengthOn) {
            channel.lengthCounter -= 32;
            if (channel.lengthCounter < 0) {
                stopChannel(channel.stopFlag, ports.statusBit);
            }
        }
    }
}

const u8* playedWaveBank() {
    return gba.WaveRamBanks[gba.playedWaveBank & 1];
}

void startWave() {
    WaveChannel& wave = toneChannels.wave;
    wave.frequency = ioRegister(io::SOUND3CNT_X) & 0x7FF;
    s32 period = wavePeriodTable[wave.frequency];
    wave.phase = period;
    wave.stepCounter = 31;
    wave.nextThreshold = period - period / 32;
    wave.position = 0;
    wave.lengthCounter = waveLength(ioRegister(io::SOUND3CNT_H));
    wave.sample = playedWaveBank()[0] >> 4;
    wave.nibbleFlag = 0;
    takeRestart(io::SOUND3CNT_X, waveStatusBit);
}

// Nibbles play high before low. A period ends with the low nibble of byte 15 at the latest,
// so the position never passes byte 15 within a period.
u32 nextWaveNibble(WaveChannel& wave) {
    const u8* bank = playedWaveBank();
    u32 nibble;
    if (wave.nibbleFlag == 0) {
        nibble = bank[wave.position] & 0xF;
    } else {
        wave.position = (wave.position + 1) & 15;
        nibble = bank[wave.position] >> 4;
    }
    wave.nibbleFlag ^= 1;
    return nibble;
}

// A period plays one bank. In 64-sample mode the next period moves on to the other bank, which
// SOUND3CNT_L bit 6 then names, and the CPU sees the bank just played.
u32 beginWavePeriod(WaveChannel& wave, s32 period, bool twoBanks) {
    if (twoBanks) {
        ioRegister(io::SOUND3CNT_L) ^= 0x40;
        gba.playedWaveBank ^= 1;
        gba.cpuWaveBank ^= 1;
    }
    // The part of the sample that ran past the end of the period counts towards the next one,
    // so that periods last period / 32 samples on average, not rounded up to whole samples.
    wave.phase += period;
    wave.stepCounter = 31;
    wave.nextThreshold = period - period / 32;
    wave.position = 0;
    wave.nibbleFlag = 0;
    return playedWaveBank()[0] >> 4;
}

// SOUND3CNT_H bit 15 plays at 75 %; otherwise bits 13-14 give 0, 100, 50 or 25 %.
void fillWaveVolumes(u8 (&volumes)[16]) {
    u16 control = ioRegister(io::SOUND3CNT_H);
    static constexpr u32 shifts[4] = {4, 0, 1, 2};
    for (u32 s = 0; s < 16; ++s) {
        volumes[s] = static_cast<u8>((control & 0x8000) ? (s >> 1) + (s >> 2)
                                                        : s >> shifts[(control >> 13) & 3]);
    }
}

void synthesiseWave() {
    WaveChannel& wave = toneChannels.wave;
    bool restart = ioRegister(io::SOUND3CNT_X) & restartBit;
    if (toneChannels.firstSynthesis || (restart && soundMasterOn())) {
        startWave();
    }
    const u16 control = ioRegister(io::SOUND3CNT_L);
    s8* out = toneChannels.frameBuffers[2];
    if (!(control & 0x80)) {
        std::memset(out, 0, samplesPerFrame);
        return;
    }
    if (!(ioRegister(io::SOUNDCNT_X) & waveStatusBit)) {
        return;
    }

    u8 volumes[16];
    fillWaveVolumes(volumes);
    const bool twoBanks = control & 0x20;
    const bool lengthOn = ioRegister(io::SOUND3CNT_X) & lengthEnableBit;
    const s32 period = wavePeriodTable[wave.frequency];
    for (u32 i = 0; i < samplesPerFrame; ++i) {
        if (wave.stopFlag) {
            std::memset(out + i, 0, samplesPerFrame - i);
            wave.stopFlag = 0;
            return;
        }
        wave.phase -= 32;
        while (wave.phase < wave.nextThreshold) {
            --wave.stepCounter;
            wave.nextThreshold = wave.stepCounter * period / 32;
            u32 nibble =
                wave.phase >= 0 ? nextWaveNibble(wave) : beginWavePeriod(wave, period, twoBanks);
            wave.sample = volumes[nibble];
        }
        out[i] = static_cast<s8>(2 * wave.sample);
        if (lengthOn) {
            wave.lengthCounter -= 32;
            if (wave.lengthCounter < 0) {
                stopChannel(wave.stopFlag, waveStatusBit);
            }
        }
    }
}

} // namespace

void resetToneChannels() {
    toneChannels = ToneChannels{};
}

void synthesiseTones() {
    if (!(ioRegister(io::SOUNDCNT_X) & soundStatusBits)) {
        return;
    }
    synthesiseSquare<true>(0);
    synthesiseSquare<false>(1);
    synthesiseWave();
    synthesiseNoise();
    toneChannels.firstSynthesis = 0;
}
