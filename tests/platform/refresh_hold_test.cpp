#include <gtest/gtest.h>

#include "platform/refresh_hold.h"

namespace {

// Flips that come back at once are held to 60 a second, exactly one second per 60 flips; flips
// that already come a refresh apart (up to 2 ms late) are never held.
TEST(RefreshHold, OnlyFlipsSoonerThanTheRefreshAreHeld) {
    RefreshHold hold{};
    u32 now = 0xFFFFF000; // the clock wraps during the run
    EXPECT_EQ(refreshHoldUntil(&hold, now, 60), now);
    for (u32 flip = 1; flip <= 120; ++flip) {
        now = refreshHoldUntil(&hold, now + 1, 60);
        EXPECT_EQ(now, 0xFFFFF000 + flip * 1000 / 60) << flip;
    }
    for (u32 flip = 121; flip <= 300; ++flip) {
        u32 due = 0xFFFFF000 + flip * 1000 / 60 + flip % 3;
        EXPECT_EQ(refreshHoldUntil(&hold, due, 60), due) << flip;
    }
}

// After a pause or a slow frame the schedule starts again from that flip, so the next flips do
// not race to catch up; an unknown rate holds nothing.
TEST(RefreshHold, ALateFlipStartsTheScheduleAgain) {
    RefreshHold hold{};
    refreshHoldUntil(&hold, 0, 60);
    EXPECT_EQ(refreshHoldUntil(&hold, 3000, 60), 3000);
    EXPECT_EQ(refreshHoldUntil(&hold, 3001, 60), 3016);
    EXPECT_EQ(refreshHoldUntil(&hold, 3017, 0), 3017);
}

} // namespace
