#include "platform/pad_directions.h"

namespace {

constexpr u32 povCentred = 0xFFFF;
constexpr u32 povFullCircle = 36000;
constexpr u32 povSector = 4500;

// From straight ahead, clockwise.
constexpr u8 povDirections[8] = {
    padUp,   padUp | padRight,  padRight, padDown | padRight,
    padDown, padDown | padLeft, padLeft,  padUp | padLeft,
};

constexpr s32 axisFirst = 0;
constexpr s32 axisLast = 65535;

} // namespace

u8 padDirectionsOfPov(u32 pov) {
    if ((pov & 0xFFFF) == povCentred || pov >= povFullCircle) {
        return 0;
    }
    return povDirections[(pov + povSector / 2) / povSector % 8];
}

void steerByPad(HostJoystickState* state, u8 directions) {
    if (directions & padLeft) {
        state->x = axisFirst;
    } else if (directions & padRight) {
        state->x = axisLast;
    }
    if (directions & padUp) {
        state->y = axisFirst;
    } else if (directions & padDown) {
        state->y = axisLast;
    }
}
