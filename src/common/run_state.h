// Process-wide flags and counters of the running emulator. The shell starts and ends the run,
// the frame heartbeat counts frames, the main loop counts skipped groups and the debug keys
// raise the requests; every unit may read them.
#pragma once

#include "common/types.h"

struct RunState {
    bool emulationRunning;    // the main loop runs while set; cleared by shutdownEmulator
    bool windowActive;        // emulation runs only while the window is active
    u32 framesRendered;       // every frame run, drawn or not
    u32 framesSkipped;        // late frame groups
    bool resyncRequested;     // F8; cleared by the main loop
    bool screenshotRequested; // Print Screen; cleared by saveScreenshot
    bool fastForward;         // while Tab is held (and the window active)
    bool paused;              // P or Pause, until pressed again
    // 0, or framesRendered when the window was re-activated; 30 frames later the screen is
    // cleared.
    u32 clearAtFrame;
};

extern RunState runState;
