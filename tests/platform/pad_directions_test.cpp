#include <gtest/gtest.h>

#include "platform/pad_directions.h"

namespace {

// DirectInput hats report the centre as -1 or, from some drivers, 65535; anything else beyond a
// full circle is no direction either.
TEST(PadDirections, CentredHatsHoldNoDirection) {
    EXPECT_EQ(padDirectionsOfPov(0xFFFFFFFF), 0);
    EXPECT_EQ(padDirectionsOfPov(0xFFFF), 0);
    EXPECT_EQ(padDirectionsOfPov(36000), 0);
    EXPECT_EQ(padDirectionsOfPov(40000), 0);
}

// Hundredths of a degree clockwise from up; each direction takes the 45 degrees around it,
// so that a hat of only five positions (0, 9000, 18000, 27000) reads as its four directions.
TEST(PadDirections, HatAnglesGiveTheNearestOfEightDirections) {
    EXPECT_EQ(padDirectionsOfPov(0), padUp);
    EXPECT_EQ(padDirectionsOfPov(9000), padRight);
    EXPECT_EQ(padDirectionsOfPov(18000), padDown);
    EXPECT_EQ(padDirectionsOfPov(27000), padLeft);
    EXPECT_EQ(padDirectionsOfPov(4500), padUp | padRight);
    EXPECT_EQ(padDirectionsOfPov(13500), padDown | padRight);
    EXPECT_EQ(padDirectionsOfPov(22500), padDown | padLeft);
    EXPECT_EQ(padDirectionsOfPov(31500), padUp | padLeft);
    EXPECT_EQ(padDirectionsOfPov(2249), padUp);
    EXPECT_EQ(padDirectionsOfPov(2250), padUp | padRight);
    EXPECT_EQ(padDirectionsOfPov(33749), padUp | padLeft);
    EXPECT_EQ(padDirectionsOfPov(33750), padUp);
    EXPECT_EQ(padDirectionsOfPov(35999), padUp);
}

// A held direction pushes its axis to the end; without one the axis keeps what the stick says.
TEST(PadDirections, DirectionsSteerAsAxesAtTheirEnds) {
    HostJoystickState state{};
    state.x = 40000;
    state.y = 20000;
    steerByPad(&state, 0);
    EXPECT_EQ(state.x, 40000);
    EXPECT_EQ(state.y, 20000);

    steerByPad(&state, padLeft);
    EXPECT_EQ(state.x, 0);
    EXPECT_EQ(state.y, 20000);

    state.x = 10000;
    steerByPad(&state, padDown | padRight);
    EXPECT_EQ(state.x, 65535);
    EXPECT_EQ(state.y, 65535);

    steerByPad(&state, padUp);
    EXPECT_EQ(state.x, 65535);
    EXPECT_EQ(state.y, 0);
}

} // namespace
