// Flips that should wait for the display's refresh do not always: a driver with the wait turned
// off, or Wine, shows each flip at once, and a game paced by the display would race. The host
// holds such flips back to the refresh rate by the clock; where flips do wait, they already come
// a refresh apart and nothing is held. Platform-neutral, so that it is tested on any machine.
#pragma once

#include "common/types.h"

// The flips' schedule: HERTZ flips in each second from BASE on.
struct RefreshHold {
    u32 base;
    u32 shown; // flips since base
    bool running;
};

// The clock time (milliseconds) until which the flip made at NOW on a display of HERTZ is held:
// NOW itself for a flip that is due or late. A flip later than a whole refresh (after a pause or
// a slow frame) starts the schedule again from now rather than letting the next ones hurry.
u32 refreshHoldUntil(RefreshHold* hold, u32 now, u32 hertz);
