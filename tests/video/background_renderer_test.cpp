#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "support/test_support.h"
#include "video/background_layers.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/frame_driver.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"
#include "video/tile_vectors.h"

namespace {

constexpr u16 backdropColour = 0x0C63; // GBA (3, 3, 3)

// Palette entry i holds GBA colour i, so a drawn pixel tells which entry it came from.
u16 entry(u32 i) {
    return hostColour(i);
}

void write16(u32 address, u32 value) {
    busWrite16(address, value);
}

void setRegister(u32 offset, u32 value) {
    write16(0x04000000 + offset, value);
}

void fillVram(u32 offset, u32 value, u32 halfwords) {
    for (u32 i = 0; i < halfwords; ++i) {
        write16(0x06000000 + offset + 2 * i, value);
    }
}

// A 256-colour tile whose pixels all use colour COLOUR.
void solidTile(u32 charBase, u32 tile, u32 colour) {
    fillVram(charBase + 64 * tile, colour * 0x0101, 32);
}

class BackgroundRenderer : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        buildEffectTables();
        selectEffectRows(16, 0, 0);
        initSpriteSizes();
        allocateLineBuffers();
        for (u32 i = 1; i < 256; ++i) {
            write16(0x05000000 + 2 * i, i);
        }
        write16(0x05000000, backdropColour);
        std::memset(renderBuffer, 0, sizeof renderBuffer);
    }
    void TearDown() override { releaseLineBuffers(); }

    // Renders line LINE with the renderer of the current mode and returns its pixels.
    const u16* renderLine(u32 line) {
        ioRegister(io::VCOUNT) = static_cast<u16>(line);
        videoLine.cursor = renderBuffer + renderWidth * line;
        const u16* pixels = videoLine.cursor;
        if ((ioRegister(io::DISPCNT) & 7) >= 3) {
            renderBitmapLine();
        } else {
            renderTileLine();
        }
        EXPECT_EQ(videoLine.cursor, pixels + renderWidth);
        return pixels;
    }
};

TEST_F(BackgroundRenderer, SixteenColourBanksHideNibbleZeroAndRestoreTheirEntry) {
    fillVram(0x20, 0x1010, 16); // tile 1: nibbles 0, 1, 0, 1, ... on every row
    fillVram(0xE000, 0x5001, 1024);
    write16(0x05000000 + 2 * 80, 0x001F);
    setRegister(0x008, 0x1C00); // BG0: 16 colours, map 56 KB
    setRegister(0x000, 0x0100);
    const u16* line = renderLine(0);
    EXPECT_EQ(line[0], hostColour(backdropColour));
    EXPECT_EQ(line[1], entry(81));
    EXPECT_EQ(line[239], entry(81));
    EXPECT_EQ(gba.HostPalette[80], hostColour(0x001F));
    EXPECT_EQ(gba.HostPalette[0], hostColour(backdropColour));
}

// Tile rows hold pixels 0-7 in colours 1-8; a map row alternates the flips (none, H, V, both)
// so that every tile differs from its neighbour, at every scroll offset of the first tile.
TEST_F(BackgroundRenderer, FlippedTilesShowTheirRowsMirrored) {
    for (bool fullColour : {false, true}) {
        for (u32 scroll : {0u, 3u}) {
            for (u32 row = 0; row < 8; ++row) {
                // Row R is shifted by R (colours 1-8 rotated) so that a vertical flip shows.
                for (u32 x = 0; x < 8; ++x) {
                    u32 colour = 1 + (x + row) % 8;
                    u32 address =
                        fullColour ? 0x06000040 + 8 * row + x : 0x06000020 + 4 * row + x / 2;
                    u32 old = gba.VideoRam[address - 0x06000000];
                    u32 value = fullColour ? colour
                                : (x & 1)  ? (old & 0x0F) | (colour << 4)
                                           : colour;
                    gba.VideoRam[address - 0x06000000] = static_cast<u8>(value);
                }
            }
            for (u32 column = 0; column < 32; ++column) {
                write16(0x0600E000 + 2 * column, 1 | ((column % 4) << 10));
            }
            setRegister(0x008, fullColour ? 0x1C80 : 0x1C00);
            setRegister(0x010, scroll);
            setRegister(0x000, 0x0100);
            const u16* line = renderLine(2);
            for (u32 x = 0; x < 240; ++x) {
                u32 mapX = x + scroll, flips = (mapX / 8) % 4;
                u32 tileX = (flips & 1) ? 7 - mapX % 8 : mapX % 8;
                u32 tileY = (flips & 2) ? 5 : 2;
                ASSERT_EQ(line[x], entry(1 + (tileX + tileY) % 8))
                    << (fullColour ? "256" : "16") << " colours, scroll " << scroll << ", x " << x;
            }
        }
    }
}

