#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"
#include "support/test_support.h"
#include "video/affine_span.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/frame_driver.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"
#include "video/tile_vectors.h"
#include "video/windows.h"

namespace {

constexpr u32 spritesOn = 0x1000;
constexpr u32 oneDimensional = 0x0040;
constexpr u16 backdrop = 0x7FFF;

class Sprites : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        initSpriteSizes();
        buildEffectTables();
        selectEffectRows(16, 0, 0);
        allocateLineBuffers();
        resetLayerRecords();
        videoLine.bitmapBg2Priority = 3;
        videoLine.cursor = renderBuffer;
        for (u32 x = 0; x < renderWidth; ++x) {
            videoLine.cursor[x] = hostColour(backdrop);
        }
        for (u32 entry = 0; entry < 128; ++entry) {
            setSprite(entry, 0x0200, 0, 0); // disabled
        }
        // Sprite palette entry i holds GBA colour i, so a pixel tells which entry it came from.
        for (u32 i = 1; i < 256; ++i) {
            busWrite16(0x05000200 + 2 * i, i);
        }
        ioRegister(io::DISPCNT) = spritesOn | oneDimensional;
    }
    void TearDown() override {
        releaseLineBuffers();
        videoLine.cursor = renderBuffer;
    }

    static void setSprite(u32 entry, u32 attr0, u32 attr1, u32 attr2) {
        store16(gba.ObjectAttributes + 8 * entry, static_cast<u16>(attr0));
        store16(gba.ObjectAttributes + 8 * entry + 2, static_cast<u16>(attr1));
        store16(gba.ObjectAttributes + 8 * entry + 4, static_cast<u16>(attr2));
    }

    static void setAffineGroup(u32 group, s16 pa, s16 pb, s16 pc, s16 pd) {
        const s16 values[4] = {pa, pb, pc, pd};
        for (u32 i = 0; i < 4; ++i) {
            store16(gba.ObjectAttributes + 32 * group + 8 * i + 6, static_cast<u16>(values[i]));
        }
    }

    // Texel (x, y) of a sprite WIDTH pixels wide starting at TILE, one-dimensional layout:
    // its 8 x 8 tiles follow one another left to right, then row by row.
    static void putTexel256(u32 tile, u32 width, u32 x, u32 y, u8 value) {
        u32 offset = 32 * tile + 64 * ((y / 8) * (width / 8) + x / 8) + 8 * (y % 8) + x % 8;
        gba.VideoRam[0x10000 + (offset & 0x7FFF)] = value;
    }

    static void putTexel16(u32 tile, u32 width, u32 x, u32 y, u8 nibble) {
        u32 offset = 32 * tile + 32 * ((y / 8) * (width / 8) + x / 8) + 4 * (y % 8) + (x % 8) / 2;
        u8& pair = gba.VideoRam[0x10000 + (offset & 0x7FFF)];
        pair = (x & 1) ? static_cast<u8>((pair & 0x0F) | (nibble << 4))
                       : static_cast<u8>((pair & 0xF0) | nibble);
    }

    // A 256-colour texture whose texels show their column + 1, or their row + 1.
    static void columnTexture(u32 tile, u32 width, u32 height) {
        for (u32 y = 0; y < height; ++y) {
            for (u32 x = 0; x < width; ++x) {
                putTexel256(tile, width, x, y, static_cast<u8>(x + 1));
            }
        }
    }
    static void rowTexture(u32 tile, u32 width, u32 height) {
        for (u32 y = 0; y < height; ++y) {
            for (u32 x = 0; x < width; ++x) {
                putTexel256(tile, width, x, y, static_cast<u8>(y + 1));
            }
        }
    }

    // Draws sprites for LINE alone: the buffers are emptied first, as composition would.
    static void renderLine(u32 line, u32 bitmapMode = 0) {
        for (u32 p = 0; p < 4; ++p) {
            std::memset(objLineBuffers[p], 0, 512);
            std::memset(semiObjBuffers[p], 0, 512);
        }
        clearObjWindowMask();
        clearSpritePresence();
        ioRegister(io::VCOUNT) = static_cast<u16>(line);
        renderSpriteLine(bitmapMode);
    }

    // The sprite palette entry a pixel was taken from (0 for a transparent pixel).
    static u32 entryOf(u16 pixel) { return (pixel >> 11) | (((pixel >> 6) & 31) << 5); }
    static u32 shown(u32 priority, u32 x) { return entryOf(objLineBuffers[priority][x]); }
    static u16 colour(u32 entry) { return gba.HostPalette[256 + entry]; }

    static u32 columnsWritten(u32 priority) {
        u32 count = 0;
        for (u32 x = 0; x < 256; ++x) {
            count += objLineBuffers[priority][x] != 0;
        }
        return count;
    }
};

