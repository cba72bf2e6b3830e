#include "video/composition.h"

#include <cstring>

#include "common/screen.h"
#include "video/color_effects.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"
#include "video/wide_vectors.h"

namespace {

EffectMode effectModeOf(u32 bldmod) {
    return static_cast<EffectMode>((bldmod >> 6) & 3);
}

// Host colours always have bit 5 set, so 0 in a buffer is a transparent pixel.
WIDE_VECTOR_CLONES void copyOver(u16* line, const u16* buffer) {
    for (u32 x = 0; x < screenWidth; ++x) {
        u16 pixel = buffer[x];
        line[x] = pixel ? pixel : line[x];
    }
}

// The buffer as first target over whatever the line holds as second target.
void blendOver(u16* line, const u16* buffer) {
    blendSpan(line, buffer, 0, screenWidth);
}

// Where a pixel was blended the buffer is cleared; elsewhere it already held 0.
void blendOverAndConsume(u16* line, u16* buffer) {
    blendSpan(line, buffer, 0, screenWidth);
    std::memset(buffer, 0, screenWidth * sizeof(u16));
}

// copyOver that clears the buffer in the same pass, as the sprite buffers must be left.
WIDE_VECTOR_CLONES void copyOverAndConsume(u16* line, u16* buffer) {
    for (u32 x = 0; x < screenWidth; ++x) {
        u16 pixel = buffer[x];
        line[x] = pixel ? pixel : line[x];
        buffer[x] = 0;
    }
}

void clearBuffer(u16* buffer) {
    std::memset(buffer, 0, lineBufferPixels * sizeof(u16));
}

void composeLayer(u16* line, const u16* buffer, u32 bg, u32 bldmod) {
    if (effectModeOf(bldmod) == effectBlend && (bldmod & (1u << bg))) {
        blendOver(line, buffer);
    } else {
        copyOver(line, buffer);
    }
}

void composeLayers(u16* line, u32 priority, u32 bldmod) {
    if (!videoLine.priorityUsed[priority]) {
        return;
    }
    composeLayer(line, layerBuffers[priority], videoLine.priorityLayer[priority], bldmod);
    for (u32 i = 0; i < videoLine.extraLayerCount; ++i) {
        if (videoLine.extraPriority[i] == priority) {
            composeLayer(line, extraLayerBuffers[i], videoLine.extraLayer[i], bldmod);
        }
    }
}

void composeOrdinarySprites(u16* line, u32 priority, u32 bldmod) {
    if (!videoLine.objPresent[priority]) {
        return;
    }
    if (ordinarySpritesBlend(bldmod)) {
        blendOverAndConsume(line, objLineBuffers[priority]);
    } else {
        copyOverAndConsume(line, objLineBuffers[priority]);
    }
}

// Semi-transparent sprites blend over whatever lies below them, second target or not.
void composeSemiTransparentSprites(u16* line, u32 priority) {
    if (videoLine.semiObjPresent[priority]) {
        blendOverAndConsume(line, semiObjBuffers[priority]);
    }
}

} // namespace

// In alpha mode ordinary sprites blend only while they are first targets (BLDMOD bit 4) and
// some second target is selected (bits 8-13).
bool ordinarySpritesBlend(u32 bldmod) {
    return effectModeOf(bldmod) == effectBlend && (bldmod & 0x10) && (bldmod & 0x3F00);
}

void fillBackdrop(u16* line, u16 backdrop, u32 bldmod) {
    u16 colour = backdrop;
    if (bldmod & 0x20) {
        if (effectModeOf(bldmod) == effectBrighten) {
            colour = brightenPixel(backdrop);
        } else if (effectModeOf(bldmod) == effectDarken) {
            colour = darkenPixel(backdrop);
        }
    }
    for (u32 x = 0; x < lineBufferPixels; ++x) {
        line[x] = colour;
    }
}

void composeLine(u16* line, u32 bldmod) {
    for (u32 priority = 4; priority-- > 0;) {
        composeLayers(line, priority, bldmod);
        composeSemiTransparentSprites(line, priority);
        composeOrdinarySprites(line, priority, bldmod);
    }
}

void composeBitmapSprites(u16* line, u32 bldmod) {
    for (u32 priority = 2; priority-- > 0;) {
        composeOrdinarySprites(line, priority, bldmod);
        composeSemiTransparentSprites(line, priority);
    }
    // Sprites of priorities 2 and 3 are never shown in bitmap modes; dropping them here keeps
    // them from surfacing on a later tile-mode line.
    for (u32 priority = 2; priority < 4; ++priority) {
        if (videoLine.objPresent[priority]) {
            clearBuffer(objLineBuffers[priority]);
        }
        if (videoLine.semiObjPresent[priority]) {
            clearBuffer(semiObjBuffers[priority]);
        }
    }
}