// The byte-shuffle paths of 16-colour layers (SSSE3, one tile at a time, and AVX2, two) against
// the look-ups, over random tiles, maps (tile numbers, flips, banks), palettes, map sizes,
// character bases and scroll offsets.
TEST_F(BackgroundRenderer, ShuffledSixteenColourLayersMatchTheLookUps) {
    if (!tileVectorsEnabled) {
        GTEST_SKIP() << "the processor has no SSSE3";
    }
    const bool wideAvailable = wideTileVectorsEnabled;
    std::mt19937 random(4);
    for (u8& byte : gba.VideoRam) {
        byte = static_cast<u8>(random());
    }
    for (u32 i = 1; i < 256; ++i) {
        write16(0x05000000 + 2 * i, random() & 0x7FFF);
    }
    auto draw = [](u32 bg, u16* out, bool vectors, bool wide) {
        tileVectorsEnabled = vectors;
        wideTileVectorsEnabled = wide;
        drawTextLayer(bg, out, effectNone);
    };
    u16 expected[256], shown[256];
    for (u32 trial = 0; trial < 400; ++trial) {
        const u32 bg = trial % 4;
        setRegister(0x008 + 2 * bg, random() & 0xFF3F); // 16 colours, no mosaic
        setRegister(0x010 + 4 * bg, random() & 0x1FF);
        setRegister(0x012 + 4 * bg, random() & 0x1FF);
        ioRegister(io::VCOUNT) = static_cast<u16>(random() % 160);
        draw(bg, expected, false, false);
        for (bool wide : {false, true}) {
            if (wide && !wideAvailable) {
                continue;
            }
            draw(bg, shown, true, wide);
            for (u32 x = 0; x < 240; ++x) {
                ASSERT_EQ(shown[x], expected[x])
                    << (wide ? "AVX2" : "SSSE3") << ", trial " << trial << ", x " << x;
            }
        }
    }
    wideTileVectorsEnabled = wideAvailable;
}

TEST_F(BackgroundRenderer, ColourZeroOfA256ColourLayerShowsTheLayerBehind) {
    fillVram(0x40, 0x0700, 32); // tile 1: bytes 0, 7, 0, 7, ...
    solidTile(0, 2, 9);
    fillVram(0xE000, 0x0001, 1024);
    fillVram(0xE800, 0x0002, 1024);
    setRegister(0x008, 0x1C80); // BG0 over BG1, both priority 0
    setRegister(0x00A, 0x1D80);
    setRegister(0x000, 0x0300);
    const u16* line = renderLine(5);
    EXPECT_EQ(line[0], entry(9));
    EXPECT_EQ(line[1], entry(7));
    EXPECT_EQ(gba.HostPalette[0], hostColour(backdropColour));
}

// 256-colour maps whose tile number is the colour: left block column c shows colour c + 1,
// right block column c colour c + 33.
class WideMaps : public BackgroundRenderer {
  protected:
    void SetUp() override {
        BackgroundRenderer::SetUp();
        for (u32 t = 1; t < 100; ++t) {
            solidTile(0, t, t);
        }
    }
    static void fillBlock(u32 block, u32 firstTile) {
        for (u32 row = 0; row < 32; ++row) {
            for (u32 column = 0; column < 32; ++column) {
                write16(0x06000000 + 0x800 * block + 64 * row + 2 * column, firstTile + column);
            }
        }
    }
};