TEST_F(Sprites, EveryShapeAndSizeCoversItsWidthAndHeight) {
    std::memset(gba.VideoRam + 0x10000, 0x11, 0x8000); // nibble 1 everywhere
    const u32 widths[16] = {8, 16, 32, 64, 16, 32, 32, 64, 8, 8, 16, 32, 8, 8, 8, 8};
    const u32 heights[16] = {8, 16, 32, 64, 8, 8, 16, 32, 16, 32, 32, 64, 8, 8, 8, 8};
    for (u32 index = 0; index < 16; ++index) {
        SCOPED_TRACE(index);
        u32 shape = index >> 2;
        u32 size = index & 3;
        for (u32 affine = 0; affine < 2; ++affine) {
            // An affine sprite at double size with the identity matrix sits centred in a box
            // twice as wide and high.
            setAffineGroup(0, 0x100, 0, 0, 0x100);
            setSprite(0, (shape << 14) | (affine ? 0x300 : 0), size << 14, 0);
            u32 offsetX = affine ? widths[index] / 2 : 0;
            u32 offsetY = affine ? heights[index] / 2 : 0;
            u32 lines = 0;
            for (u32 line = 0; line < 140; ++line) {
                renderLine(line);
                if (videoLine.objPresent[0]) {
                    ++lines;
                    EXPECT_GE(line, offsetY);
                    EXPECT_EQ(columnsWritten(0), widths[index]);
                    EXPECT_NE(objLineBuffers[0][offsetX], 0);
                    EXPECT_NE(objLineBuffers[0][offsetX + widths[index] - 1], 0);
                }
            }
            EXPECT_EQ(lines, heights[index]);
        }
    }
}

TEST_F(Sprites, DisabledSpritesAndSpritesOffDrawNothing) {
    std::memset(gba.VideoRam + 0x10000, 0x11, 0x8000);
    setSprite(0, 0x0200, 0, 0); // bits 8-9 = 2: disabled
    renderLine(0);
    EXPECT_EQ(videoLine.objPresent[0], 0);

    setSprite(0, 0, 0, 0);
    ioRegister(io::DISPCNT) = oneDimensional; // DISPCNT bit 12 clear
    renderLine(0);
    for (u32 p = 0; p < 4; ++p) {
        EXPECT_EQ(videoLine.objPresent[p], 0);
        EXPECT_EQ(videoLine.semiObjPresent[p], 0);
    }
    EXPECT_EQ(videoLine.objWindowPresent, 0);
    EXPECT_EQ(columnsWritten(0), 0u);
}

TEST_F(Sprites, LowerEntriesLieInFrontAtEqualPriority) {
    std::memset(gba.VideoRam + 0x10000, 0x11, 64); // tiles 0 and 1: nibble 1
    putTexel16(1, 8, 0, 0, 0);                     // a hole in sprite 3
    setSprite(7, 0, 10, 0x2000 | (1 << 10) | 0);   // bank 2, priority 1
    setSprite(3, 0, 10, 0x3000 | (1 << 10) | 1);   // bank 3, priority 1
    setSprite(5, 0, 40, 0x5000);                   // bank 5, priority 0
    renderLine(0);
    EXPECT_EQ(shown(1, 10), 16u * 2 + 1); // sprite 7 through the hole of sprite 3
    EXPECT_EQ(shown(1, 11), 16u * 3 + 1); // sprite 3 in front
    EXPECT_EQ(shown(1, 17), 16u * 3 + 1);
    EXPECT_EQ(shown(0, 40), 16u * 5 + 1);
    EXPECT_EQ(objLineBuffers[1][40], 0);
    EXPECT_EQ(videoLine.objPresent[2] | videoLine.objPresent[3], 0);
}

