// The first joystick's buttons, read through SDL2 for the joystick boxes of the Controller tab.
#pragma once

#include <cstdint>

enum class JoystickStatus { ok, noDriver, unplugged };

struct JoystickReading {
    JoystickStatus status = JoystickStatus::unplugged;
    std::uint32_t buttons = 0; // bit k set while button k + 1 is held
};

// Reads the first joystick once. noDriver when the joystick layer cannot start, unplugged
// when no joystick is connected.
JoystickReading readFirstJoystick();

// Releases the joystick and the joystick layer.
void closeJoystick();
