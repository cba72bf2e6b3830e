// The line renderers. Each draws the line VCOUNT names at lineCursor and advances lineCursor
// by one 256-pixel line.
#pragma once

#include "machine/types.h"

void renderTileLine();   // modes 0, 1, 2
void renderBitmapLine(); // modes 3, 4

// The background drawn at priority 0..3 on the current line, 31 when none.
extern u16 priorityLayer[4];