TEST_F(Sprites, BoxesWrapFromTheBottomAndEnterFromTheLeft) {
    std::memset(gba.VideoRam + 0x10000, 0x01, 0x8000); // visible data around the texture
    rowTexture(0, 32, 32);
    setSprite(0, 0x2000 | 240, 2u << 14, 0); // 32 x 32 at y = 240
    renderLine(0);
    EXPECT_EQ(shown(0, 0), 17u); // row 16
    renderLine(15);
    EXPECT_EQ(shown(0, 31), 32u); // row 31
    renderLine(16);
    EXPECT_EQ(videoLine.objPresent[0], 0);

    setSprite(0, 0x2000 | 100, 2u << 14, 0);
    renderLine(99);
    EXPECT_EQ(videoLine.objPresent[0], 0);
    renderLine(131);
    EXPECT_EQ(shown(0, 0), 32u);

    // 16 x 16 at x = 500: columns 0..3 show texture columns 12..15.
    columnTexture(64, 16, 16);
    setSprite(0, 0x2000, (1u << 14) | 500, 64);
    renderLine(0);
    EXPECT_EQ(columnsWritten(0), 4u);
    for (u32 x = 0; x < 4; ++x) {
        EXPECT_EQ(shown(0, x), 13u + x);
    }
    setSprite(0, 0x2000, (1u << 14) | 300, 64); // right of the screen, not reaching 512
    renderLine(0);
    EXPECT_EQ(videoLine.objPresent[0], 0);
    setSprite(0, 0x2000, (1u << 14) | 230, 64); // cut at column 240
    renderLine(0);
    EXPECT_EQ(columnsWritten(0), 10u);
    EXPECT_EQ(shown(0, 239), 10u);

    // 16 colours with an odd number of columns cut: the first pixel is a high nibble.
    for (u32 x = 0; x < 16; ++x) {
        putTexel16(128, 16, x, 0, static_cast<u8>(x));
    }
    setSprite(0, 0, (1u << 14) | 501, 128);
    renderLine(0);
    for (u32 x = 0; x < 5; ++x) {
        EXPECT_EQ(shown(0, x), 11u + x);
    }

    // Mirrored and cut at either edge, in both colour depths: the box is mirrored first, then
    // cut, so the left edge shows the last box columns, texture columns 3..0 (1 to 3 in 16
    // colours, where texel 0 is transparent), and the right edge the first ones, 15..6.
    for (u32 x = 0; x < 16; ++x) {
        putTexel16(128, 16, x, 0, static_cast<u8>(x));
    }
    for (u32 tile : {64u, 128u}) {
        const u32 depth = tile == 64 ? 0x2000 : 0;
        setSprite(0, depth, (1u << 14) | (1u << 12) | 500, tile);
        renderLine(0);
        for (u32 x = 0; x < 4; ++x) {
            EXPECT_EQ(shown(0, x), tile == 64 ? 4u - x : 3u - x) << "tile " << tile << ", x " << x;
        }
        setSprite(0, depth, (1u << 14) | (1u << 12) | 230, tile);
        renderLine(0);
        for (u32 x = 230; x < 240; ++x) {
            EXPECT_EQ(shown(0, x), tile == 64 ? 246u - x : 245u - x)
                << "tile " << tile << ", x " << x;
        }
    }
}

