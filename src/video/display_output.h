// Display output: the back buffer of the display's size and the presentation of each drawn
// frame into it (stretched by ZOOM, or the REALGBA pixel grid).
#pragma once

#include "common/types.h"

constexpr u32 maxDisplayWidth = 1024;
constexpr u32 maxDisplayHeight = 768;

struct DisplayRect {
    s32 left, top, right, bottom;
};

struct DisplayState {
    u16 backBuffer[maxDisplayWidth * maxDisplayHeight];
    u32 width;
    u32 height;
    bool rgb555; // the display's pixels are 15-bit
    u32 presentResult;
    DisplayRect destinationRect;
};

extern DisplayState display;

// Computes the destination rectangle for the resolution and zoom in settings.
DisplayRect computeDestinationRect(u32 width, u32 height, u32 zoom);

int initDisplay();
void presentFrame();
// The waiting flip the frame driver retries at line 225 after a flip that did not complete.
u32 retryFlip();
// Clears screen and back buffer as after a rebuild; logs "FAIL to Clear" per failed fill.
void clearDisplay();
void releaseDisplay();
