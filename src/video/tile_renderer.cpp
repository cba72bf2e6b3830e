// The tile-mode line renderer (modes 0, 1, 2): backdrop, background layers into their line
// buffers, sprites, then composition onto the display line.
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "video/background_layers.h"
#include "video/composition.h"
#include "video/frame_driver.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/sprites.h"
#include "video/windows.h"

namespace {

enum class LayerKind { text, affine };

// The first layer of a priority takes that priority's buffer; a layer that finds it taken
// goes to the next extra buffer. Lower-numbered layers are drawn later, so the one that wins
// a priority tie always sits in a later buffer.
u16* bufferForLayer(u32 bg, u32 priority) {
    if (!videoLine.priorityUsed[priority]) {
        videoLine.priorityUsed[priority] = 1;
        videoLine.priorityLayer[priority] = static_cast<u16>(bg);
        return layerBuffers[priority];
    }
    u32 slot = videoLine.extraLayerCount++;
    videoLine.extraLayer[slot] = static_cast<u8>(bg);
    videoLine.extraPriority[slot] = static_cast<u8>(priority);
    return extraLayerBuffers[slot];
}

// First-target layers are brightened or darkened as they are drawn when no window is on;
// blending waits for the composition.
EffectMode drawTimeEffectFor(u32 bg, u32 dispcnt, u32 bldmod) {
    bool windows = dispcnt & 0xE000;
    if (windows || !(bldmod & (1u << bg))) {
        return effectNone;
    }
    EffectMode mode = static_cast<EffectMode>((bldmod >> 6) & 3);
    return mode == effectBlend ? effectNone : mode;
}

void drawLayer(u32 bg, LayerKind kind, u32 dispcnt, u32 bldmod) {
    if (!(dispcnt & (0x100u << bg))) {
        return;
    }
    u32 priority = ioRegister(io::BG0CNT + 2 * bg) & 3;
    u16* buffer = bufferForLayer(bg, priority);
    EffectMode effect = drawTimeEffectFor(bg, dispcnt, bldmod);
    if (kind == LayerKind::text) {
        drawTextLayer(bg, buffer, effect);
    } else {
        drawAffineLayer(bg, buffer, effect);
    }
}

// Highest background number first. Modes 3 to 7 have no tiled layers: a frame that switches
// to them part-way keeps this renderer and shows the backdrop and sprites.
void drawLayersOfMode(u32 dispcnt, u32 bldmod) {
    switch (dispcnt & 7) {
    case 0:
        drawLayer(3, LayerKind::text, dispcnt, bldmod);
        drawLayer(2, LayerKind::text, dispcnt, bldmod);
        drawLayer(1, LayerKind::text, dispcnt, bldmod);
        drawLayer(0, LayerKind::text, dispcnt, bldmod);
        break;
    case 1:
        drawLayer(2, LayerKind::affine, dispcnt, bldmod);
        drawLayer(1, LayerKind::text, dispcnt, bldmod);
        drawLayer(0, LayerKind::text, dispcnt, bldmod);
        break;
    case 2:
        drawLayer(3, LayerKind::affine, dispcnt, bldmod);
        drawLayer(2, LayerKind::affine, dispcnt, bldmod);
        break;
    default: break;
    }
}

} // namespace

void renderTileLine() {
    u32 dispcnt = ioRegister(io::DISPCNT);
    u32 bldmod = ioRegister(io::BLDCNT);
    resetLayerRecords();

    // Entry 0 is held at 0 while the layers are drawn, so colour index 0 is transparent
    // without a test in the pixel loops.
    u16 backdrop = gba.HostPalette[0];
    gba.HostPalette[0] = 0;
    fillBackdrop(videoLine.cursor, backdrop, bldmod);
    drawLayersOfMode(dispcnt, bldmod);
    gba.HostPalette[0] = backdrop;

    renderSpriteLine(0);
    if (dispcnt & 0xE000) {
        composeLineWithWindows(videoLine.cursor, dispcnt, bldmod, ioRegister(io::VCOUNT));
    } else {
        composeLine(videoLine.cursor, bldmod);
    }
    // Only window sprites set the mask, and they set objWindowPresent with it.
    if (videoLine.objWindowPresent) {
        clearObjWindowMask();
    }
    videoLine.cursor += renderWidth;
}