// The byte-shuffle path of 16-colour sprites against the look-ups, over random textures,
// palettes and sprites: every size, both flips, every bank, cut at both edges, both mappings.
TEST_F(Sprites, ShuffledSixteenColourRowsMatchTheLookUps) {
    if (!tileVectorsEnabled) {
        GTEST_SKIP() << "the processor has no SSSE3";
    }
    std::mt19937 random(16);
    for (u32 i = 0; i < 0x8000; ++i) {
        gba.VideoRam[0x10000 + i] = static_cast<u8>(random());
    }
    for (u32 i = 1; i < 256; ++i) {
        busWrite16(0x05000200 + 2 * i, random() & 0x7FFF);
    }
    u16 expected[4][256];
    for (u32 trial = 0; trial < 300; ++trial) {
        for (u32 entry = 0; entry < 16; ++entry) {
            const u32 shape = random() % 3; // 3 is no shape
            setSprite(entry, (random() % 228) | (shape << 14), random() & 0xF1FF,
                      random() & 0xFFFF);
        }
        ioRegister(io::DISPCNT) = static_cast<u16>(spritesOn | (trial & 1 ? oneDimensional : 0));
        const u32 line = random() % 160;
        tileVectorsEnabled = false;
        renderLine(line);
        for (u32 p = 0; p < 4; ++p) {
            std::memcpy(expected[p], objLineBuffers[p], sizeof expected[p]);
        }
        tileVectorsEnabled = true;
        renderLine(line);
        for (u32 p = 0; p < 4; ++p) {
            for (u32 x = 0; x < 240; ++x) {
                ASSERT_EQ(objLineBuffers[p][x], expected[p][x])
                    << "trial " << trial << ", priority " << p << ", x " << x;
            }
        }
    }
}

TEST_F(Sprites, TileRowsStepByMapping) {
    // 32 x 16, 16 colours, tile 10: the second tile row begins at tile 14 with one-dimensional
    // mapping and at tile 42 with two-dimensional mapping.
    gba.VideoRam[0x10000 + 32 * 14] = 0x05;
    gba.VideoRam[0x10000 + 32 * 42] = 0x06;
    gba.VideoRam[0x10000 + 32 * 10 + 4 * 3 + 1] = 0x70; // row 3, pixel 3
    setSprite(0, 1u << 14, 2u << 14, 10);
    renderLine(8);
    EXPECT_EQ(shown(0, 0), 5u);
    renderLine(3);
    EXPECT_EQ(shown(0, 3), 7u);
    EXPECT_EQ(objLineBuffers[0][2], 0);
    ioRegister(io::DISPCNT) = spritesOn;
    renderLine(8);
    EXPECT_EQ(shown(0, 0), 6u);

    // 256 colours: rows of tiles 8 x width bytes apart (one-dimensional) or 1024 bytes apart.
    gba.VideoRam[0x10000 + 32 * 10 + 8 * 32] = 0x21;
    gba.VideoRam[0x10000 + 32 * 10 + 1024] = 0x22;
    gba.VideoRam[0x10000 + 32 * 10 + 64 + 8 * 2 + 1] = 0x23; // second tile, row 2, pixel 1
    setSprite(0, (1u << 14) | 0x2000, 2u << 14, 10);
    renderLine(8);
    EXPECT_EQ(shown(0, 0), 0x22u);
    ioRegister(io::DISPCNT) = spritesOn | oneDimensional;
    renderLine(8);
    EXPECT_EQ(shown(0, 0), 0x21u);
    renderLine(2);
    EXPECT_EQ(shown(0, 9), 0x23u);
}

TEST_F(Sprites, TileReadsWrapInsideTheSpriteArea) {
    // Tile 1000 of a 64 x 64 256-colour sprite: row 63 lies past the end of VideoRam and is
    // read from the start of the sprite area instead.
    u32 rowStart = 32 * 1000 + 8 * 64 * 7 + 8 * 7;
    gba.VideoRam[0x10000 + rowStart - 0x8000] = 0x44;
    gba.VideoRam[0x0000 + rowStart - 0x8000] = 0x55; // background tiles are never read
    setSprite(0, 0x2000, 3u << 14, 1000);
    renderLine(63);
    EXPECT_EQ(shown(0, 0), 0x44u);

    // The same for an affine sprite at tile 1023, whose texture lies almost wholly past the end.
    gba.VideoRam[0x10000 + ((32 * 1023 + 8 * 64 * 7 + 8 * 7) & 0x7FFF)] = 0x66;
    setAffineGroup(0, 0x100, 0, 0, 0x100);
    setSprite(0, 0x2100, 3u << 14, 1023);
    renderLine(63);
    EXPECT_EQ(shown(0, 0), 0x66u);
}

