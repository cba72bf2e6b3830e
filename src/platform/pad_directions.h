// A game pad's hat and d-pad steer as its first two axes do: a held direction stands for its
// axis pushed to the end. Platform-neutral, so that both hosts share it and it is tested once.
#pragma once

#include "platform/host.h"

// One bit per direction, numbered as SDL numbers a hat's.
enum PadDirection : u8 { padUp = 1, padRight = 2, padDown = 4, padLeft = 8 };

// The directions of a DirectInput point-of-view hat, whose position is in hundredths of a
// degree clockwise from straight ahead (up); it is centred when its low word is 0xFFFF. Each of
// the eight directions takes the 45 degrees around it.
u8 padDirectionsOfPov(u32 pov);

// Moves each axis of STATE with a held direction to its end; an axis whose directions are both
// released keeps its value, so a pad whose hat is centred steers exactly by its axes.
void steerByPad(HostJoystickState* state, u8 directions);
