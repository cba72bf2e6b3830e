// The first joystick's buttons, read through SDL2 for the joystick boxes of the Controller tab.
#pragma once

#include "configcentre/core/joystick_capture.h"

// Reads the first joystick once. noDriver when the joystick layer cannot start, unplugged
// when no joystick is connected.
JoystickReading readFirstJoystick();

// Releases the joystick and the joystick layer.
void closeJoystick();
