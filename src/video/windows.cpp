#include "video/windows.h"

#include <cstring>

#include "common/screen.h"
#include "machine/io_registers.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"
#include "video/wide_vectors.h"

namespace {

// Control byte bits: 0-3 show BG0-BG3, 4 shows sprites, 5 allows effects.
constexpr u32 showsSprites = 0x10;
constexpr u32 allowsEffects = 0x20;

// Control byte of each window kind: OBJ window (WINOUT high), WIN0 (WININ low), WIN1 (WININ
// high), outside (WINOUT low).
u32 controlOf(u32 kind) {
    switch (kind) {
    case windowObj: return ioRegister(io::WINOUT) >> 8;
    case windowWin0: return ioRegister(io::WININ) & 0xFF;
    case windowWin1: return ioRegister(io::WININ) >> 8;
    default: return ioRegister(io::WINOUT) & 0xFF;
    }
}

void addRun(WindowSpans& spans, u32 start, u32 end, u32 kind) {
    spans.runs[spans.count++] = {static_cast<u16>(start), static_cast<u16>(end),
                                 static_cast<u8>(kind)};
}

void cutByObjWindow(WindowSpans& spans) {
    u32 start = 0;
    for (u32 x = 1; x <= screenWidth; ++x) {
        if (x == screenWidth ||
            (videoLine.objWindowMask[x] != 0) != (videoLine.objWindowMask[start] != 0)) {
            addRun(spans, start, x, videoLine.objWindowMask[start] ? windowObj : windowOutside);
            start = x;
        }
    }
}

// Turns the parts of runs of the given kinds that overlap columns left..right into KIND.
// Runs of the OBJ window are never split: inside it its own control applies.
void applyRectangle(WindowSpans& spans, u32 left, u32 right, u32 kind, u32 splittableKinds) {
    WindowSpans result;
    result.count = 0;
    for (u32 i = 0; i < spans.count; ++i) {
        const WindowRun& run = spans.runs[i];
        u32 from = run.start > left ? run.start : left;
        u32 to = run.end < right ? run.end : right;
        if (!((splittableKinds >> run.kind) & 1) || from >= to) {
            result.runs[result.count++] = run;
            continue;
        }
        if (run.start < from) {
            addRun(result, run.start, from, run.kind);
        }
        addRun(result, from, to, kind);
        if (to < run.end) {
            addRun(result, to, run.end, run.kind);
        }
    }
    spans = result;
}

// A rectangle applies on lines Y1 <= VCOUNT < Y2 (no wrap) when X1 is on screen; X2 above 240
// reaches the end of the line, and X2 not above X1 covers nothing.
void applyWindowRectangle(WindowSpans& spans, u32 horizontal, u32 vertical, u32 vcount, u32 kind,
                          u32 splittableKinds) {
    u32 x1 = horizontal >> 8, x2 = horizontal & 0xFF;
    u32 y1 = vertical >> 8, y2 = vertical & 0xFF;
    if (x1 >= screenWidth || vcount < y1 || vcount >= y2) {
        return;
    }
    if (x2 > screenWidth) {
        x2 = screenWidth;
    }
    if (x2 <= x1) {
        return;
    }
    applyRectangle(spans, x1, x2, kind, splittableKinds);
}

// The run is taken by value: read through a reference, its bounds could alias the line (both
// are u16) and would be reloaded after every store, which keeps the loops from vectorising.
WIDE_VECTOR_CLONES void copyRun(u16* line, const u16* buffer, WindowRun run) {
    const u32 end = run.end;
    for (u32 x = run.start; x < end; ++x) {
        u16 pixel = buffer[x];
        line[x] = pixel ? pixel : line[x];
    }
}

template <EffectMode mode>
void effectRun(u16* line, const u16* buffer, WindowRun run) {
    if constexpr (mode == effectBlend) {
        blendSpan(line, buffer, run.start, run.end);
        return;
    } else if constexpr (mode == effectNone) {
        copyRun(line, buffer, run);
        return;
    }
    const u32 end = run.end;
    for (u32 x = run.start; x < end; ++x) {
        u16 pixel = buffer[x];
        if (!pixel) {
            continue;
        }
        if constexpr (mode == effectBlend) {
            line[x] = blendPixel(pixel, line[x]);
        } else if constexpr (mode == effectBrighten) {
            line[x] = brightenPixel(pixel);
        } else if constexpr (mode == effectDarken) {
            line[x] = darkenPixel(pixel);
        } else {
            line[x] = pixel;
        }
    }
}

using RunRoutine = void (*)(u16*, const u16*, WindowRun);
constexpr RunRoutine effectRuns[4] = {effectRun<effectNone>, effectRun<effectBlend>,
                                      effectRun<effectBrighten>, effectRun<effectDarken>};

struct LineState {
    u16* line;
    u32 bldmod;
    EffectMode mode;
};

// Inlined: a call per layer and run shows in the rendering benchmarks.
[[gnu::always_inline]] inline void composeLayerRun(const LineState& state, const u16* buffer,
                                                   u32 bg, u32 control, const WindowRun& run) {
    if (!(control & (1u << bg))) {
        return;
    }
    bool effect = (control & allowsEffects) && (state.bldmod & (1u << bg));
    (effect ? effectRuns[state.mode] : effectRuns[effectNone])(state.line, buffer, run);
    noteLayer(buffer, bg, run.start, run.end);
}

void composeSpritesRun(const LineState& state, u32 priority, u32 control, const WindowRun& run) {
    if (!(control & showsSprites)) {
        return;
    }
    if (videoLine.semiObjPresent[priority]) {
        u16* buffer = semiObjBuffers[priority];
        if (control & allowsEffects) {
            composeSemiTransparentSpan(state.line, buffer, run.start, run.end, state.bldmod);
        } else {
            noteLayer(buffer, objLayer, run.start, run.end);
            copyRun(state.line, buffer, run);
        }
    }
    if (videoLine.objPresent[priority]) {
        noteLayer(objLineBuffers[priority], objLayer, run.start, run.end);
        // Ordinary sprites take the brighten or darken of a first target; alpha mode and
        // mode 0 copy them.
        bool effect = (control & allowsEffects) && (state.bldmod & 0x10) &&
                      (state.mode == effectBrighten || state.mode == effectDarken);
        (effect ? effectRuns[state.mode] : effectRuns[effectNone])(state.line,
                                                                   objLineBuffers[priority], run);
    }
}

void composeRun(const LineState& state, const WindowRun& run) {
    u32 control = controlOf(run.kind);
    for (u32 priority = 4; priority-- > 0;) {
        if (videoLine.priorityUsed[priority]) {
            composeLayerRun(state, layerBuffers[priority], videoLine.priorityLayer[priority],
                            control, run);
        }
        for (u32 i = 0; i < videoLine.extraLayerCount; ++i) {
            if (videoLine.extraPriority[i] == priority) {
                composeLayerRun(state, extraLayerBuffers[i], videoLine.extraLayer[i], control, run);
            }
        }
        composeSpritesRun(state, priority, control, run);
    }
}

void clearSpriteBuffersUsed() {
    for (u32 priority = 0; priority < 4; ++priority) {
        if (videoLine.objPresent[priority]) {
            std::memset(objLineBuffers[priority], 0, lineBufferPixels * sizeof(u16));
        }
        // Semi-transparent pixels left in runs that hid or copied them are dropped too, so
        // that they never show up on a later line.
        if (videoLine.semiObjPresent[priority]) {
            std::memset(semiObjBuffers[priority], 0, lineBufferPixels * sizeof(u16));
        }
    }
}

} // namespace

void buildWindowSpans(WindowSpans& spans, u32 dispcnt, u32 vcount) {
    spans.count = 0;
    if ((dispcnt & 0x8000) && videoLine.objWindowPresent) {
        cutByObjWindow(spans);
    } else {
        addRun(spans, 0, screenWidth, windowOutside);
    }
    if (dispcnt & 0x2000) {
        applyWindowRectangle(spans, ioRegister(io::WIN0H), ioRegister(io::WIN0V), vcount,
                             windowWin0, (1u << windowWin1) | (1u << windowOutside));
    }
    if (dispcnt & 0x4000) {
        applyWindowRectangle(spans, ioRegister(io::WIN1H), ioRegister(io::WIN1V), vcount,
                             windowWin1, 1u << windowOutside);
    }
}

void composeLineWithWindows(u16* line, u32 dispcnt, u32 bldmod, u32 vcount) {
    static WindowSpans spans;
    buildWindowSpans(spans, dispcnt, vcount);
    LineState state{line, bldmod, static_cast<EffectMode>((bldmod >> 6) & 3)};
    beginSecondTargets(bldmod);
    for (u32 i = 0; i < spans.count; ++i) {
        composeRun(state, spans.runs[i]);
    }
    clearSpriteBuffersUsed();
}
