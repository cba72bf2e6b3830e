#include <gtest/gtest.h>

#include "platform/sdl/screen_fit.h"

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

} // namespace
