#include <gtest/gtest.h>

#include "common/settings.h"
#include "platform/headless/headless_host.h"
#include "support/test_support.h"
#include "video/display_output.h"
#include "video/frame_driver.h"

namespace {

class DisplayOutputTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;

    void SetUp() override {
        resetTestMachine();
        resetHeadlessHost();
        settings.realGba = 0;
        for (u32 y = 0; y < renderHeight; ++y) {
            for (u32 x = 0; x < renderWidth; ++x) {
                renderBuffer[y * renderWidth + x] = static_cast<u16>(0x20 | (x & 31) | (y << 11));
            }
        }
    }

    static void open(u32 width, u32 height, u32 zoom) {
        settings.resolutionWidth = width;
        settings.resolutionHeight = height;
        settings.zoom = zoom;
        ASSERT_EQ(initDisplay(), 1);
    }

    static u16 shown(u32 x, u32 y) { return display.backBuffer[y * display.width + x]; }
};

TEST_F(DisplayOutputTest, DestinationRectanglesAreCentredOnSixteenPixelSteps) {
    auto expectRect = [](DisplayRect r, s32 l, s32 t, s32 rr, s32 b) {
        EXPECT_EQ(r.left, l);
        EXPECT_EQ(r.top, t);
        EXPECT_EQ(r.right, rr);
        EXPECT_EQ(r.bottom, b);
    };
    expectRect(computeDestinationRect(640, 480, 1), 192, 160, 432, 320);
    expectRect(computeDestinationRect(640, 480, 2), 80, 80, 560, 400);
    expectRect(computeDestinationRect(800, 600, 3), 32, 48, 752, 528);
    expectRect(computeDestinationRect(1024, 768, 4), 32, 64, 992, 704);
}

TEST_F(DisplayOutputTest, StretchFillsTheRectangleByZoom) {
    open(640, 480, 2);
    presentFrame();
    EXPECT_EQ(headless.flips, 2u); // one by the set-up clear, one by the frame
    EXPECT_EQ(shown(80, 80), renderBuffer[0]);
    EXPECT_EQ(shown(81, 81), renderBuffer[0]);
    EXPECT_EQ(shown(82, 80), renderBuffer[1]);
    EXPECT_EQ(shown(80 + 2 * 239 + 1, 80 + 2 * 159 + 1), renderBuffer[159 * 256 + 239]);
    EXPECT_EQ(shown(79, 80), 0);  // outside stays dark
    EXPECT_EQ(shown(560, 80), 0); // the invisible columns 240-255 are not shown
}

TEST_F(DisplayOutputTest, RealGbaGridLeavesEveryThirdColumnAndLineDark) {
    settings.realGba = 1;
    open(800, 600, 3);
    presentFrame();
    EXPECT_EQ(shown(32, 48), renderBuffer[0]);
    EXPECT_EQ(shown(33, 49), renderBuffer[0]);
    EXPECT_EQ(shown(34, 48), 0); // third column
    EXPECT_EQ(shown(32, 50), 0); // third line
    EXPECT_EQ(shown(35, 48), renderBuffer[1]);
    EXPECT_EQ(shown(35, 51), renderBuffer[256 + 1]);
}

TEST_F(DisplayOutputTest, RealGbaBelowZoomThreeCopiesNothingButStillFlips) {
    settings.realGba = 1;
    open(640, 480, 1);
    presentFrame();
    EXPECT_EQ(shown(192, 160), 0);
    EXPECT_EQ(headless.flips, 2u);
}

TEST_F(DisplayOutputTest, ZoomTooLargeForTheResolutionIsClippedAndLogged) {
    open(640, 480, 4); // 960x640 does not fit
    EXPECT_NE(readTextFile("DBUG.txt").find("\nZoom too large for the resolution"),
              std::string::npos);
    presentFrame(); // must stay inside the back buffer (checked under the sanitizers)
    EXPECT_EQ(shown(0, 0), renderBuffer[(0 + 80) / 4 * 256 + (0 + 160) / 4]);
    settings.realGba = 1;
    presentFrame();
}

TEST_F(DisplayOutputTest, LostSurfaceIsRestoredAndFlippedAgain) {
    open(640, 480, 1);
    headless.flipResults = {hostDisplaySurfaceLost};
    presentFrame();
    EXPECT_EQ(headless.restores, 1u);
    EXPECT_EQ(display.presentResult, 0u);
    EXPECT_NE(readTextFile("DBUG.txt").find("!"), std::string::npos);
}

TEST_F(DisplayOutputTest, SetUpFailuresLogTheirStep) {
    headless.failure = HeadlessFailure::display;
    settings.resolutionWidth = 640;
    settings.resolutionHeight = 480;
    settings.zoom = 1;
    EXPECT_EQ(initDisplay(), 0);
    EXPECT_EQ(readTextFile("DBUG.txt"), "Start initializing DirectDraw\n\nDirectDrawCreate Fail");
}

TEST_F(DisplayOutputTest, FifteenBitDisplaysAreReported) {
    headless.display15Bit = true;
    open(640, 480, 1);
    EXPECT_EQ(display.rgb555, 1u);
    EXPECT_NE(readTextFile("DBUG.txt").find("\nUse RGB555 format!"), std::string::npos);
}

} // namespace