TEST_F(Sprites, FlipsAndMosaic) {
    rowTexture(0, 16, 16);
    columnTexture(8, 16, 16);
    setSprite(0, 0x2000, (1u << 14) | (1u << 13), 8); // vertical flip
    setSprite(1, 0x2000, (1u << 14) | (1u << 12) | 40, 0 + 8);
    renderLine(2);
    EXPECT_EQ(shown(0, 0), 1u); // columns are unchanged by a vertical flip
    EXPECT_EQ(shown(0, 40), 16u);
    EXPECT_EQ(shown(0, 55), 1u);

    setSprite(1, 0x2000, (1u << 14) | (1u << 13) | 40, 0); // row texture, vertical flip
    renderLine(2);
    EXPECT_EQ(shown(0, 40), 14u); // row 13

    // Vertical mosaic blocks of 4 rows, applied before the flip.
    ioRegister(0x04C) = 0x3000;
    setSprite(1, 0x3000, (1u << 14) | 40, 0);
    renderLine(6);
    EXPECT_EQ(shown(0, 40), 5u); // row 4
    setSprite(1, 0x3000, (1u << 14) | (1u << 13) | 40, 0);
    renderLine(6);
    EXPECT_EQ(shown(0, 40), 12u); // row 15 - 4

    // Horizontal mosaic of width 4: sampled at columns 3, 7, 11, 15; the first columns show
    // the first one.
    ioRegister(0x04C) = 0x0300;
    setSprite(1, 0x3000, (1u << 14) | 40, 8);
    renderLine(0);
    const u32 expected[16] = {1, 1, 1, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 16};
    for (u32 x = 0; x < 16; ++x) {
        EXPECT_EQ(shown(0, 40 + x), expected[x]) << x;
    }
    setSprite(1, 0x2000, (1u << 14) | 40, 8); // without its mosaic bit
    renderLine(0);
    EXPECT_EQ(shown(0, 41), 2u);
}

// The run of columns an affine walk spends inside its texture, against a test of every column,
// for random starts and steps of either sign (0 included), texture sizes and column counts;
// every third trial over the whole range a sprite can give (any 16-bit step, starts to 2^23).
TEST(AffineSpan, InsideColumnsAreExactlyTheColumnsInsideTheTexture) {
    std::mt19937 random(88);
    for (int trial = 0; trial < 200000; ++trial) {
        const bool wide = trial % 3 == 0;
        const s32 limit = static_cast<s32>(8u << (random() % 4)) << 8;
        const s32 step = trial % 7 == 0 ? 0
                         : wide         ? static_cast<s32>(random() % 65536) - 32768
                                        : static_cast<s32>(random() % 2049) - 1024;
        const s32 start = wide ? static_cast<s32>(random() % (1u << 24)) - (1 << 23)
                               : static_cast<s32>(random() % 140001) - 70000;
        const u32 count = random() % 129;
        const ColumnRun run = insideColumns(start, step, limit, count);
        for (u32 i = 0; i < count; ++i) {
            const s32 position = start + static_cast<s32>(i) * step;
            const bool inside = position >= 0 && position < limit;
            ASSERT_EQ(inside, i >= run.first && i < run.end)
                << "start " << start << " step " << step << " limit " << limit << " column " << i;
        }
        ASSERT_TRUE(run.first <= run.end && (run.first < run.end || run.first == 0));
    }
}

