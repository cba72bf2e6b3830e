// The bitmap line renderer (modes 3, 4 and 5): BG2 is a picture in VideoRam drawn straight into
// the display line, with sprites of priorities 1 and 0 composed over it.
#include "common/screen.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/frame_driver.h"
#include "video/line_renderers.h"
#include "video/sprites.h"

namespace {

constexpr u32 secondPageOffset = 0xA000;
constexpr u32 mode5Width = 160;
constexpr u32 mode5Height = 128;
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

s32 parameter(u32 offset) {
    return static_cast<s16>(ioRegister(offset));
}

// The reference point as the 28-bit signed value the register holds. Its integer part is
// 20 bits wide and the walk stays within 2^23 of it, so whether a column lies inside the
// frame comes out the same as with the low 20 bits of the wrapping 32-bit sum.
s32 referencePoint(u32 value) {
    return static_cast<s32>(value << 4) >> 4;
}

// Mode 5: a 160 x 128 frame of 15-bit colours (DISPCNT bit 4 selects the second, 40 KB on),
// walked through BG2's reference point and PA, PC like an affine layer. Columns whose point
// lies outside the frame show the backdrop colour; being a straight walk, those inside form
// one run. The reference point then moves by PB, PD for the next line.
ColumnRun drawMode5(u16* line, u32 dispcnt) {
    const u8* frame = gba.VideoRam + ((dispcnt & 0x10) ? secondPageOffset : 0);
    s32 x = referencePoint(gba.bg2RefX);
    s32 y = referencePoint(gba.bg2RefY);
    const s32 pa = parameter(io::BG2PA), pc = parameter(io::BG2PC);
    const ColumnRun inside = insideBoth(insideColumns(x, pa, mode5Width << 8, screenWidth),
                                        insideColumns(y, pc, mode5Height << 8, screenWidth));
    fillBackdropColour(line, 0, inside.first);
    x += static_cast<s32>(inside.first) * pa;
    y += static_cast<s32>(inside.first) * pc;
    for (u32 i = inside.first; i < inside.end; ++i) {
        const u32 texel = (static_cast<u32>(y) >> 8) * mode5Width + (static_cast<u32>(x) >> 8);
        line[i] = directColour(load16(frame + 2 * texel));
        x += pa;
        y += pc;
    }
    fillBackdropColour(line, inside.end, screenWidth);
    gba.bg2RefX += static_cast<u32>(parameter(io::BG2PB));
    gba.bg2RefY += static_cast<u32>(parameter(io::BG2PD));
    return inside;
}

ColumnRun drawBg2(u16* line, u32 vcount, u32 dispcnt) {
    switch (dispcnt & 7) {
    case 3: return drawMode3(line, vcount);
    case 5: return drawMode5(line, dispcnt);
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
