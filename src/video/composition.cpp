#include "video/composition.h"

#include <algorithm>
#include <cstring>

#include "common/screen.h"
#include "video/background_layers.h"
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

// Inlined, as the compiler would not do by itself: a call per buffer and line shows in the
// rendering benchmarks.
[[gnu::always_inline]] inline void composeLayer(u16* line, const u16* buffer, u32 bg, u32 bldmod) {
    if (effectModeOf(bldmod) == effectBlend && (bldmod & (1u << bg))) {
        blendOver(line, buffer);
    } else {
        copyOver(line, buffer);
    }
    noteLayer(buffer, bg, 0, screenWidth);
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

[[gnu::always_inline]] inline void composeOrdinarySprites(u16* line, u32 priority, u32 bldmod) {
    if (!videoLine.objPresent[priority]) {
        return;
    }
    noteLayer(objLineBuffers[priority], objLayer, 0, screenWidth);
    if (ordinarySpritesBlend(bldmod)) {
        blendOverAndConsume(line, objLineBuffers[priority]);
    } else {
        copyOverAndConsume(line, objLineBuffers[priority]);
    }
}

void composeSemiTransparentSprites(u16* line, u32 priority, u32 bldmod) {
    if (videoLine.semiObjPresent[priority]) {
        composeSemiTransparentSpan(line, semiObjBuffers[priority], 0, screenWidth, bldmod);
    }
}

// Which layer each column of the line shows, as far as semi-transparent sprites need to know:
// 0xFFFF where it is a second target, 0 where not. Kept only while secondTargetsKept is set.
struct SecondTargetRecord {
    u32 bldmod;
    u16 below[lineBufferPixels];
};
SecondTargetRecord secondTargets;

u16 secondTargetMark(u32 bldmod, u32 layer) {
    return (bldmod >> (8 + layer)) & 1 ? 0xFFFF : 0;
}

// PLAIN is the effect of the pixels that find no second target below them.
template <EffectMode plain>
void semiTransparentSpan(u16* line, u16* buffer, u32 start, u32 end) {
    const u16 a = videoLine.blendA, b = videoLine.blendB;
    const u16 objMark = secondTargetMark(secondTargets.bldmod, objLayer);
    for (u32 x = start; x < end; ++x) {
        const u16 pixel = buffer[x];
        if (!pixel) {
            continue;
        }
        line[x] = secondTargets.below[x] ? blendPixelComputed(pixel, line[x], a, b)
                                         : drawTimeEffect<plain>(pixel);
        secondTargets.below[x] = objMark;
        buffer[x] = 0;
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

bool secondTargetsKept;

void beginSecondTargets(u32 bldmod) {
    const u8* present = videoLine.semiObjPresent;
    secondTargetsKept = present[0] | present[1] | present[2] | present[3];
    if (secondTargetsKept) {
        secondTargets.bldmod = bldmod;
        std::fill_n(secondTargets.below, lineBufferPixels, secondTargetMark(bldmod, backdropLayer));
    }
}

WIDE_VECTOR_CLONES void markLayer(const u16* buffer, u32 layer, u32 start, u32 end) {
    const u16 mark = secondTargetMark(secondTargets.bldmod, layer);
    for (u32 x = start; x < end; ++x) {
        secondTargets.below[x] = buffer[x] ? mark : secondTargets.below[x];
    }
}

// Semi-transparent sprites blend whatever BLDCNT's effect mode; brighten and darken take the
// pixels that do not blend, as they would an ordinary sprite's.
void composeSemiTransparentSpan(u16* line, u16* buffer, u32 start, u32 end, u32 bldmod) {
    EffectMode mode = effectModeOf(bldmod);
    if (!(bldmod & 0x10) || mode == effectBlend) {
        mode = effectNone;
    }
    switch (mode) {
    case effectBrighten: semiTransparentSpan<effectBrighten>(line, buffer, start, end); break;
    case effectDarken: semiTransparentSpan<effectDarken>(line, buffer, start, end); break;
    default: semiTransparentSpan<effectNone>(line, buffer, start, end); break;
    }
}

void composeLine(u16* line, u32 bldmod) {
    beginSecondTargets(bldmod);
    for (u32 priority = 4; priority-- > 0;) {
        composeLayers(line, priority, bldmod);
        composeSemiTransparentSprites(line, priority, bldmod);
        composeOrdinarySprites(line, priority, bldmod);
    }
}

void composeBitmapSprites(u16* line, u32 bldmod, ColumnRun bg2Columns) {
    beginSecondTargets(bldmod);
    if (secondTargetsKept) {
        std::fill(secondTargets.below + bg2Columns.first, secondTargets.below + bg2Columns.end,
                  secondTargetMark(bldmod, 2));
    }
    for (u32 priority = 2; priority-- > 0;) {
        composeOrdinarySprites(line, priority, bldmod);
        composeSemiTransparentSprites(line, priority, bldmod);
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