// Affine sprites take the sprite mosaic too, counted in screen columns and box rows as for the
// others; columns outside the texture are sampled as transparent.
TEST_F(Sprites, MosaicOnAffineSprites) {
    columnTexture(0, 16, 16);
    rowTexture(8, 16, 16);
    ioRegister(io::MOSAIC) = 0x3300; // sprite blocks of 4 x 4
    // Mirrored, box column 0 lies just outside the texture; columns 3, 7, 11, 15 are sampled
    // and show texture columns 13, 9, 5, 1.
    setAffineGroup(1, -0x100, 0, 0, 0x100);
    setSprite(0, 0x3100, (1u << 14) | (1u << 9), 0);
    renderLine(0);
    const u32 expected[16] = {0, 0, 0, 14, 14, 14, 14, 10, 10, 10, 10, 6, 6, 6, 6, 2};
    for (u32 x = 0; x < 16; ++x) {
        EXPECT_EQ(shown(0, x), expected[x]) << x;
    }
    // Vertically, box row 6 shows row 4; without the mosaic bit row 6.
    setAffineGroup(1, 0x100, 0, 0, 0x100);
    setSprite(0, 0x3100, (1u << 14) | (1u << 9), 8);
    renderLine(6);
    EXPECT_EQ(shown(0, 0), 5u);
    EXPECT_EQ(shown(0, 1), 5u);
    setSprite(0, 0x2100, (1u << 14) | (1u << 9), 8);
    renderLine(6);
    EXPECT_EQ(shown(0, 0), 7u);
}

TEST_F(Sprites, AffineTextureStartAndClipping) {
    columnTexture(0, 16, 16);
    // A mirror maps box column 0 to texture x = 16.0, just outside: column 0 stays empty and
    // columns 1..15 show texture columns 15..1.
    setAffineGroup(1, -0x100, 0, 0, 0x100);
    setSprite(0, 0x2100, (1u << 14) | (1u << 9), 0);
    renderLine(0);
    EXPECT_EQ(objLineBuffers[0][0], 0);
    for (u32 x = 1; x < 16; ++x) {
        EXPECT_EQ(shown(0, x), 17u - x);
    }
    EXPECT_EQ(objLineBuffers[0][16], 0);

    // Entering from the left edge continues the walk from the cut columns.
    setAffineGroup(1, 0x100, 0, 0, 0x100);
    setSprite(0, 0x2100, (1u << 14) | (1u << 9) | 500, 0);
    renderLine(0);
    EXPECT_EQ(columnsWritten(0), 4u);
    EXPECT_EQ(shown(0, 0), 13u);
    EXPECT_EQ(shown(0, 3), 16u);

    // Magnified twice in a double-size box: each texel covers two columns.
    setAffineGroup(2, 0x80, 0, 0, 0x80);
    setSprite(0, 0x2300, (1u << 14) | (2u << 9), 0);
    renderLine(0);
    for (u32 x = 0; x < 32; ++x) {
        EXPECT_EQ(shown(0, x), 1u + x / 2);
    }

    // 64 x 64 at half size in a 128 x 128 box: box columns 48..79 show every second texel.
    rowTexture(256, 64, 64);
    setAffineGroup(3, 0x200, 0, 0, 0x200);
    setSprite(0, 0x2300, (3u << 14) | (3u << 9), 256);
    renderLine(50);
    EXPECT_EQ(objLineBuffers[0][47], 0);
    EXPECT_EQ(shown(0, 48), 5u); // row 2 x 50 - 96
    EXPECT_EQ(shown(0, 79), 5u);
    EXPECT_EQ(objLineBuffers[0][80], 0);
    renderLine(63);
    EXPECT_EQ(shown(0, 60), 31u);
    // The products with the skip and the row are cut to 16 bits: from box row 64 on,
    // PD x iy = 0x200 x 64 wraps negative and the lower half of this sprite is not drawn.
    renderLine(70);
    EXPECT_EQ(videoLine.objPresent[0], 0);
}

// Mode-1 sprites are drawn unchanged into their own buffers whatever BLDCNT and the windows
// say: the composition alone decides where they blend.
TEST_F(Sprites, SemiTransparentSpritesGoToTheirBufferWhateverBldcntSays) {
    std::memset(gba.VideoRam + 0x10000, 0x11, 32);
    setSprite(0, 0x0400, 0, (2u << 10) | 0x1000); // mode 1, priority 2, bank 1
    selectEffectRows(12, 4, 16);
    videoLine.priorityUsed[3] = 1;
    for (u32 dispcnt : {0u, 0x2000u}) {
        ioRegister(io::DISPCNT) = static_cast<u16>(spritesOn | oneDimensional | dispcnt);
        for (u32 bldcnt : {0x0000u, 0x0150u, 0x0090u, 0x0110u, 0x3FFFu}) {
            ioRegister(io::BLDCNT) = static_cast<u16>(bldcnt);
            renderLine(0);
            EXPECT_EQ(videoLine.semiObjPresent[2], 1) << std::hex << bldcnt;
            EXPECT_EQ(semiObjBuffers[2][0], colour(17)) << std::hex << bldcnt;
            EXPECT_EQ(videoLine.objPresent[2], 0) << std::hex << bldcnt;
        }
    }
}

