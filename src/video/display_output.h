// Display output: the back buffer of the display's size and the presentation of each drawn
// frame into it (stretched by ZOOM, or the REALGBA pixel grid).
#pragma once

#include "common/types.h"

constexpr u32 maxDisplayWidth = 1024;
constexpr u32 maxDisplayHeight = 768;

extern u16 backBuffer[maxDisplayWidth * maxDisplayHeight];
extern u32 displayWidth;
extern u32 displayHeight;
extern u32 rgb555Display;
extern u32 presentResult;

struct DisplayRect {
    s32 left, top, right, bottom;
};
extern DisplayRect destinationRect;

// Computes the destination rectangle for the resolution and zoom in settings.
DisplayRect computeDestinationRect(u32 width, u32 height, u32 zoom);

int initDisplay();
void presentFrame();
// The waiting flip the frame driver retries at line 225 after a flip that did not complete.
u32 retryFlip();
// Clears screen and back buffer as after a rebuild; logs "FAIL to Clear" per failed fill.
void clearDisplay();
void releaseDisplay();
