// The frame heartbeat: 228 lines per frame, each 956 cycles to the horizontal blank and 271 in
// it, with DISPSTAT, VCOUNT, the display interrupts, timed DMA, the drawing of visible lines,
// the input poll at line 225 and the frame's sound.
#pragma once

#include "common/types.h"

void runFrame(u32 drawFrame);

// Called once the machine is ready, before the first frame, and after every frame that ran to
// its end: the shell's saves and loads of states (shell/save_states.cpp) happen here, never
// inside a frame.
void betweenFrames();