TEST_F(Sprites, OrdinarySpritesTakeTheDrawTimeEffect) {
    std::memset(gba.VideoRam + 0x10000, 0x11, 32);
    setSprite(0, 0, 0, 0);
    ioRegister(io::BLDCNT) = 0x00D0; // darken, sprites first target
    selectEffectRows(16, 0, 16);
    renderLine(0);
    EXPECT_EQ(objLineBuffers[0][0], 0x0020);
    ioRegister(io::BLDCNT) = 0x00C0; // not a first target
    renderLine(0);
    EXPECT_EQ(objLineBuffers[0][0], colour(1));
    ioRegister(io::BLDCNT) = 0x00D0;
    ioRegister(io::DISPCNT) = spritesOn | 0x4000; // WIN1 on
    renderLine(0);
    EXPECT_EQ(objLineBuffers[0][0], colour(1));
}

TEST_F(Sprites, BitmapModeDropsSpritesBehindBg2) {
    std::memset(gba.VideoRam + 0x10000, 0x11, 32);
    for (u32 p = 0; p < 4; ++p) {
        setSprite(p, 0, 20 * p, p << 10);
    }
    videoLine.bitmapBg2Priority = 1;
    renderLine(0, 1);
    EXPECT_EQ(videoLine.objPresent[0] + videoLine.objPresent[1], 2);
    EXPECT_EQ(videoLine.objPresent[2] + videoLine.objPresent[3], 0);
    renderLine(0, 0); // the tile-mode caller draws every priority
    EXPECT_EQ(videoLine.objPresent[2] + videoLine.objPresent[3], 2);
    videoLine.bitmapBg2Priority = 3;
    renderLine(0, 1);
    EXPECT_EQ(videoLine.objPresent[3], 1);
}

TEST_F(Sprites, ObjWindowSpritesOnlyMarkTheMask) {
    for (u32 x = 0; x < 8; x += 2) {
        putTexel16(0, 8, x, 0, 1);
    }
    setSprite(0, 0x0800, 100, 0); // mode 2
    renderLine(0);
    EXPECT_EQ(videoLine.objWindowPresent, 1);
    EXPECT_EQ(videoLine.objPresent[0], 0);
    EXPECT_EQ(columnsWritten(0), 0u);
    EXPECT_NE(videoLine.objWindowMask[100], 0);
    EXPECT_EQ(videoLine.objWindowMask[101], 0);
    EXPECT_NE(videoLine.objWindowMask[106], 0);
    EXPECT_EQ(videoLine.objWindowMask[99], 0);
    clearObjWindowMask();
    EXPECT_EQ(videoLine.objWindowMask[100], 0);
}

