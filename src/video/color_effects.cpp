#include "video/color_effects.h"

#include "video/wide_vectors.h"

u8 brightenTable[17][32];
u8 blendTable[17][32];
u8 darkenTable[17][32];
u8 volumeTable[8][256];

void buildEffectTables() {
    for (u32 k = 0; k <= 16; ++k) {
        for (u32 x = 0; x < 32; ++x) {
            brightenTable[k][x] = static_cast<u8>(x + ((k * (31 - x)) >> 4));
            blendTable[k][x] = static_cast<u8>((k * x) >> 4);
            darkenTable[k][x] = static_cast<u8>(x - ((k * x) >> 4));
        }
    }
    for (s32 row = 0; row < 8; ++row) {
        s32 factor = row >> 1;
        for (s32 i = 0; i < 256; ++i) {
            s32 value = static_cast<s8>(static_cast<u8>(i)) * factor;
            value = value < -127 ? -127 : (value > 127 ? 127 : value);
            volumeTable[row][i] = static_cast<u8>(value + 128);
        }
    }
}

void selectEffectRows(u32 eva, u32 evb, u32 evy) {
    videoLine.blendRowA = blendTable[eva];
    videoLine.blendRowB = blendTable[evb];
    videoLine.blendA = static_cast<u8>(eva);
    videoLine.blendB = static_cast<u8>(evb);
    videoLine.brightenRow = brightenTable[evy];
    videoLine.darkenRow = darkenTable[evy];
}

WIDE_VECTOR_CLONES void blendSpan(u16* line, const u16* buffer, u32 start, u32 end) {
    const u16 a = videoLine.blendA, b = videoLine.blendB;
    for (u32 x = start; x < end; ++x) {
        u16 pixel = buffer[x];
        u16 blended = blendPixelComputed(pixel, line[x], a, b);
        line[x] = pixel ? blended : line[x];
    }
}
