// The line renderers and the per-line layer records they share with the sprite renderer and
// the composition. Each renderer draws the line VCOUNT names at videoLine.cursor and
// advances it by one 256-pixel line. The layer records are rebuilt for every line.
#pragma once

#include "common/types.h"
#include "video/line_state.h"

void renderTileLine();   // modes 0, 1, 2
void renderBitmapLine(); // modes 3, 4, 5

// Clears the layer records and the sprite presence flags at the start of a line.
void resetLayerRecords();
