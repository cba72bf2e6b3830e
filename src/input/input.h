// Keyboard and joystick: the ten GBA buttons, KEYINPUT and the keypad interrupt.
#pragma once

#include "common/types.h"

// Opens the keyboard (always: the debug keys and Escape come from it) and, in joystick mode,
// the first joystick. Returns 1 on success, 0 on failure.
int initDirectInput();

// Once per frame: keyboard events (debug keys first), joystick state, KEYINPUT, keypad IRQ.
void pollInput();

// KEYINPUT bits, a bit is 0 while its button is held.
namespace keyinput {
constexpr u16 a = 1 << 0;
constexpr u16 b = 1 << 1;
constexpr u16 select = 1 << 2;
constexpr u16 start = 1 << 3;
constexpr u16 right = 1 << 4;
constexpr u16 left = 1 << 5;
constexpr u16 up = 1 << 6;
constexpr u16 down = 1 << 7;
constexpr u16 r = 1 << 8;
constexpr u16 l = 1 << 9;
} // namespace keyinput
