#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "support/test_support.h"
#include "video/color_effects.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"
#include "video/windows.h"

namespace {

constexpr u32 win0On = 0x2000, win1On = 0x4000, objWindowOn = 0x8000;

struct Span {
    u32 start, end, kind;
    bool operator==(const Span&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Span& run) {
    return out << "[" << run.start << "," << run.end << ") kind " << run.kind;
}

class WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        buildEffectTables();
        selectEffectRows(8, 8, 16);
        allocateLineBuffers();
        resetLayerRecords();
        clearObjWindowMask();
        for (u32 p = 0; p < 4; ++p) {
            std::memset(objLineBuffers[p], 0, lineBufferPixels * 2);
            std::memset(semiObjBuffers[p], 0, lineBufferPixels * 2);
        }
    }
    void TearDown() override { releaseLineBuffers(); }

    static std::vector<Span> spans(u32 dispcnt, u32 vcount = 50) {
        WindowSpans spans;
        buildWindowSpans(spans, dispcnt, vcount);
        std::vector<Span> runs;
        for (u32 i = 0; i < spans.count; ++i) {
            runs.push_back({spans.runs[i].start, spans.runs[i].end, spans.runs[i].kind});
        }
        return runs;
    }

    static void win0(u32 x1, u32 x2, u32 y1 = 0, u32 y2 = 160) {
        ioRegister(0x040) = static_cast<u16>((x1 << 8) | x2);
        ioRegister(0x044) = static_cast<u16>((y1 << 8) | y2);
    }
    static void win1(u32 x1, u32 x2, u32 y1 = 0, u32 y2 = 160) {
        ioRegister(0x042) = static_cast<u16>((x1 << 8) | x2);
        ioRegister(0x046) = static_cast<u16>((y1 << 8) | y2);
    }
    static void objWindow(u32 from, u32 to) {
        for (u32 x = from; x < to; ++x) {
            videoLine.objWindowMask[x] = 1;
        }
        videoLine.objWindowPresent = 1;
    }
    // BG0 drawn at priority 0 with one colour over the whole line.
    static void bg0(u16 colour) {
        videoLine.priorityUsed[0] = 1;
        videoLine.priorityLayer[0] = 0;
        for (u32 x = 0; x < 240; ++x) {
            layerBuffers[0][x] = colour;
        }
    }
};

TEST_F(WindowsTest, Win0OverTheObjWindowLeavesTheObjWindowRunAlone) {
    objWindow(60, 80);
    win0(40, 100);
    EXPECT_EQ(
        spans(win0On | objWindowOn),
        (std::vector<Span>{{0, 40, 3}, {40, 60, 1}, {60, 80, 0}, {80, 100, 1}, {100, 240, 3}}));
    // Without its enable bit the OBJ window's marks are ignored.
    EXPECT_EQ(spans(win0On), (std::vector<Span>{{0, 40, 3}, {40, 100, 1}, {100, 240, 3}}));
}

TEST_F(WindowsTest, RectangleEdgeRules) {
    win0(200, 40); // X2 not above X1: nothing
    EXPECT_EQ(spans(win0On), (std::vector<Span>{{0, 240, 3}}));
    win0(200, 250); // X2 beyond the line reaches its end
    EXPECT_EQ(spans(win0On), (std::vector<Span>{{0, 200, 3}, {200, 240, 1}}));
    win0(240, 250); // X1 off screen
    EXPECT_EQ(spans(win0On), (std::vector<Span>{{0, 240, 3}}));
    win0(10, 20, 100, 20); // the vertical range does not wrap
    EXPECT_EQ(spans(win0On, 10), (std::vector<Span>{{0, 240, 3}}));
    win0(10, 20, 50, 60);
    EXPECT_EQ(spans(win0On, 59).size(), 3u);
    EXPECT_EQ(spans(win0On, 60).size(), 1u);
}

TEST_F(WindowsTest, Win1FillsOnlyWhatWin0Left) {
    win0(50, 100);
    win1(80, 150);
    EXPECT_EQ(spans(win0On | win1On),
              (std::vector<Span>{{0, 50, 3}, {50, 100, 1}, {100, 150, 2}, {150, 240, 3}}));
}

TEST_F(WindowsTest, ControlBytesChooseLayersAndEffectsPerRun) {
    u16 red = hostColour(0x001F);
    bg0(red);
    u16 line[256];
    for (u16& pixel : line) {
        pixel = hostColour(0x7FFF);
    }
    win0(0, 100);
    ioRegister(0x048) = 0x0021;      // inside WIN0: BG0 with effects
    ioRegister(0x04A) = 0x0000;      // outside: nothing
    ioRegister(io::BLDCNT) = 0x0081; // brighten, BG0 first target, EVY 16
    composeLineWithWindows(line, win0On, 0x0081, 50);
    EXPECT_EQ(line[0], 0xFFFF); // brightened to white
    EXPECT_EQ(line[99], 0xFFFF);
    EXPECT_EQ(line[100], hostColour(0x7FFF)); // outside shows only the backdrop

    ioRegister(0x048) = 0x0001; // BG0 without effects
    composeLineWithWindows(line, win0On, 0x0081, 50);
    EXPECT_EQ(line[0], red);
}

TEST_F(WindowsTest, SpritesFollowTheControlAndAreClearedAfterTheLine) {
    u16 line[256] = {};
    u16 sprite = hostColour(0x03E0);
    objLineBuffers[1][10] = sprite;
    objLineBuffers[1][150] = sprite;
    videoLine.objPresent[1] = 1;
    semiObjBuffers[2][20] = sprite;
    semiObjBuffers[2][160] = sprite;
    videoLine.semiObjPresent[2] = 1;
    win0(0, 100);
    ioRegister(0x048) = 0x0010; // WIN0 shows sprites, no effects
    ioRegister(0x04A) = 0x0000; // outside hides them
    composeLineWithWindows(line, win0On, 0x0040, 50);
    EXPECT_EQ(line[10], sprite);
    EXPECT_EQ(line[20], sprite); // semi-transparent sprites are copied in runs without effects
    EXPECT_EQ(line[150], 0);
    EXPECT_EQ(line[160], 0);
    for (u32 x = 0; x < 256; ++x) {
        ASSERT_EQ(objLineBuffers[1][x], 0) << x;
        ASSERT_EQ(semiObjBuffers[2][x], 0) << x;
    }
}

TEST_F(WindowsTest, OrdinarySpritesTakeBrightenOnlyAsFirstTargetInEffectRuns) {
    u16 line[256] = {};
    u16 sprite = hostColour(0x0010);
    videoLine.objPresent[0] = 1;
    objLineBuffers[0][5] = sprite;
    win0(0, 240);
    ioRegister(0x048) = 0x0030;
    composeLineWithWindows(line, win0On, 0x0090, 50); // brighten, sprites first target
    EXPECT_EQ(line[5], 0xFFFF);
    videoLine.objPresent[0] = 1;
    objLineBuffers[0][5] = sprite;
    composeLineWithWindows(line, win0On, 0x0050, 50); // alpha: copied
    EXPECT_EQ(line[5], sprite);
}

} // namespace
