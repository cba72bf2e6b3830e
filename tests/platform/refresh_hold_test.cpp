#include <gtest/gtest.h>

#include "platform/refresh_hold.h"

namespace {

// Flips that come back at once (no wait for the refresh) are held to 60 a second: 60 holds
// later the schedule has moved on exactly one second, with each hold a whole millisecond.
TEST(RefreshHold, FlipsThatDoNotWaitAreHeldToTheRefresh) {
    RefreshHold hold{};
    u32 now = 5000;
    EXPECT_EQ(refreshHoldUntil(&hold, now, 60), now); // the first flip starts the schedule
    for (u32 flip = 1; flip <= 120; ++flip) {
        now = refreshHoldUntil(&hold, now + 1, 60);
        EXPECT_EQ(now, 5000 + flip * 1000 / 60) << "flip " << flip;
    }
}

// Flips that already wait for a 60 Hz display (or come a little late) are never held, and the
// schedule does not drift from them.
TEST(RefreshHold, FlipsThatWaitAreNotHeld) {
    RefreshHold hold{};
    refreshHoldUntil(&hold, 0, 60);
    for (u32 flip = 1; flip <= 600; ++flip) {
        u32 now = flip * 1000 / 60 + flip % 3; // up to 2 ms late
        EXPECT_EQ(refreshHoldUntil(&hold, now, 60), now) << "flip " << flip;
    }
}

// After a pause, or a frame slower than a refresh, the schedule starts again from that flip:
// the next flips are held as usual instead of racing to catch up.
TEST(RefreshHold, ALateFlipStartsTheScheduleAgain) {
    RefreshHold hold{};
    refreshHoldUntil(&hold, 0, 60);
    EXPECT_EQ(refreshHoldUntil(&hold, 16, 60), 16);
    EXPECT_EQ(refreshHoldUntil(&hold, 3000, 60), 3000);
    EXPECT_EQ(refreshHoldUntil(&hold, 3001, 60), 3016);
    EXPECT_EQ(refreshHoldUntil(&hold, 3017, 60), 3033);
}

// An unknown refresh rate holds nothing; the clock wraps around without a stall.
TEST(RefreshHold, UnknownRateAndClockWrap) {
    RefreshHold hold{};
    EXPECT_EQ(refreshHoldUntil(&hold, 100, 0), 100);
    EXPECT_EQ(refreshHoldUntil(&hold, 101, 0), 101);
    u32 start = 0xFFFFFFF0;
    refreshHoldUntil(&hold, start, 60);
    EXPECT_EQ(refreshHoldUntil(&hold, start + 1, 60), start + 16);
    EXPECT_EQ(refreshHoldUntil(&hold, start + 17, 60), start + 33);
}

} // namespace
