// Affine layers: a square map of one-byte tile numbers, 256-colour tiles, sampled along a line
// that starts at the layer's internal reference point and steps by PA, PC per pixel.
#include "common/screen.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "video/background_layers.h"

namespace {

struct AffineLine {
    u32 x, y;   // 8 fraction bits; the arithmetic wraps as 32-bit values
    u32 dx, dy; // PA, PC sign-extended
    u32 mask;   // map size in pixels minus 1
    u32 tilesPerRow;
    const u8* map;
    const u8* tiles;
};

s32 parameter(u32 offset) {
    return static_cast<s16>(ioRegister(offset));
}

// Outside the map a layer without wraparound is transparent. Only the low 20 bits of the
// integer coordinates are compared, so negative positions fall outside as well.
template <bool wrap, EffectMode effect>
void drawAffineRow(u16* out, AffineLine line) {
    const u16* palette = gba.HostPalette;
    for (u32 i = 0; i < screenWidth; ++i) {
        u32 ix = line.x >> 8;
        u32 iy = line.y >> 8;
        line.x += line.dx;
        line.y += line.dy;
        if (!wrap && ((ix & 0xFFFFF) > line.mask || (iy & 0xFFFFF) > line.mask)) {
            out[i] = 0;
            continue;
        }
        ix &= line.mask;
        iy &= line.mask;
        u32 tile = line.map[(iy >> 3) * line.tilesPerRow + (ix >> 3)];
        out[i] = drawTimeEffect<effect>(palette[line.tiles[64 * tile + 8 * (iy & 7) + (ix & 7)]]);
    }
}

template <bool wrap>
void drawAffineRowWithEffect(u16* out, const AffineLine& line, EffectMode effect) {
    switch (effect) {
    case effectBrighten: drawAffineRow<wrap, effectBrighten>(out, line); break;
    case effectDarken: drawAffineRow<wrap, effectDarken>(out, line); break;
    default: drawAffineRow<wrap, effectNone>(out, line); break;
    }
}

} // namespace

void drawAffineLayer(u32 bg, u16* out, EffectMode effect) {
    u32 control = ioRegister(io::BG0CNT + 2 * bg);
    u32 registers = bg == 2 ? io::BG2PA : io::BG3PA; // PA, PB, PC, PD
    u32& referenceX = bg == 2 ? gba.bg2RefX : gba.bg3RefX;
    u32& referenceY = bg == 2 ? gba.bg2RefY : gba.bg3RefY;
    u32 size = control >> 14;

    AffineLine line{};
    line.x = referenceX;
    line.y = referenceY;
    line.dx = static_cast<u32>(parameter(registers));
    line.dy = static_cast<u32>(parameter(registers + 4));
    line.mask = (128u << size) - 1;
    line.tilesPerRow = 16u << size;
    // Map base up to 62 KB plus a map of up to 16 KB, and character base up to 48 KB plus 256
    // tiles of 64 bytes: every read stays inside VideoRam.
    line.map = gba.VideoRam + ((control >> 8) & 0x1F) * 0x800;
    line.tiles = gba.VideoRam + ((control >> 2) & 3) * 0x4000;

    if (control & 0x2000) {
        drawAffineRowWithEffect<true>(out, line, effect);
    } else {
        drawAffineRowWithEffect<false>(out, line, effect);
    }
    referenceX += static_cast<u32>(parameter(registers + 2));
    referenceY += static_cast<u32>(parameter(registers + 6));
}
