// The main loop: frame groups paced by the display's refresh or by the clock, periodic save
// writes.
#pragma once

#include "common/types.h"

constexpr u32 frameGroupsPerPeriod = 240;
constexpr u32 maxFrameSkip = 3;

// Deadline of group k + 1 in milliseconds from the pacing base.
extern u16 frameDeadlines[frameGroupsPerPeriod];

void fillFrameDeadlines(u32 frameSkip, bool halfSpeed);
void emulationLoop();
