// Process-wide flags and counters of the running emulator (owned by shell/startup.cpp; the
// frame driver counts frames, the main loop counts skipped groups).
#pragma once

#include "common/types.h"

extern u32 emulationRunning; // the main loop runs while set; cleared by shutdownEmulator
extern u32 windowActive;     // emulation runs only while the window is active
extern u32 framesRendered;   // every frame run, drawn or not
extern u32 framesSkipped;    // late frame groups
