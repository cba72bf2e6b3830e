// Text layers: 32x32-tile map blocks of 16-bit entries (tile number, flips, palette bank)
// scrolled by HOFS and VOFS, in 16 or 256 colours, with horizontal and vertical mosaic.
#include <cstring>

#include "common/screen.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"
#include "video/background_layers.h"

namespace {

constexpr u32 mapBlockBytes = 0x800;
constexpr u32 mapRowBytes = 64;
// Background tile data is addressed within the first 64 KB of VideoRam and wraps there.
constexpr u32 tileAddressMask = 0xFFFF;

// Where one line of a text layer comes from.
struct TextLine {
    const u8* mapRows[2]; // the map row of the block the line starts in, then the other block
    u32 column;           // first tile column, 0..31
    u32 firstPixel;       // pixel of the first tile the line starts at, 0..7
    u32 tileRow;          // y mod 8
    u32 charBase;
};

u32 mapEntry(const u8* mapRow, u32 column) {
    return mapRow[2 * column] | (mapRow[2 * column + 1] << 8);
}

u32 tileRowOf(u32 entry, const TextLine& line) {
    return (entry & 0x800) ? 7 - line.tileRow : line.tileRow;
}

// One 16-colour tile from pixel FROM on; the left pixel of a byte is its low nibble.
template <EffectMode effect, bool flip>
void tilePixels16(u16* out, const u8* data, const u16* bank, u32 from) {
    // The tile row is 4 bytes at a multiple of 4: read once, whole tiles unrolled.
    u32 row = load32(data);
    auto pixel = [&](u32 i) {
        u32 source = flip ? 7 - i : i;
        return drawTimeEffect<effect>(bank[(row >> (4 * source)) & 0xF]);
    };
    if (from == 0) {
        if (row == 0) {
            // A transparent tile row, common in sparse layers.
            std::memset(out, 0, 8 * sizeof(u16));
            return;
        }
        for (u32 i = 0; i < 8; ++i) {
            out[i] = pixel(i);
        }
        return;
    }
    for (u32 i = from; i < 8; ++i) {
        out[i - from] = pixel(i);
    }
}

// BANKS: the 16 palette banks with entry 0 of each at 0, so that nibble 0 is transparent.
template <EffectMode effect>
void drawTile16(u16* out, u32 entry, const TextLine& line, u32 from, const u16* banks) {
    u32 address =
        (line.charBase + 32 * (entry & 0x3FF) + 4 * tileRowOf(entry, line)) & tileAddressMask;
    const u8* data = gba.VideoRam + address;
    const u16* bank = banks + 16 * (entry >> 12);
    if (entry & 0x400) {
        tilePixels16<effect, true>(out, data, bank, from);
    } else {
        tilePixels16<effect, false>(out, data, bank, from);
    }
}

template <EffectMode effect, bool flip>
void tilePixels256(u16* out, const u8* data, u32 from) {
    const u16* palette = gba.HostPalette;
    // The tile row is 8 bytes at a multiple of 8: read once, whole tiles unrolled.
    u64 row;
    std::memcpy(&row, data, 8);
    auto pixel = [&](u32 i) {
        return drawTimeEffect<effect>(palette[(row >> (8 * (flip ? 7 - i : i))) & 0xFF]);
    };
    if (from == 0) {
        for (u32 i = 0; i < 8; ++i) {
            out[i] = pixel(i);
        }
        return;
    }
    for (u32 i = from; i < 8; ++i) {
        out[i - from] = pixel(i);
    }
}

// One 256-colour tile from pixel FROM on; the palette bank bits are ignored.
template <EffectMode effect>
void drawTile256(u16* out, u32 entry, const TextLine& line, u32 from) {
    u32 address =
        (line.charBase + 64 * (entry & 0x3FF) + 8 * tileRowOf(entry, line)) & tileAddressMask;
    const u8* data = gba.VideoRam + address;
    if (entry & 0x400) {
        tilePixels256<effect, true>(out, data, from);
    } else {
        tilePixels256<effect, false>(out, data, from);
    }
}

// Tiles left to right until the 240 visible pixels are covered; the last tile may run up to
// 7 pixels past them, which the 256-pixel buffer holds.
template <bool fullColour, EffectMode effect>
void drawTextRow(u16* out, const TextLine& line) {
    u32 written = 0;
    u32 column = line.column;
    u32 block = 0;
    u32 from = line.firstPixel;
    // A copy of the 16 banks for the row, entry 0 of each cleared: a local table the tile
    // output cannot alias, instead of clearing and restoring the palette entry per tile.
    u16 banks[256];
    if constexpr (!fullColour) {
        std::memcpy(banks, gba.HostPalette, sizeof banks);
        for (u32 bank = 0; bank < 16; ++bank) {
            banks[16 * bank] = 0;
        }
    }
    while (written < screenWidth) {
        u32 entry = mapEntry(line.mapRows[block], column);
        if constexpr (fullColour) {
            drawTile256<effect>(out + written, entry, line, from);
        } else {
            drawTile16<effect>(out + written, entry, line, from, banks);
        }
        written += 8 - from;
        from = 0;
        if (++column == 32) {
            column = 0;
            block ^= 1;
        }
    }
}

template <bool fullColour>
void drawTextRowWithEffect(u16* out, const TextLine& line, EffectMode effect) {
    switch (effect) {
    case effectBrighten: drawTextRow<fullColour, effectBrighten>(out, line); break;
    case effectDarken: drawTextRow<fullColour, effectDarken>(out, line); break;
    default: drawTextRow<fullColour, effectNone>(out, line); break;
    }
}

// Each pixel shows the colour sampled last; a countdown of the block width samples the pixel
// where it runs out. The first pixel of the line is always sampled, so the first block (one
// pixel narrower than the others) shows it instead of a colour left from elsewhere.
void applyHorizontalMosaic(u16* out, u32 blockWidth) {
    u32 countdown = blockWidth;
    u16 sampled = out[0];
    for (u32 x = 0; x < screenWidth; ++x) {
        if (--countdown == 0) {
            sampled = out[x];
            countdown = blockWidth;
        }
        out[x] = sampled;
    }
}

TextLine textLineFor(u32 bg, u32 control) {
    u32 vcount = ioRegister(io::VCOUNT);
    u32 x = ioRegister(io::BG0HOFS + 4 * bg) & 0x1FF;
    u32 y = (ioRegister(io::BG0VOFS + 4 * bg) & 0x1FF) + vcount;
    if (control & 0x40) {
        y -= vcount % (((ioRegister(io::MOSAIC) >> 4) & 0xF) + 1);
    }
    u32 size = control >> 14;
    y &= size >= 2 ? 0x1FF : 0xFF;

    // The row within a block comes from y mod 256; the lower blocks of sizes 2 and 3 start
    // one and two blocks further on.
    u32 mapRow = ((control >> 8) & 0x1F) * mapBlockBytes + mapRowBytes * ((y & 0xFF) >> 3);
    if (y >= 256) {
        mapRow += size == 2 ? mapBlockBytes : 2 * mapBlockBytes;
    }
    const u8* left = gba.VideoRam + mapRow;
    const u8* right = (size & 1) ? left + mapBlockBytes : left;

    TextLine line{};
    if (x >= 256) {
        x -= 256;
        line.mapRows[0] = right;
        line.mapRows[1] = left;
    } else {
        line.mapRows[0] = left;
        line.mapRows[1] = right;
    }
    line.column = x >> 3;
    line.firstPixel = x & 7;
    line.tileRow = y & 7;
    line.charBase = ((control >> 2) & 3) * 0x4000;
    return line;
}

} // namespace

void drawTextLayer(u32 bg, u16* out, EffectMode effect) {
    u32 control = ioRegister(io::BG0CNT + 2 * bg);
    TextLine line = textLineFor(bg, control);
    if (control & 0x80) {
        drawTextRowWithEffect<true>(out, line, effect);
    } else {
        drawTextRowWithEffect<false>(out, line, effect);
    }
    u32 blockWidth = (ioRegister(io::MOSAIC) & 0xF) + 1;
    if ((control & 0x40) && blockWidth >= 2) {
        applyHorizontalMosaic(out, blockWidth);
    }
}
