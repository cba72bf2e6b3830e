// Tone channels 1 and 2, wave channel 3 and noise channel 4 (sound/noise_channel.cpp),
// synthesised in one go at the end of each frame from the register values at that moment, 735
// samples at 44100 Hz. This unit owns ToneChannels; the SOUND1CNT_X and SOUND2CNT_H writes set
// the frequency update flags, the mixer reads the frame buffers.
#pragma once

#include "common/types.h"
#include "sound/sound_output.h"

// Channel 1 or 2. Counters are signed: a step or segment ends when one goes negative.
struct SquareChannel {
    u32 frequency; // 11-bit value; a sweep may push it above 2047, which stops the channel
    s32 volume;    // envelope volume 0-15
    s32 level;     // output level: plus or minus the volume
    u32 phaseFlag; // 1 in the low part of the period, 0 in the high part
    s32 phaseCounter;
    s32 envelopeCounter;
    s32 lengthCounter;
    s32 sweepCounter; // channel 1 only
    u32 stopFlag;
};

struct WaveChannel {
    u32 frequency;
    u32 position;      // byte 0-15 of the played bank
    s32 stepCounter;   // 31 down to 0: a period has 32 steps
    s32 phase;         // what is left of the period, in samples x 32
    s32 nextThreshold; // the phase below which the next step begins
    u32 nibbleFlag;    // 0: the next sample is the low nibble of the current byte
    u32 sample;        // current 4-bit sample after the volume code
    s32 lengthCounter;
    u32 stopFlag;
};

struct NoiseChannel {
    u32 shiftRegister; // 15 bits; in 7-bit mode only bits 0-6 take part
    // Time to the next shift, in 1/44100 cycles (a cycle is 1/2^24 s): a sample lasts 2^24.
    s64 clockCounter;
    s32 volume; // envelope volume 0-15
    s32 envelopeCounter;
    s32 lengthCounter;
    u32 stopFlag;
};

struct ToneChannels {
    SquareChannel square[2]; // channels 1 and 2
    WaveChannel wave;        // channel 3
    NoiseChannel noise;      // channel 4
    // Makes the first synthesis start every channel as if restarted.
    u32 firstSynthesis = 1;
    // Set by SOUND1CNT_X / SOUND2CNT_H writes: the next synthesis reloads the frequency.
    u32 frequencyUpdate[2];
    // Signed levels of channels 1-4 for the current frame.
    s8 frameBuffers[4][samplesPerFrame];
};

extern ToneChannels toneChannels;

// Power-on state: every channel starts at the first synthesis.
void resetToneChannels();

// Fills the frame buffers of the playing channels for one frame; does nothing while SOUNDCNT_X
// bits 0-3 are all clear, so the buffers keep their old contents.
void synthesiseTones();
