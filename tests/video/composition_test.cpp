#include <gtest/gtest.h>

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

TEST_F(CompositionTest, SemiTransparentSpritesBlendOverANonTargetLayer) {
    u16 layer = hostColour(0x001F); // red 31, not a second target
    videoLine.priorityUsed[2] = 1;
    videoLine.priorityLayer[2] = 2;
    layerBuffers[2][7] = layer;
    videoLine.semiObjPresent[1] = 1;
    semiObjBuffers[1][7] = hostColour(0x7C00); // blue 31
    composeLine(line, 0);
    // EVA = EVB = 8: half of each, whatever the target bits say.
    EXPECT_EQ(line[7], (15u << 11) | 0x20 | 15u);
    EXPECT_EQ(semiObjBuffers[1][7], 0);
}

} // namespace
