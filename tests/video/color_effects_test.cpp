#include <gtest/gtest.h>

#include "machine/gba_system.h"
#include "video/color_effects.h"

namespace {

u16 colour(u32 red, u32 green, u32 blue) {
    return hostColour(red | green << 5 | blue << 10);
}
u16 grey(u32 level) {
    return colour(level, level, level);
}

class ColourEffects : public ::testing::Test {
  protected:
    void SetUp() override { buildEffectTables(); }
};

TEST_F(ColourEffects, TablesRoundEachProductDown) {
    for (u32 c = 0; c < 32; ++c) {
        EXPECT_EQ(blendTable[0][c], 0) << c;
        EXPECT_EQ(blendTable[16][c], c) << c;
        EXPECT_EQ(brightenTable[0][c], c) << c;
        EXPECT_EQ(brightenTable[16][c], 31) << c;
        EXPECT_EQ(darkenTable[0][c], c) << c;
        EXPECT_EQ(darkenTable[16][c], 0) << c;
    }
    EXPECT_EQ(blendTable[8][31], 15);  // 15.5
    EXPECT_EQ(blendTable[12][17], 12); // 12.75
    EXPECT_EQ(brightenTable[8][0], 15);
    EXPECT_EQ(brightenTable[3][30], 30); // 30 + 0.1875
    EXPECT_EQ(darkenTable[4][31], 24);   // 31 - 7.75
    EXPECT_EQ(darkenTable[15][1], 1);    // 1 - 0.9375
}

TEST_F(ColourEffects, HalfBlendOverWhiteHalvesAndAddsFifteen) {
    selectEffectRows(8, 8, 0);
    for (u32 c = 0; c < 32; ++c) {
        EXPECT_EQ(blendPixel(grey(c), grey(31)), grey(c / 2 + 15)) << c;
    }
}

TEST_F(ColourEffects, BlendClampsOnlyTheComponentsThatOverflow) {
    selectEffectRows(16, 16, 0);
    EXPECT_EQ(blendPixel(colour(20, 3, 0), colour(20, 4, 31)), colour(31, 7, 31));
    selectEffectRows(12, 10, 0);
    // 12 x 30 / 16 = 22 and 10 x 20 / 16 = 12: 34 clamps; 0 + 12 and 22 + 0 do not.
    EXPECT_EQ(blendPixel(colour(30, 0, 30), colour(20, 20, 0)), colour(31, 12, 22));
}

TEST_F(ColourEffects, BrightenAndDarkenReachWhiteAndBlack) {
    selectEffectRows(0, 0, 16);
    EXPECT_EQ(brightenPixel(colour(3, 17, 30)), 0xFFFF);
    EXPECT_EQ(darkenPixel(colour(3, 17, 30)), 0x0020); // black, still not transparent
    selectEffectRows(0, 0, 0);
    EXPECT_EQ(brightenPixel(colour(3, 17, 30)), colour(3, 17, 30));
    EXPECT_EQ(darkenPixel(colour(3, 17, 30)), colour(3, 17, 30));
    selectEffectRows(0, 0, 8);
    EXPECT_EQ(brightenPixel(colour(1, 17, 31)), colour(16, 24, 31));
    EXPECT_EQ(darkenPixel(colour(1, 17, 31)), colour(1, 9, 16));
}

TEST_F(ColourEffects, EffectsOnBitmapPixelsWithoutTheMarkerBitGiveRealColours) {
    // Mode 3 writes r << 11 | g << 6 | b with bit 5 clear; black is then the value 0.
    selectEffectRows(8, 8, 4);
    EXPECT_EQ(brightenPixel(0), colour(7, 7, 7));
    EXPECT_EQ(darkenPixel(0), 0x0020);
    EXPECT_EQ(blendPixel(grey(31) & ~0x20, 0), grey(15));
}

} // namespace

namespace {

// blendSpan computes what the table rows give: every coefficient pair, every pair of
// component values in each of red, green and blue, and transparent pixels left alone.
TEST_F(ColourEffects, ComputedBlendMatchesTheTablesForEveryCoefficientAndComponentPair) {
    for (u32 a = 0; a <= 16; ++a) {
        for (u32 b = 0; b <= 16; ++b) {
            selectEffectRows(a, b, 0);
            for (u32 top = 0; top < 32; ++top) {
                u16 buffer[33];
                u16 line[33];
                u16 expected[33];
                for (u32 below = 0; below < 32; ++below) {
                    buffer[below] = colour(top, 31 - top, top);
                    line[below] = colour(below, below, 31 - below);
                    expected[below] = blendPixel(buffer[below], line[below]);
                }
                buffer[32] = 0; // transparent: the line keeps its pixel
                line[32] = expected[32] = colour(3, 4, 5);
                blendSpan(line, buffer, 0, 33);
                for (u32 i = 0; i < 33; ++i) {
                    ASSERT_EQ(line[i], expected[i])
                        << "a " << a << " b " << b << " top " << top << " column " << i;
                }
            }
        }
    }
}

} // namespace
