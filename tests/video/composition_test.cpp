#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "machine/gba_system.h"
#include "support/test_support.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"

namespace {

class CompositionTest : public ::testing::Test {
  protected:
    u16 line[256];

    void SetUp() override {
        resetTestMachine();
        buildEffectTables();
        selectEffectRows(8, 8, 0);
        allocateLineBuffers();
        resetLayerRecords();
        for (u16* buffer : objLineBuffers) {
            std::memset(buffer, 0, lineBufferPixels * 2);
        }
        for (u16* buffer : semiObjBuffers) {
            std::memset(buffer, 0, lineBufferPixels * 2);
        }
        for (u16& pixel : line) {
            pixel = hostColour(0x7FFF);
        }
    }
    void TearDown() override { releaseLineBuffers(); }
};

TEST_F(CompositionTest, ASpriteLiesOverEveryLayerOfItsPriority) {
    u16 bg1 = hostColour(0x001F), bg0 = hostColour(0x03E0), sprite = hostColour(0x7C00);
    videoLine.priorityUsed[1] = 1;
    videoLine.priorityLayer[1] = 1;
    layerBuffers[1][3] = bg1;
    videoLine.extraLayerCount = 1;
    videoLine.extraLayer[0] = 0;
    videoLine.extraPriority[0] = 1;
    extraLayerBuffers[0][3] = bg0;
    extraLayerBuffers[0][4] = bg0;
    videoLine.objPresent[1] = 1;
    objLineBuffers[1][3] = sprite;
    composeLine(line, 0);
    EXPECT_EQ(line[3], sprite);
    EXPECT_EQ(line[4], bg0);            // the later-drawn BG0 wins the tie with BG1
    EXPECT_EQ(objLineBuffers[1][3], 0); // used up
}

// Whatever the effect mode, a semi-transparent sprite blends (EVA, EVB) only over a second
// target: here BG2 and an ordinary sprite below it. Over BG3 and the backdrop, which are not,
// it shows as it is, brightened or darkened when OBJ is a first target.
TEST_F(CompositionTest, SemiTransparentSpritesBlendOnlyOverASecondTarget) {
    const u16 red = hostColour(0x001F), blue = hostColour(0x7C00), white = hostColour(0x7FFF);
    const u16 half = (15u << 11) | 0x20 | 15u; // blue 31 over red 31, 8/16 each
    selectEffectRows(8, 8, 16);
    for (u32 mode = 0; mode < 4; ++mode) {
        for (u32 objFirst : {0u, 0x10u}) {
            const u32 bldmod = 0x1400 | mode << 6 | objFirst;
            resetLayerRecords();
            videoLine.priorityUsed[2] = videoLine.priorityUsed[3] = 1;
            videoLine.priorityLayer[2] = 2;
            videoLine.priorityLayer[3] = 3;
            layerBuffers[2][0] = red;
            layerBuffers[3][1] = red;
            videoLine.objPresent[2] = 1;
            objLineBuffers[2][3] = red;
            videoLine.semiObjPresent[1] = 1;
            for (u32 x : {0, 1, 2, 3}) {
                semiObjBuffers[1][x] = blue;
            }
            std::fill_n(line, 256, white);
            composeLine(line, bldmod);
            const u16 plain = !objFirst ? blue : mode == 2 ? 0xFFFF : mode == 3 ? 0x0020 : blue;
            EXPECT_EQ(line[0], half) << std::hex << bldmod;
            EXPECT_EQ(line[1], plain) << std::hex << bldmod;
            EXPECT_EQ(line[2], plain) << std::hex << bldmod;
            // In alpha mode an ordinary first-target sprite has blended over the line itself.
            const u16 sprite = ordinarySpritesBlend(bldmod) ? blendPixel(red, white) : red;
            EXPECT_EQ(line[3], blendPixel(blue, sprite)) << std::hex << bldmod;
            EXPECT_EQ(semiObjBuffers[1][0] | semiObjBuffers[1][1], 0);
        }
    }
    // The backdrop as a second target.
    resetLayerRecords();
    videoLine.semiObjPresent[0] = 1;
    semiObjBuffers[0][5] = blue;
    std::fill_n(line, 256, white);
    composeLine(line, 0x2000);
    EXPECT_EQ(line[5], (15u << 11) | (15u << 6) | 0x20 | 30u);
}

} // namespace
