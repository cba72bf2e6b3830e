// The drawing side of a frame: the render buffer and the drawing of each visible line into it
// by the renderer of the display mode. The frame heartbeat (machine/frame.h) decides when.
#pragma once

#include "common/screen.h"

// The renderers' frame: 256 host pixels a line, 240 of them visible.
extern u16 renderBuffer[renderWidth * renderHeight];

// Starts a drawn frame: the first line, the reference points reloaded from BG2X/Y and BG3X/Y,
// and clear sprite buffers.
void beginFrameDrawing();
// Draws the line VCOUNT names with the renderer of MODE and advances to the next line; modes
// 6 and 7 draw nothing and leave the line as it was.
void drawLine(u32 mode);
