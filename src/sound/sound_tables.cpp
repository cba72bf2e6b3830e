#include "sound/sound_tables.h"

u16 periodTable[toneFrequencies];
u16 wavePeriodTable[toneFrequencies];
u16 highTimeTable[4][toneFrequencies];
s32 stepTimeTable[8];
s32 toneLengthTable[64];

void buildSoundTables() {
    for (u32 n = 0; n < toneFrequencies; ++n) {
        // 44100 x (2048 - n) x 32 / 131072, truncated to 16 bits.
        u16 period = static_cast<u16>((44100 * (2048 - n)) >> 12);
        periodTable[n] = period;
        // 44100 x (2048 - n) x 32 / 65536: at most 44100, so it fits.
        wavePeriodTable[n] = static_cast<u16>((44100 * (2048 - n)) >> 11);
        highTimeTable[0][n] = static_cast<u16>(period >> 3);
        highTimeTable[1][n] = static_cast<u16>(period >> 2);
        highTimeTable[2][n] = static_cast<u16>(period >> 1);
        highTimeTable[3][n] = static_cast<u16>((period >> 2) * 3);
    }
    for (s32 k = 0; k < 8; ++k) {
        stepTimeTable[k] = 11025 * k;
    }
    for (s32 t = 0; t < 64; ++t) {
        toneLengthTable[t] = 22050 * (64 - t);
    }
}
