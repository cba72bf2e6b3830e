#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/console_picture.h"
#include "platform/screen_fit.h"

namespace {

void expectRect(ScreenRect rect, s32 x, s32 y, s32 w, s32 h) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.w, w);
    EXPECT_EQ(rect.h, h);
}

TEST(ScreenFit, KeepsTheAspectWithBarsOnTheSpareSides) {
    expectRect(fitPicture(1280, 1024, 640, 480), 0, 32, 1280, 960);   // bars above and below
    expectRect(fitPicture(1920, 1080, 640, 480), 240, 0, 1440, 1080); // bars left and right
    expectRect(fitPicture(1920, 1080, 800, 600), 240, 0, 1440, 1080);
    expectRect(fitPicture(1024, 768, 1024, 768), 0, 0, 1024, 768);
    expectRect(fitPicture(1366, 768, 1024, 768), 171, 0, 1024, 768);
}

TEST(ScreenFit, EmptyScreensOrPicturesGiveNothing) {
    expectRect(fitPicture(0, 768, 640, 480), 0, 0, 0, 0);
    expectRect(fitPicture(1024, 768, 0, 480), 0, 0, 0, 0);
}

// A resized window: the plain fit fills one side whatever the scale; the whole-number fit keeps
// every picture pixel the same size and only shrinks below one screen pixel per pixel.
TEST(ScreenFit, WholeNumberScalingLeavesBarsOnAllSides) {
    expectRect(fitPicture(900, 500, 240, 160), 75, 0, 750, 500);
    expectRect(fitPictureWhole(900, 500, 240, 160), 90, 10, 720, 480);
    expectRect(fitPictureWhole(1000, 480, 240, 160), 140, 0, 720, 480);
    expectRect(fitPictureWhole(479, 1000, 240, 160), 119, 420, 240, 160);
    expectRect(fitPictureWhole(200, 100, 240, 160), 25, 0, 150, 100);
    expectRect(fitPictureWhole(0, 100, 240, 160), 0, 0, 0, 0);
}

TEST(ScreenFit, FirstWindowIsThreeTimesThePictureOrTheLargestThatFits) {
    auto expectSize = [](ScreenSize size, s32 w, s32 h) {
        EXPECT_EQ(size.w, w);
        EXPECT_EQ(size.h, h);
    };
    expectSize(firstWindowSize(1280, 1024, 240, 160), 720, 480);
    expectSize(firstWindowSize(3840, 2160, 240, 160), 720, 480);
    expectSize(firstWindowSize(720, 480, 240, 160), 720, 480);
    expectSize(firstWindowSize(640, 480, 240, 160), 480, 320);
    expectSize(firstWindowSize(719, 2000, 240, 160), 480, 320);
    expectSize(firstWindowSize(200, 100, 240, 160), 150, 100);
}

// A back buffer holding picture pixel (x, y) as the value x + 240 * y + 1, enlarged by ZOOM at
// the core's place; with GRID the last line and column of each cell stay black (REALGBA).
std::vector<u16> enlargedPicture(u32 width, u32 height, u32 zoom, bool grid) {
    std::vector<u16> buffer(width * height, 0);
    s32 left = pictureCorner(width, screenWidth * zoom);
    s32 top = pictureCorner(height, screenHeight * zoom);
    for (s32 y = 0; y < static_cast<s32>(screenHeight * zoom); ++y) {
        for (s32 x = 0; x < static_cast<s32>(screenWidth * zoom); ++x) {
            s32 at = x + left, line = y + top;
            bool edge = grid && (x % zoom == zoom - 1 || y % zoom == zoom - 1);
            if (at >= 0 && line >= 0 && at < static_cast<s32>(width) &&
                line < static_cast<s32>(height) && !edge) {
                buffer[line * width + at] =
                    static_cast<u16>(x / zoom + screenWidth * (y / zoom) + 1);
            }
        }
    }
    return buffer;
}

TEST(ScreenFit, ConsolePictureComesBackOutOfTheEnlargedOne) {
    std::vector<u16> picture(screenWidth * screenHeight);
    for (auto [width, height, zoom, grid] :
         {std::tuple{640u, 480u, 2u, false}, std::tuple{800u, 600u, 3u, true},
          std::tuple{1024u, 768u, 4u, true}, std::tuple{240u, 160u, 1u, false}}) {
        std::vector<u16> buffer = enlargedPicture(width, height, zoom, grid);
        takeConsolePicture(buffer.data(), width, height, zoom, picture.data());
        for (u32 i = 0; i < picture.size(); ++i) {
            ASSERT_EQ(picture[i], i + 1) << width << "x" << height << " zoom " << zoom;
        }
    }
}

// ZOOM=4 on 640x480: the picture starts at (-160, -80); what lies outside is black.
TEST(ScreenFit, ConsolePictureOutsideTheBackBufferIsBlack) {
    std::vector<u16> buffer = enlargedPicture(640, 480, 4, false);
    std::vector<u16> picture(screenWidth * screenHeight, 0xFFFF);
    takeConsolePicture(buffer.data(), 640, 480, 4, picture.data());
    EXPECT_EQ(picture[0], 0);
    EXPECT_EQ(picture[19 * screenWidth + 40], 0);                     // above the buffer
    EXPECT_EQ(picture[20 * screenWidth + 39], 0);                     // left of it
    EXPECT_EQ(picture[20 * screenWidth + 40], 20 * screenWidth + 41); // its first pixel
    EXPECT_EQ(picture[139 * screenWidth + 199], 139 * screenWidth + 200);
    EXPECT_EQ(picture[139 * screenWidth + 200], 0); // right of it
    EXPECT_EQ(picture[140 * screenWidth + 100], 0); // below it
}

} // namespace
