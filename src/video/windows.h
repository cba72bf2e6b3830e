// Windows: the line cut into runs of the OBJ window, WIN0, WIN1 and the outside, and the
// composition of each run under its control byte.
#pragma once

#include "common/types.h"

enum WindowKind : u8 { windowObj = 0, windowWin0 = 1, windowWin1 = 2, windowOutside = 3 };

struct WindowRun {
    u16 start; // first column
    u16 end;   // one past the last column
    u8 kind;
};

// At most one run per column, plus the splits of the two rectangles.
constexpr u32 maxWindowRuns = 256;

struct WindowSpans {
    WindowRun runs[maxWindowRuns];
    u32 count;
};

// Cuts line VCOUNT into runs for the windows DISPCNT enables.
void buildWindowSpans(WindowSpans& spans, u32 dispcnt, u32 vcount);

// Composes the layer and sprite buffers onto LINE run by run.
void composeLineWithWindows(u16* line, u32 dispcnt, u32 bldmod, u32 vcount);
