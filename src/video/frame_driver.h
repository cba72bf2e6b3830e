// The frame and scanline driver: 228 lines per frame, each 956 cycles to the horizontal blank
// and 271 in it, with DISPSTAT, VCOUNT, the display interrupts, timed DMA and rendering.
#pragma once

#include "common/types.h"

constexpr u32 renderWidth = 256;
constexpr u32 renderHeight = 160;

// The renderers' frame: 256 host pixels a line, 240 of them visible.
extern u16 renderBuffer[renderWidth * renderHeight];

void runFrame(u32 drawFrame);
