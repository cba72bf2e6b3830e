// Composition of the line buffers onto the display line: the backdrop, the layers and sprites
// by priority with their colour effects, and the bitmap modes' reduced sprite composition.
#pragma once

#include "common/types.h"
#include "video/affine_span.h"

// The layers as BLDCNT numbers them: BG0-BG3 are 0-3.
constexpr u32 objLayer = 4;
constexpr u32 backdropLayer = 5;

// True when the line composition (without windows) blends ordinary sprites over what lies below
// them instead of copying them over it.
bool ordinarySpritesBlend(u32 bldmod);

// Fills the 256 pixels of LINE with BACKDROP, brightened or darkened when BLDMOD makes the
// backdrop a first target of effect mode 2 or 3.
void fillBackdrop(u16* line, u16 backdrop, u32 bldmod);

// A semi-transparent sprite blends only over a second target, so while a line has such sprites
// the composition keeps, for each column, whether the layer it shows there is one. Starts the
// record for the line (all backdrop) when some priority has semi-transparent sprites.
void beginSecondTargets(u32 bldmod);
// Notes that the non-zero pixels of BUFFER in columns START..END-1 now show on the line as
// layer LAYER. The test is inline, so that lines without semi-transparent sprites pay no more.
extern bool secondTargetsKept;
void markLayer(const u16* buffer, u32 layer, u32 start, u32 end);
inline void noteLayer(const u16* buffer, u32 layer, u32 start, u32 end) {
    if (secondTargetsKept) {
        markLayer(buffer, layer, start, end);
    }
}
// Composes the semi-transparent sprite pixels of BUFFER in columns START..END-1 and clears
// them: blended where the line shows a second target, elsewhere drawn as they are and then
// brightened or darkened when OBJ is a first target of effect mode 2 or 3.
void composeSemiTransparentSpan(u16* line, u16* buffer, u32 start, u32 end, u32 bldmod);

// Composes pixels 0..239 of the tile-mode line from the layer records and the sprite buffers,
// priority 3 first, for a line without windows.
void composeLine(u16* line, u32 bldmod);

// Sprites of priorities 1 and 0 over a bitmap line whose columns BG2COLUMNS show BG2 and the
// others the backdrop.
void composeBitmapSprites(u16* line, u32 bldmod, ColumnRun bg2Columns);