// Sprites are drawn by priority and front to back, skipping columns that a sprite in front
// already holds. Against that, each sprite is drawn alone and the results layered by hand, the
// lower entry on top in each buffer: over random sprites, effects, windows and layers below,
// the composed line and the OBJ window mask must come out the same.
TEST_F(Sprites, SkippingCoveredColumnsKeepsThePicture) {
    std::mt19937 random(41);
    for (u32 i = 0; i < 0x8000; ++i) {
        const u8 byte = static_cast<u8>(random());
        gba.VideoRam[0x10000 + i] = random() % 4 ? byte : 0;
    }
    u8 oam[oamSize];
    u16 base[256], composed[2][256];
    for (u32 trial = 0; trial < 120; ++trial) {
        const u32 line = random() % 160;
        for (u32 group = 0; group < 32; ++group) {
            auto parameter = [&] { return static_cast<s16>(random() % 0x400 - 0x200); };
            setAffineGroup(group, parameter(), parameter(), parameter(), parameter());
        }
        for (u32 entry = 0; entry < 128; ++entry) {
            setSprite(entry,
                      ((line - random() % 64) & 0xFF) | (random() % 3) << 14 | (random() & 0x3F00),
                      ((random() % 300 + 482) & 0x1FF) | (random() & 0xFE00), random());
        }
        std::memcpy(oam, gba.ObjectAttributes, oamSize);
        const u32 bitmapMode = random() % 4 == 0;
        const u32 dispcnt = spritesOn | (random() & 0xE040);
        const u32 bldcnt = random() & 0x3FFF;
        ioRegister(io::DISPCNT) = static_cast<u16>(dispcnt);
        ioRegister(io::BLDCNT) = static_cast<u16>(bldcnt);
        for (u32 reg :
             {io::MOSAIC, io::WIN0H, io::WIN0V, io::WIN1H, io::WIN1V, io::WININ, io::WINOUT}) {
            ioRegister(reg) = static_cast<u16>(random());
        }
        selectEffectRows(random() % 17, random() % 17, random() % 17);
        resetLayerRecords();
        videoLine.bitmapBg2Priority = bitmapMode ? random() % 4 : 3;
        for (u32 p = 0; p < 4; ++p) {
            videoLine.priorityUsed[p] = random() % 2;
            videoLine.priorityLayer[p] = static_cast<u16>(p);
            for (u32 x = 0; x < 256; ++x) {
                layerBuffers[p][x] = random() % 3 ? 0 : hostColour(random() & 0x7FFF);
            }
        }
        for (u32 x = 0; x < 256; ++x) {
            base[x] = hostColour(random() & 0x7FFF);
        }
        auto compose = [&](u16* out) {
            std::memcpy(out, base, sizeof base);
            if (bitmapMode) {
                composeBitmapSprites(out, bldcnt, {0, 240});
            } else if (dispcnt & 0xE000) {
                composeLineWithWindows(out, dispcnt, bldcnt, line);
            } else {
                composeLine(out, bldcnt);
            }
        };

        u16 objects[2][4][256] = {};
        u8 objPresent[2][4] = {}, windowMask[256] = {}, windowPresent = 0;
        for (u32 entry = 128; entry-- > 0;) {
            for (u32 other = 0; other < 128; ++other) {
                store16(gba.ObjectAttributes + 8 * other,
                        other == entry ? load16(oam + 8 * other) : 0x0200);
            }
            renderLine(line, bitmapMode);
            for (u32 p = 0; p < 4; ++p) {
                const u16* drawn[2] = {objLineBuffers[p], semiObjBuffers[p]};
                for (u32 kind = 0; kind < 2; ++kind) {
                    for (u32 x = 0; x < 256; ++x) {
                        objects[kind][p][x] = drawn[kind][x] ? drawn[kind][x] : objects[kind][p][x];
                    }
                }
                objPresent[0][p] |= videoLine.objPresent[p];
                objPresent[1][p] |= videoLine.semiObjPresent[p];
            }
            for (u32 x = 0; x < 256; ++x) {
                windowMask[x] |= videoLine.objWindowMask[x];
            }
            windowPresent |= videoLine.objWindowPresent;
        }
        for (u32 p = 0; p < 4; ++p) {
            std::memcpy(objLineBuffers[p], objects[0][p], 512);
            std::memcpy(semiObjBuffers[p], objects[1][p], 512);
            videoLine.objPresent[p] = objPresent[0][p];
            videoLine.semiObjPresent[p] = objPresent[1][p];
        }
        std::memcpy(videoLine.objWindowMask, windowMask, 256);
        videoLine.objWindowPresent = windowPresent;
        compose(composed[0]);

        std::memcpy(gba.ObjectAttributes, oam, oamSize);
        renderLine(line, bitmapMode);
        for (u32 x = 0; x < 256; ++x) {
            ASSERT_EQ(videoLine.objWindowMask[x] != 0, windowMask[x] != 0)
                << "trial " << trial << ", x " << x;
        }
        compose(composed[1]);
        for (u32 x = 0; x < 240; ++x) {
            ASSERT_EQ(composed[1][x], composed[0][x]) << "trial " << trial << ", x " << x;
        }
    }
}

} // namespace