TEST_F(WideMaps, HorizontalOffsetsBeyond256StartInTheRightHandBlock) {
    fillBlock(8, 1);
    fillBlock(9, 33);
    setRegister(0x010, 300);
    setRegister(0x008, 0x4880); // 512x256, map 16 KB
    setRegister(0x000, 0x0100);
    const u16* line = renderLine(0);
    EXPECT_EQ(line[0], entry(38)); // x 44: right block, column 5, pixel 4
    EXPECT_EQ(line[3], entry(38));
    EXPECT_EQ(line[4], entry(39));
    EXPECT_EQ(line[211], entry(64)); // right block column 31
    EXPECT_EQ(line[212], entry(1));  // then the left block from column 0
    EXPECT_EQ(line[239], entry(4));

    setRegister(0x008, 0x0880); // 256x256: the same as HOFS 44
    line = renderLine(1);
    EXPECT_EQ(line[0], entry(6));
    EXPECT_EQ(line[212], entry(1));
}

TEST_F(WideMaps, TallMapsTakeTheRowFromYModulo256InTheLowerBlock) {
    fillBlock(12, 1);
    fillBlock(13, 1);
    fillBlock(14, 90); // where the row would land if the lower block were counted twice
    for (u32 column = 0; column < 32; ++column) {
        write16(0x06006800 + 64 * 5 + 2 * column, 77); // lower block, row 5
    }
    setRegister(0x012, 200);
    setRegister(0x008, 0x8C80); // 256x512, map 24 KB
    setRegister(0x000, 0x0100);
    EXPECT_EQ(renderLine(100)[0], entry(77)); // y = 300
    EXPECT_EQ(renderLine(96)[0], entry(77));  // y = 296, the first line of row 5
    EXPECT_EQ(renderLine(104)[0], entry(1));  // y = 304: row 6
    EXPECT_EQ(renderLine(55)[0], entry(1));   // y = 255: upper block, row 31
}

TEST_F(WideMaps, LargeMapsCombineBothOffsets) {
    fillBlock(16, 1);
    fillBlock(17, 1);
    fillBlock(18, 33);
    fillBlock(19, 66);
    setRegister(0x01C, 300);
    setRegister(0x01E, 300);
    setRegister(0x00E, 0xD080); // BG3: 512x512, map 32 KB
    setRegister(0x000, 0x0800);
    const u16* line = renderLine(0);
    EXPECT_EQ(line[0], entry(71));   // lower right, column 5
    EXPECT_EQ(line[212], entry(33)); // lower left, column 0
}

TEST_F(BackgroundRenderer, TileDataWrapsAtTheEndOfTheBackgroundArea) {
    // Character base 48 KB, tile 1023: 0xC000 + 64 x 1023 wraps to 0xBFC0; in 16 colours
    // 0xC000 + 32 x 1023 wraps to 0x3FE0.
    fillVram(0xBFC0, 0x0505, 32);
    fillVram(0x3FE0, 0x6666, 16);
    fillVram(0xE000, 0x03FF, 1024);
    setRegister(0x008, 0x1C8C);
    setRegister(0x000, 0x0100);
    EXPECT_EQ(renderLine(0)[0], entry(5));
    setRegister(0x008, 0x1C0C);
    EXPECT_EQ(renderLine(1)[0], entry(6));
}

TEST_F(BackgroundRenderer, PriorityTiesGoToExtraBuffersInDrawingOrder) {
    for (u32 bg = 0; bg < 4; ++bg) {
        solidTile(0, bg + 1, 10 + bg);
        fillVram(0xE000 + 0x800 * bg, bg + 1, 1024);
    }
    setRegister(0x008, 0x1C81); // BG0 priority 1
    setRegister(0x00A, 0x1D82); // BG1 priority 2
    setRegister(0x00C, 0x1E81); // BG2 priority 1
    setRegister(0x00E, 0x1F81); // BG3 priority 1
    setRegister(0x000, 0x0F00);
    EXPECT_EQ(renderLine(0)[0], entry(10)); // BG0 wins the tie
    EXPECT_EQ(videoLine.priorityLayer[1], 3);
    EXPECT_EQ(videoLine.priorityLayer[2], 1);
    EXPECT_EQ(videoLine.priorityLayer[0], 31);
    ASSERT_EQ(videoLine.extraLayerCount, 2u);
    EXPECT_EQ(videoLine.extraLayer[0], 2);
    EXPECT_EQ(videoLine.extraLayer[1], 0);
    EXPECT_EQ(videoLine.extraPriority[0], 1);
    EXPECT_EQ(videoLine.extraPriority[1], 1);

    setRegister(0x000, 0x0E00); // without BG0, BG2 is in front of BG3
    EXPECT_EQ(renderLine(1)[0], entry(12));
}

