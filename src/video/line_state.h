// What the renderers of one line share: where the line is drawn, which layers were drawn into
// which buffers, what the sprite renderer drew, and the colour-effect rows in force. Owned by
// video/; rebuilt for every drawn line.
#pragma once

#include "common/types.h"

struct VideoLineState {
    // Start of the current line in renderBuffer; each line renderer advances it by one line.
    u16* cursor;

    // Set when a background of priority p was drawn into layerBuffers[p] on this line.
    u8 priorityUsed[4];
    // The background drawn into layerBuffers[p] on the current line, 31 when none.
    u16 priorityLayer[4];
    // Further backgrounds sharing a priority that was already taken, in the order they were
    // drawn: extraLayerBuffers[i] holds background extraLayer[i] of priority extraPriority[i].
    u32 extraLayerCount;
    u8 extraLayer[4];
    u8 extraPriority[4];
    // BG2CNT's priority while BG2 is on in a bitmap mode, 3 otherwise.
    u32 bitmapBg2Priority;

    // What the sprite renderer drew on the current line, by priority; cleared at the start of
    // each line with clearSpritePresence.
    u8 objPresent[4];
    u8 semiObjPresent[4];
    u8 objWindowPresent;
    // Non-zero at each column where an OBJ-window sprite has a visible pixel.
    u8 objWindowMask[256];

    // The colour-effect table rows in force for the current line.
    const u8* blendRowA;
    const u8* blendRowB;
    const u8* brightenRow;
    const u8* darkenRow;
    // The coefficients of the two blend rows, for blendSpan, which computes instead of looking up.
    u8 blendA;
    u8 blendB;
};

extern VideoLineState videoLine;
