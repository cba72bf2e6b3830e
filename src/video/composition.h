// Composition of the line buffers onto the display line: the backdrop, the layers and sprites
// by priority with their colour effects, and the bitmap modes' reduced sprite composition.
#pragma once

#include "common/types.h"

// True when the line composition (without windows) blends ordinary sprites over what lies below
// them instead of copying them over it.
bool ordinarySpritesBlend(u32 bldmod);

// Fills the 256 pixels of LINE with BACKDROP, brightened or darkened when BLDMOD makes the
// backdrop a first target of effect mode 2 or 3.
void fillBackdrop(u16* line, u16 backdrop, u32 bldmod);

// Composes pixels 0..239 of the tile-mode line from the layer records and the sprite buffers,
// priority 3 first, for a line without windows.
void composeLine(u16* line, u32 bldmod);

// Sprites of priorities 1 and 0 over a bitmap line.
void composeBitmapSprites(u16* line, u32 bldmod);
