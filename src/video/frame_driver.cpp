#include "video/frame_driver.h"

#include <cstring>

#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "video/color_effects.h"
#include "video/display_output.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"

u16 renderBuffer[renderWidth * renderHeight];
VideoLineState videoLine = {
    .cursor = renderBuffer,
    .priorityUsed = {},
    .priorityLayer = {31, 31, 31, 31},
    .extraLayerCount = 0,
    .extraLayer = {},
    .extraPriority = {},
    .bitmapBg2Priority = 3,
    .objPresent = {},
    .semiObjPresent = {},
    .objWindowPresent = 0,
    .objWindowMask = {},
    .blendRowA = blendTable[0],
    .blendRowB = blendTable[0],
    .brightenRow = brightenTable[0],
    .darkenRow = darkenTable[0],
    .blendA = 0,
    .blendB = 0,
};

namespace {

u32 ioPair(u32 offset) {
    return ioRegister(offset) | (static_cast<u32>(ioRegister(offset + 2)) << 16);
}

void chooseEffectRows() {
    u16 colev = ioRegister(io::COLEV);
    u32 eva = colev & 0x1F;
    u32 evb = (colev >> 8) & 0x1F;
    u32 evy = ioRegister(io::BLDY) & 0x1F;
    selectEffectRows(eva < 16 ? eva : 16, evb < 16 ? evb : 16, evy < 16 ? evy : 16);
}

// Turns the 256 pixels just drawn into the 15-bit layout by dropping the lowest green bit.
void convertLineTo15Bit(u16* line) {
    for (u32 x = 0; x < renderWidth; ++x) {
        u16 p = line[x];
        line[x] = static_cast<u16>(((p >> 1) & 0x7FE0) | (p & 0x1F));
    }
}

} // namespace

void drawLine(u32 mode) {
    u16* line = videoLine.cursor;
    chooseEffectRows();
    switch (mode) {
    case 0:
    case 1:
    case 2: renderTileLine(); break;
    case 3:
    case 4:
    case 5: renderBitmapLine(); break;
    default: return; // modes 6 and 7 draw nothing and leave the line as it was
    }
    if (display.rgb555) {
        convertLineTo15Bit(line);
    }
}

void beginFrameDrawing() {
    videoLine.cursor = renderBuffer;
    gba.bg2RefX = ioPair(io::BG2X_L);
    gba.bg2RefY = ioPair(io::BG2Y_L);
    gba.bg3RefX = ioPair(io::BG3X_L);
    gba.bg3RefY = ioPair(io::BG3Y_L);
    clearSpriteLineBuffers();
}
