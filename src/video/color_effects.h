// Colour effect tables: 17 rows (coefficient 0..16) of 32 entries (5-bit colour value), and the
// per-component effects on host pixels that every renderer uses.
#pragma once

#include "common/types.h"
#include "video/line_state.h"

extern u8 brightenTable[17][32]; // x + ((k x (31 - x)) >> 4)
extern u8 blendTable[17][32];    // (k x x) >> 4
extern u8 darkenTable[17][32];   // x - ((k x x) >> 4)
// Signed sample times (row >> 1), limited to -127..127, plus 128.
extern u8 volumeTable[8][256];

void buildEffectTables();
void selectEffectRows(u32 eva, u32 evb, u32 evy);

// BLDMOD bits 6-7.
enum EffectMode : u32 { effectNone = 0, effectBlend = 1, effectBrighten = 2, effectDarken = 3 };

inline u32 redOf(u32 pixel) {
    return pixel >> 11;
}
inline u32 greenOf(u32 pixel) {
    return (pixel >> 6) & 0x1F;
}
inline u32 blueOf(u32 pixel) {
    return pixel & 0x1F;
}

// Every colour an effect produces carries the green marker bit 5, so it is never transparent.
inline u16 assemblePixel(u32 red, u32 green, u32 blue) {
    return static_cast<u16>((red << 11) | (green << 6) | 0x20 | blue);
}

inline u16 brightenPixel(u32 pixel) {
    return assemblePixel(videoLine.brightenRow[redOf(pixel)], videoLine.brightenRow[greenOf(pixel)],
                         videoLine.brightenRow[blueOf(pixel)]);
}

inline u16 darkenPixel(u32 pixel) {
    return assemblePixel(videoLine.darkenRow[redOf(pixel)], videoLine.darkenRow[greenOf(pixel)],
                         videoLine.darkenRow[blueOf(pixel)]);
}

inline u32 blendComponent(u32 top, u32 below) {
    u32 sum = videoLine.blendRowA[top] + videoLine.blendRowB[below];
    return sum > 31 ? 31 : sum;
}

// TOP as the first target over BELOW as the second: A x top + B x below, each component at
// most 31.
inline u16 blendPixel(u32 top, u32 below) {
    return assemblePixel(blendComponent(redOf(top), redOf(below)),
                         blendComponent(greenOf(top), greenOf(below)),
                         blendComponent(blueOf(top), blueOf(below)));
}

// blendPixel computed from the coefficients A and B instead of the table rows, with the same
// results: (A x top) >> 4 + (B x below) >> 4 per component, at most 31. Every step is cut to
// 16 bits (no value exceeds 496), so that loops over a line work on eight pixels at a time.
inline u16 blendPixelComputed(u16 top, u16 below, u16 a, u16 b) {
    auto part = [](u16 value, u16 k) { return static_cast<u16>(static_cast<u16>(value * k) >> 4); };
    auto mix = [&](u16 topValue, u16 belowValue) {
        u16 sum = static_cast<u16>(part(topValue, a) + part(belowValue, b));
        return sum < 31 ? sum : static_cast<u16>(31);
    };
    u16 red = mix(static_cast<u16>(top >> 11), static_cast<u16>(below >> 11));
    u16 green = mix(static_cast<u16>(top >> 6) & 0x1F, static_cast<u16>(below >> 6) & 0x1F);
    u16 blue = mix(top & 0x1F, below & 0x1F);
    return static_cast<u16>(static_cast<u16>(red << 11) | static_cast<u16>(green << 6) | 0x20 |
                            blue);
}

// Blends the non-transparent pixels of BUFFER, as first target, over LINE in columns START to
// END - 1 with the coefficients of the current line.
void blendSpan(u16* line, const u16* buffer, u32 start, u32 end);
