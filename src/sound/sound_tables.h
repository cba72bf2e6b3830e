// Timing tables of the tone and wave channels, filled once at start-up. Every value is scaled
// by 32: a counter loses 32 per output sample (16 for the envelope and sweep step counters).
#pragma once

#include "common/types.h"

constexpr u32 toneFrequencies = 2048; // 11-bit frequency values

// One period of a tone at 131072 / (2048 - n) Hz, in output samples x 32.
extern u16 periodTable[toneFrequencies];
// One period of the wave channel's 32 samples at 65536 / (2048 - n) Hz (each 4-bit sample
// lasts 8 x (2048 - n) cycles), in output samples x 32: twice the tone period.
extern u16 wavePeriodTable[toneFrequencies];
// The high part of a period for each duty field: 1/8, 1/4, 1/2 and 3/4.
extern u16 highTimeTable[4][toneFrequencies];
// Envelope and sweep step times: 11025 x k, so a step lasts 689 x k samples (k/64 s).
extern s32 stepTimeTable[8];
// Tone length for the 6-bit length value t: 22050 x (64 - t).
extern s32 toneLengthTable[64];

void buildSoundTables();

// Wave channel length for the 8-bit length value t of SOUND3CNT_H.
inline s32 waveLength(u32 t) {
    return static_cast<s32>((256 - (t & 0xFF)) * 352800);
}
