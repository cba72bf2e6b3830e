// The line renderers and the per-line layer records they share with the sprite renderer and
// the composition. Each renderer draws the line VCOUNT names at lineCursor and advances
// lineCursor by one 256-pixel line. The records are owned here and rebuilt for every line.
#pragma once

#include "common/types.h"

void renderTileLine();   // modes 0, 1, 2
void renderBitmapLine(); // modes 3, 4

// Set when a background of priority p was drawn into layerBuffers[p] on this line.
extern u8 priorityUsed[4];
// The background drawn into layerBuffers[p] on the current line, 31 when none.
extern u16 priorityLayer[4];
// Further backgrounds sharing a priority that was already taken, in the order they were
// drawn: extraLayerBuffers[i] holds background extraLayer[i] of priority extraPriority[i].
extern u32 extraLayerCount;
extern u8 extraLayer[4];
extern u8 extraPriority[4];
// BG2CNT's priority while BG2 is on in a bitmap mode, 3 otherwise.
extern u32 bitmapBg2Priority;

// Clears the layer records and the sprite presence flags at the start of a line.
void resetLayerRecords();
