// Text layers: 32x32-tile map blocks of 16-bit entries (tile number, flips, palette bank)
// scrolled by HOFS and VOFS, in 16 or 256 colours, with horizontal and vertical mosaic.
#include <cstring>

#include "common/screen.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"
#include "video/background_layers.h"
#include "video/tile_vectors.h"

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

// The row of a horizontally flipped tile is read with its pixels in reverse order, which for
// a row held in one integer is a byte swap (and, with 16 colours, a nibble swap in each byte).
// Computed for every tile and chosen by a select: whether tiles are flipped is hard to predict.
u32 rowAsShown16(u32 row, u32 entry) {
    u32 swapped = __builtin_bswap32(row);
    swapped = ((swapped >> 4) & 0x0F0F0F0F) | ((swapped & 0x0F0F0F0F) << 4);
    return (entry & 0x400) ? swapped : row;
}

u64 rowAsShown256(u64 row, u32 entry) {
    return (entry & 0x400) ? __builtin_bswap64(row) : row;
}

// One 16-colour tile row ROW of bank BANK, left pixel in the lowest nibble, from pixel FROM on.
template <EffectMode effect>
void tilePixels16(u16* out, u32 row, u32 bank, u32 from) {
    const u16* colours = gba.HostTileColours + 16 * bank;
    auto pixel = [&](u32 i) { return drawTimeEffect<effect>(colours[(row >> (4 * i)) & 0xF]); };
    if (from == 0) {
        if (row == 0) {
            // A transparent tile row, common in sparse layers.
            std::memset(out, 0, 8 * sizeof(u16));
            return;
        }
        if constexpr (effect == effectNone) {
            // Two pixels per look-up: one byte of the row gives both colours.
            const u32* pairs = gba.HostTilePairs[bank];
            for (u32 i = 0; i < 4; ++i) {
                const u32 colours2 = pairs[(row >> (8 * i)) & 0xFF];
                std::memcpy(out + 2 * i, &colours2, sizeof colours2);
            }
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

template <EffectMode effect>
void drawTile16(u16* out, u32 entry, const TextLine& line, u32 from) {
    u32 address =
        (line.charBase + 32 * (entry & 0x3FF) + 4 * tileRowOf(entry, line)) & tileAddressMask;
    // The tile row is 4 bytes at a multiple of 4: read once.
    const u32 row = rowAsShown16(load32(gba.VideoRam + address), entry);
    tilePixels16<effect>(out, row, entry >> 12, from);
}

// One 256-colour tile row ROW, left pixel in the lowest byte, from pixel FROM on.
template <EffectMode effect>
void tilePixels256(u16* out, u64 row, u32 from) {
    const u16* palette = gba.HostPalette;
    auto pixel = [&](u32 i) { return drawTimeEffect<effect>(palette[(row >> (8 * i)) & 0xFF]); };
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
    // The tile row is 8 bytes at a multiple of 8: read once.
    u64 row;
    std::memcpy(&row, gba.VideoRam + address, 8);
    tilePixels256<effect>(out, rowAsShown256(row, entry), from);
}

// Tiles left to right until the 240 visible pixels are covered; the last tile may run up to
// 7 pixels past them, which the 256-pixel buffer holds.
template <bool fullColour, EffectMode effect>
void drawTextRow(u16* out, const TextLine& line) {
    u32 written = 0;
    u32 column = line.column;
    u32 block = 0;
    u32 from = line.firstPixel;
    while (written < screenWidth) {
        u32 entry = mapEntry(line.mapRows[block], column);
        if constexpr (fullColour) {
            drawTile256<effect>(out + written, entry, line, from);
        } else {
            drawTile16<effect>(out + written, entry, line, from);
        }
        written += 8 - from;
        from = 0;
        if (++column == 32) {
            column = 0;
            block ^= 1;
        }
    }
}

#if QUARVEND_TILE_VECTORS
// What the vector loops need of the line, held in locals: the vector stores may alias
// anything, so fields read through a reference would be read again for every tile.
struct VectorRow {
    // The map rows of both blocks one after the other: the 32 entries from the line's first
    // tile column on follow one another, so the loops need no test for the wrap.
    u16 blocks[64];
    const u16* entries;
    // Where in video memory each tile's row lies, computed for all 32 in one loop that the
    // compiler does several entries at a time.
    u32 addresses[32];

    VectorRow(const VectorRow&) = delete; // ENTRIES points into the record itself

    explicit VectorRow(const TextLine& line) : entries(blocks + line.column) {
        std::memcpy(blocks, line.mapRows[0], 32 * sizeof(u16));
        std::memcpy(blocks + 32, line.mapRows[1], 32 * sizeof(u16));
        // The offset of the line's row in a tile, unflipped and flipped vertically (bit 11).
        const u32 rowBase = line.charBase + 4 * line.tileRow;
        const u32 flippedRowBase = line.charBase + 4 * (7 - line.tileRow);
        for (u32 i = 0; i < 32; ++i) {
            const u32 entry = entries[i];
            addresses[i] = ((entry & 0x800 ? flippedRowBase : rowBase) + 32 * (entry & 0x3FF)) &
                           tileAddressMask;
        }
    }

    // The row of tile I of the line as shown, with the byte-shuffle tables of its bank.
    u32 tileRow(u32 i, const u8*& bankBytes) const {
        const u32 entry = entries[i];
        bankBytes = gba.HostBankBytes[entry >> 12];
        return rowAsShown16(load32(gba.VideoRam + addresses[i]), entry);
    }
};

// drawTextRow for 16 colours without effect, eight pixels per pair of byte shuffles. The first
// tile goes through a scratch row, as only its pixels from the first one on are shown.
[[gnu::target("ssse3")]] void drawTextRow16Vector(u16* out, const TextLine& line) {
    const VectorRow row(line);
    const u8* bankBytes;
    u16 first[8];
    u32 tileRow = row.tileRow(0, bankBytes);
    expandTileRow16(first, tileRow, bankBytes);
    std::memcpy(out, first + line.firstPixel, (8 - line.firstPixel) * sizeof(u16));
    u32 i = 1;
    for (u32 written = 8 - line.firstPixel; written < screenWidth; written += 8, ++i) {
        tileRow = row.tileRow(i, bankBytes);
        expandTileRow16(out + written, tileRow, bankBytes);
    }
}
#endif

#if QUARVEND_WIDE_TILE_VECTORS
// drawTextRow16Vector with AVX2, two tiles per step: the first two into a scratch row, then
// two by two, the last pair reaching up to 15 pixels past the line's end, which the 256-pixel
// buffer has room for.
[[gnu::target("avx2")]] void drawTextRow16Wide(u16* out, const TextLine& line) {
    const VectorRow row(line);
    const u8* bank0;
    const u8* bank1;
    u16 first[16];
    u32 row0 = row.tileRow(0, bank0);
    u32 row1 = row.tileRow(1, bank1);
    expandTileRows16Twice(first, row0, bank0, row1, bank1);
    const u32 shown = 16 - line.firstPixel;
    std::memcpy(out, first + line.firstPixel, shown * sizeof(u16));
    u32 i = 2;
    for (u32 written = shown; written < screenWidth; written += 16, i += 2) {
        row0 = row.tileRow(i, bank0);
        row1 = row.tileRow(i + 1, bank1);
        expandTileRows16Twice(out + written, row0, bank0, row1, bank1);
    }
}
#endif

template <bool fullColour>
void drawTextRowWithEffect(u16* out, const TextLine& line, EffectMode effect) {
    switch (effect) {
    case effectBrighten: drawTextRow<fullColour, effectBrighten>(out, line); break;
    case effectDarken: drawTextRow<fullColour, effectDarken>(out, line); break;
    default:
#if QUARVEND_WIDE_TILE_VECTORS
        if (!fullColour && tileVectorsEnabled && wideTileVectorsEnabled) {
            drawTextRow16Wide(out, line);
            break;
        }
#endif
#if QUARVEND_TILE_VECTORS
        if (!fullColour && tileVectorsEnabled) {
            drawTextRow16Vector(out, line);
            break;
        }
#endif
        drawTextRow<fullColour, effectNone>(out, line);
        break;
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
