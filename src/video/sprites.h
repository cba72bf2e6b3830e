// The sprite line renderer. For the line VCOUNT it draws each sprite that crosses the line into
// the sprite buffers of its priority (objLineBuffers, semiObjBuffers) or into the OBJ window
// mask; composition reads them after. Where sprites overlap in a buffer the lower entry shows.
// The buffers must be empty when a line starts: sprites are drawn front to back and leave
// columns that already hold a pixel as they are.
#pragma once

#include "common/types.h"
#include "video/line_state.h"

// Sprite sizes indexed by shape * 4 + size: width and height in pixels, and log2 of half of
// each (the affine path's shift counts). Filled once at start-up by initSpriteSizes.
extern u8 spriteWidths[16];
extern u8 spriteHeights[16];
extern u8 spriteHalfWidthShifts[16];
extern u8 spriteHalfHeightShifts[16];

void initSpriteSizes();

// The per-line lists of the sprites that may cross each line are built again before the next
// sprite line (they are rebuilt by themselves whenever the attribute memory changed, too).
void forgetSpriteLineLists();

// bitmapMode is 0 when called from the tile-mode renderer and 1 from the bitmap renderer.
void renderSpriteLine(u32 bitmapMode);

void clearSpritePresence();
// Called once the composition has used the mask, at the end of every drawn line, so that no
// mark outlives its line.
void clearObjWindowMask();
