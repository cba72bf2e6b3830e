// The host layer: the only door from the emulator core to the window, devices and clock.
// Two implementations exist (platform/sdl for the program, platform/headless for tests and
// tools); exactly one is linked into each binary, so these are plain functions.
#pragma once

#include "machine/types.h"

// Milliseconds since an arbitrary start, wrapping at 32 bits.
u32 hostMilliseconds();
void hostSleep(u32 milliseconds);