TEST_F(BackgroundRenderer, AlphaBlendingAppliesToFirstTargetsOverWhateverLiesBelow) {
    write16(0x05000000 + 2 * 20, 0x7FFF);
    write16(0x05000000 + 2 * 21, 0x03E0);
    solidTile(0, 1, 20);
    solidTile(0, 2, 21);
    fillVram(0xE000, 1, 1024);
    fillVram(0xE800, 2, 1024);
    setRegister(0x008, 0x1C80);
    setRegister(0x00A, 0x1D81);
    setRegister(0x050, 0x0041); // blend, BG0 first target, no second target selected
    setRegister(0x000, 0x0300);
    selectEffectRows(8, 8, 0);
    EXPECT_EQ(renderLine(0)[0], hostColour(15 | 30 << 5 | 15 << 10));

    setRegister(0x050, 0x0042); // BG1 first target, blended over the backdrop; BG0 copied
    EXPECT_EQ(renderLine(1)[0], hostColour(0x7FFF));
}

TEST_F(BackgroundRenderer, BrightenIsAppliedWhileDrawingAndToTheBackdrop) {
    solidTile(0, 1, 4);
    fillVram(0xE000, 0x0000, 1024);
    fillVram(0xE000, 0x0001, 16); // left half of row 0
    setRegister(0x008, 0x1C80);
    setRegister(0x000, 0x0100);
    setRegister(0x050, 0x00A1); // brighten BG0 and the backdrop
    selectEffectRows(0, 0, 16);
    const u16* line = renderLine(0);
    EXPECT_EQ(line[0], 0xFFFF);
    EXPECT_EQ(line[200], 0xFFFF);
    setRegister(0x050, 0x0081); // BG0 only
    line = renderLine(1);
    EXPECT_EQ(line[0], 0xFFFF);
    EXPECT_EQ(line[200], hostColour(backdropColour));
}

class AffineLayers : public BackgroundRenderer {
  protected:
    void SetUp() override {
        BackgroundRenderer::SetUp();
        for (u32 t = 1; t <= 16; ++t) {
            solidTile(0, t, t);
        }
        // Map of 16x16 tiles at 32 KB: column c holds tile c + 1.
        for (u32 row = 0; row < 16; ++row) {
            for (u32 column = 0; column < 16; column += 2) {
                write16(0x06008000 + 16 * row + column, (column + 1) | (column + 2) << 8);
            }
        }
        setRegister(0x020, 0x0100);
        setRegister(0x026, 0x0100);
        setRegister(0x024, 0);
    }
    static void setReference(u32 x, u32 y) {
        setRegister(0x028, x & 0xFFFF);
        setRegister(0x02A, x >> 16);
        setRegister(0x02C, y & 0xFFFF);
        setRegister(0x02E, y >> 16);
    }
};

TEST_F(AffineLayers, WithoutWraparoundNegativeCoordinatesAreTransparent) {
    setReference(static_cast<u32>(-10 * 256), 0);
    setRegister(0x00C, 0x1000); // 128x128, map 32 KB, no wraparound
    setRegister(0x000, 0x0402);
    const u16* line = renderLine(0);
    EXPECT_EQ(line[0], hostColour(backdropColour));
    EXPECT_EQ(line[9], hostColour(backdropColour));
    EXPECT_EQ(line[10], entry(1));
    EXPECT_EQ(line[137], entry(16));
    EXPECT_EQ(line[138], hostColour(backdropColour));
}

