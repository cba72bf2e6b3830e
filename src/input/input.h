// Keyboard and joystick: the ten GBA buttons, KEYINPUT and the keypad interrupt.
#pragma once

#include "common/types.h"

// Opens the keyboard (always: the debug keys and Escape come from it) and, in joystick mode,
// the first joystick. Returns 1 on success, 0 on failure.
int initDirectInput();

// Once per frame: keyboard events (debug keys first), joystick state, KEYINPUT, keypad IRQ.
void pollInput();

// The keys the shell acts on, passed up from the poll (shell/debug_keys.cpp).
// Escape: logs the frame counters and runs the shut-down sequence.
void escapePressed();
// The action of a debug key press (F1-F4 with or without Shift, F8-F12, Print Screen); other
// codes do nothing.
void debugKeyPressed(u8 code);
// Tab (fast-forward while held), P and Pause (pause, resume) when no button has the key;
// other codes do nothing (shell/main_loop.cpp).
void speedKeyChanged(u8 code, bool pressed);

// Whether a Shift key of the keyboard is held, as the key events so far tell. The host's keys,
// not the machine's state; forgotten when the keyboard has to be acquired again.
bool shiftHeld();

// DirectInput key codes of the keys the shell acts on.
namespace dik {
constexpr u8 escape = 0x01;
constexpr u8 leftShift = 0x2A;
constexpr u8 rightShift = 0x36;
constexpr u8 f1 = 0x3B; // F2-F4 follow
constexpr u8 f4 = 0x3E;
constexpr u8 tab = 0x0F;
constexpr u8 p = 0x19;
constexpr u8 f8 = 0x42;
constexpr u8 f9 = 0x43;
constexpr u8 f10 = 0x44;
constexpr u8 f11 = 0x57;
constexpr u8 f12 = 0x58;
constexpr u8 sysRq = 0xB7; // Print Screen
constexpr u8 pause = 0xC5;
} // namespace dik

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
