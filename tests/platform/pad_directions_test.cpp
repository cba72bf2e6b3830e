#include <gtest/gtest.h>

#include "platform/pad_directions.h"

namespace {

// Hundredths of a degree clockwise from up; each direction takes the 45 degrees around it. The
// centre is -1, or 65535 from some drivers; nothing beyond a full circle is a direction.
TEST(PadDirections, HatAnglesGiveTheNearestOfEightDirections) {
    const struct {
        u32 pov;
        int directions;
    } cases[] = {
        {0xFFFFFFFF, 0},
        {0xFFFF, 0},
        {36000, 0},
        {0, padUp},
        {9000, padRight},
        {27000, padLeft},
        {13500, padDown | padRight},
        {31500, padUp | padLeft},
        {2250, padUp | padRight},
        {33749, padUp | padLeft},
        {33750, padUp},
    };
    for (const auto& hat : cases) {
        EXPECT_EQ(padDirectionsOfPov(hat.pov), hat.directions) << hat.pov;
    }
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
    steerByPad(&state, padDown | padRight);
    EXPECT_EQ(state.x, 65535);
    EXPECT_EQ(state.y, 65535);
    steerByPad(&state, padUp);
    EXPECT_EQ(state.y, 0);
}

} // namespace
