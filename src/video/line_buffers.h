// The renderers' 512-byte line buffers: four groups of four (background layers, extra layers,
// sprites by priority, semi-transparent sprites) and one shared buffer. Allocated when the main
// loop starts and released at shut-down.
#pragma once

#include "common/types.h"

constexpr u32 lineBufferPixels = 256;

extern u16* layerBuffers[4];
extern u16* extraLayerBuffers[4];
extern u16* objLineBuffers[4];
extern u16* semiObjBuffers[4];
extern u16* sharedLineBuffer;

void allocateLineBuffers();
// Frees the sixteen buffers of the four groups; the shared buffer lives on.
void releaseLineBuffers();
// Clears the four sprite buffers, as at the start of each drawn frame.
void clearSpriteLineBuffers();