TEST_F(AffineLayers, WraparoundShowsTheMapsLastColumnsLeftOfTheOrigin) {
    setReference(static_cast<u32>(-10 * 256), 0);
    setRegister(0x00C, 0x3000);
    setRegister(0x000, 0x0402);
    const u16* line = renderLine(0);
    EXPECT_EQ(line[0], entry(15)); // map column 118
    EXPECT_EQ(line[2], entry(16)); // map column 120
    EXPECT_EQ(line[10], entry(1));
    EXPECT_EQ(line[138], entry(1));
}

TEST_F(AffineLayers, EnabledLayersAdvanceTheirReferencePointByPbAndPd) {
    setReference(0, 0);
    setRegister(0x022, 0x0100); // PB = 1.0
    setRegister(0x026, 0xFF80); // PD = -0.5
    setRegister(0x032, 0x0100); // BG3PB: BG3 is off and stays put
    setRegister(0x00C, 0x1000);
    setRegister(0x000, 0x0402);
    u32 bg3Before = gba.bg3RefX;
    renderLine(0);
    EXPECT_EQ(gba.bg2RefX, 0x100u);
    EXPECT_EQ(gba.bg2RefY, static_cast<u32>(-0x80));
    const u16* line = renderLine(1);
    EXPECT_EQ(gba.bg2RefX, 0x200u);
    EXPECT_EQ(line[0], hostColour(backdropColour)); // y = -0.5 lies outside the map
    EXPECT_EQ(gba.bg3RefX, bg3Before);

    // A write to BG2X reloads the point the next line starts from.
    setReference(8 * 256, 0);
    EXPECT_EQ(renderLine(2)[0], entry(2));
}

TEST_F(BackgroundRenderer, Mode3DrawsOnlyWithTheIdentityMatrix) {
    write16(0x06000000 + 480 * 7, 0x7C1F); // blue 31, red 31
    setRegister(0x020, 0x0100);
    setRegister(0x024, 0);
    setRegister(0x026, 0x0100);
    setRegister(0x000, 0x0403);
    const u16* line = renderLine(7);
    EXPECT_EQ(line[0], 0xF81F); // no marker bit: bitmap pixels never meet a line buffer
    EXPECT_EQ(line[1], 0);
    EXPECT_EQ(videoLine.bitmapBg2Priority, 0u);

    setRegister(0x020, 0x0200);
    line = renderLine(7);
    EXPECT_EQ(line[0], hostColour(backdropColour));
    EXPECT_EQ(line[239], hostColour(backdropColour));
}

TEST_F(BackgroundRenderer, Mode4PagesAndColourZero) {
    fillVram(0x0000, 0x0101, 120 * 160);
    fillVram(0xA000 + 240 * 3, 0x0900, 120);
    setRegister(0x00C, 0x0002);
    setRegister(0x000, 0x0414);
    const u16* line = renderLine(3);
    EXPECT_EQ(line[0], hostColour(backdropColour));
    EXPECT_EQ(line[1], entry(9));
    EXPECT_EQ(videoLine.bitmapBg2Priority, 2u);
    setRegister(0x000, 0x0404);
    EXPECT_EQ(renderLine(3)[0], entry(1));
    setRegister(0x000, 0x0004); // BG2 off: the line is cleared
    EXPECT_EQ(renderLine(3)[0], 0);
    EXPECT_EQ(videoLine.bitmapBg2Priority, 3u);
}

