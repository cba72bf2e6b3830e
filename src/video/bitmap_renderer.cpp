// The bitmap line renderer (modes 3 and 4): BG2 is a picture in VideoRam drawn straight into
// the display line, with sprites of priorities 1 and 0 composed over it.
#include "common/screen.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/frame_driver.h"
#include "video/line_renderers.h"
#include "video/sprites.h"

namespace {

constexpr u32 secondPageOffset = 0xA000;
constexpr ColumnRun wholeLine = {0, screenWidth};
constexpr ColumnRun noColumn = {0, 0};

// Mode 3 colours go straight to the display line, so the green marker bit stays clear.
u16 directColour(u32 colour) {
    return static_cast<u16>(((colour & 0x1F) << 11) | (((colour >> 5) & 0x1F) << 6) |
                            ((colour >> 10) & 0x1F));
}

bool untransformed() {
    return ioRegister(io::BG2PA) == 0x100 && ioRegister(io::BG2PB) == 0 &&
           ioRegister(io::BG2PC) == 0 && ioRegister(io::BG2PD) == 0x100;
}

void fillBackdropColour(u16* line, u32 start, u32 end) {
    for (u32 x = start; x < end; ++x) {
        line[x] = gba.HostPalette[0];
    }
}

// With a rotation or scaling set the picture is not drawn; the line shows the backdrop
// colour rather than what an earlier frame left there. Returns the columns that show BG2.
ColumnRun drawMode3(u16* line, u32 vcount) {
    if (!untransformed()) {
        fillBackdropColour(line, 0, screenWidth);
        return noColumn;
    }
    const u8* source = gba.VideoRam + 480 * vcount;
    for (u32 x = 0; x < screenWidth; ++x) {
        line[x] = directColour(source[2 * x] | (source[2 * x + 1] << 8));
    }
    return wholeLine;
}

// Every byte indexes the palette, entry 0 (the backdrop colour) included.
ColumnRun drawMode4(u16* line, u32 vcount, u32 dispcnt) {
    const u8* source =
        gba.VideoRam + screenWidth * vcount + ((dispcnt & 0x10) ? secondPageOffset : 0);
    for (u32 x = 0; x < screenWidth; ++x) {
        line[x] = gba.HostPalette[source[x]];
    }
    return wholeLine;
}

ColumnRun drawBg2(u16* line, u32 vcount, u32 dispcnt) {
    switch (dispcnt & 7) {
    case 3: return drawMode3(line, vcount);
    default: return drawMode4(line, vcount, dispcnt);
    }
}

// Effect modes 2 and 3 change the whole picture, whatever the target bits and windows say.
void applyForcedEffect(u16* line, u32 bldmod) {
    u32 mode = (bldmod >> 6) & 3;
    if (mode == effectBrighten) {
        for (u32 x = 0; x < screenWidth; ++x) {
            line[x] = brightenPixel(line[x]);
        }
    } else if (mode == effectDarken) {
        for (u32 x = 0; x < screenWidth; ++x) {
            line[x] = darkenPixel(line[x]);
        }
    }
}

} // namespace

void renderBitmapLine() {
    u32 dispcnt = ioRegister(io::DISPCNT);
    u32 bldmod = ioRegister(io::BLDCNT);
    u32 vcount = ioRegister(io::VCOUNT);
    u16* line = videoLine.cursor;
    resetLayerRecords();

    ColumnRun bg2Columns = noColumn;
    if (dispcnt & 0x400) {
        videoLine.bitmapBg2Priority = ioRegister(io::BG2CNT) & 3;
        bg2Columns = drawBg2(line, vcount, dispcnt);
        applyForcedEffect(line, bldmod);
    } else {
        videoLine.bitmapBg2Priority = 3;
        for (u32 x = 0; x < screenWidth; ++x) {
            line[x] = 0;
        }
    }

    renderSpriteLine(1);
    composeBitmapSprites(line, bldmod, bg2Columns);
    // Only window sprites set the mask, and they set objWindowPresent with it.
    if (videoLine.objWindowPresent) {
        clearObjWindowMask();
    }
    videoLine.cursor += renderWidth;
}