// Mode 5: a 160 x 128 frame walked through BG2's reference point and PA, PC (here from x = -10
// in steps of 2); columns whose point lies outside the frame show the backdrop. After each line
// the point moves by PB, PD.
TEST_F(BackgroundRenderer, Mode5WalksItsFrameThroughBg2sParameters) {
    auto texel = [](u32 x, u32 y) { return (x & 31) | (y & 31) << 5; };
    for (u32 y = 0; y < 128; ++y) {
        for (u32 x = 0; x < 160; ++x) {
            write16(0x0600A000 + 2 * (160 * y + x), texel(x, y));
        }
    }
    fillVram(0, 0x7FFF, 160 * 128); // frame 0 must not show
    setRegister(0x020, 0x0200);     // PA
    setRegister(0x022, 0x0100);     // PB
    setRegister(0x024, 0);          // PC
    setRegister(0x026, 0x0200);     // PD
    const u32 x0 = static_cast<u32>(-10 * 256) & 0x0FFFFFFF, y0 = 125 * 256;
    setRegister(0x028, x0 & 0xFFFF);
    setRegister(0x02A, x0 >> 16);
    setRegister(0x02C, y0 & 0xFFFF);
    setRegister(0x02E, y0 >> 16);
    setRegister(0x000, 0x0415); // mode 5, frame 1, BG2 on
    auto direct = [](u32 colour) {
        return static_cast<u16>((colour & 31) << 11 | (colour >> 5) << 6);
    };
    const u16 backdrop = hostColour(backdropColour);

    const u16* line = renderLine(0);
    EXPECT_EQ(line[4], backdrop); // x = -2
    EXPECT_EQ(line[5], direct(texel(0, 125)));
    EXPECT_EQ(line[84], direct(texel(158, 125)));
    EXPECT_EQ(line[85], backdrop); // x = 160
    EXPECT_EQ(line[239], backdrop);
    line = renderLine(1); // from x = -9, y = 127
    EXPECT_EQ(line[4], backdrop);
    EXPECT_EQ(line[5], direct(texel(1, 127)));
    line = renderLine(2); // y = 129: nothing of the frame
    EXPECT_EQ(std::count(line, line + 240, backdrop), 240);
}

TEST_F(BackgroundRenderer, BitmapEffectsIgnoreTargetBits) {
    fillVram(0xA000, 0x0909, 120);
    setRegister(0x050, 0x00C0); // darken, no targets
    setRegister(0x000, 0x0414);
    selectEffectRows(0, 0, 16);
    EXPECT_EQ(renderLine(0)[0], 0x0020);
}

TEST_F(BackgroundRenderer, BitmapModesComposeSpritesOfPriorityOneAndZeroOnly) {
    u16* line = renderBuffer;
    for (u32 x = 0; x < 240; ++x) {
        line[x] = entry(100);
    }
    objLineBuffers[1][0] = entry(1);
    objLineBuffers[0][1] = entry(2);
    objLineBuffers[2][2] = entry(3);
    semiObjBuffers[3][3] = entry(4);
    semiObjBuffers[0][4] = hostColour(0x7FFF);
    videoLine.objPresent[0] = videoLine.objPresent[1] = videoLine.objPresent[2] = 1;
    videoLine.semiObjPresent[0] = videoLine.semiObjPresent[3] = 1;
    selectEffectRows(8, 8, 0);
    composeBitmapSprites(line, 0x0400, {0, 240}); // BG2 a second target
    EXPECT_EQ(line[0], entry(1));
    EXPECT_EQ(line[1], entry(2));
    EXPECT_EQ(line[2], entry(100));
    EXPECT_EQ(line[3], entry(100));
    EXPECT_EQ(line[4], hostColour(17 | 16 << 5 | 15 << 10)); // colour 100: red 4, green 3
    // Every buffer used on the line is empty afterwards, the hidden priorities included.
    for (u32 p = 0; p < 4; ++p) {
        for (u32 x = 0; x < lineBufferPixels; ++x) {
            ASSERT_EQ(objLineBuffers[p][x], 0) << p << " " << x;
            ASSERT_EQ(semiObjBuffers[p][x], 0) << p << " " << x;
        }
    }
}

TEST_F(BackgroundRenderer, OrdinarySpritesBlendOnlyAsFirstTargetsWithASecondTarget) {
    u16* line = renderBuffer;
    selectEffectRows(8, 8, 0);
    u16 white = hostColour(0x7FFF);
    u16 half = hostColour(15 | 15 << 5 | 15 << 10);
    for (u32 bldmod : {0x0050u, 0x0150u, 0x0140u}) {
        for (u32 x = 0; x < 240; ++x) {
            line[x] = 0x0020; // black
        }
        objLineBuffers[0][0] = white;
        videoLine.objPresent[0] = 1;
        composeBitmapSprites(line, bldmod, {0, 240});
        EXPECT_EQ(line[0], bldmod == 0x0150u ? half : white) << std::hex << bldmod;
    }
}

} // namespace
