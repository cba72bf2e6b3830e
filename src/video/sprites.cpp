#include "video/sprites.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "common/screen.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"
#include "video/affine_span.h"
#include "video/color_effects.h"
#include "video/composition.h"
#include "video/frame_driver.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/tile_vectors.h"
#include "video/wide_vectors.h"

u8 spriteWidths[16];
u8 spriteHeights[16];
u8 spriteHalfWidthShifts[16];
u8 spriteHalfHeightShifts[16];

namespace {

constexpr u32 spriteEntries = 128;

// Sprite tiles live in the upper 32 KB of VideoRam. OAM can name rows past its end (high tile
// numbers with large sprites), so every tile read wraps inside the area.
constexpr u32 spriteTileBase = 0x10000;
constexpr u32 spriteTileMask = 0x7FFF;

// The widest box on a line: a 64-pixel affine sprite at double size.
constexpr u32 maxBoxWidth = 128;

// Where a sprite's pixels go and what happens to them on the way. Chosen once per sprite.
enum Target : u32 { toWindowMask, toSemiBuffer, plain, brightened, darkened };

// The choices that hold for every sprite of the line.
struct LineSetup {
    u32 line;
    bool oneDimensional;
    u32 mosaicWidth;   // horizontal block width; 1 leaves the row as it is
    u32 mosaicHeight;  // vertical block height
    u32 priorityLimit; // sprites with a greater priority number are not drawn
    // Ordinary sprites are copied over what lies below them, so where one is drawn, sprites of
    // greater priority numbers can never show.
    bool frontSpritesHide;
    Target ordinaryTarget;
    // By OBJ mode (attribute 0 bits 10-11): the target, and by mode * 4 + priority the column
    // set of takenColumns it draws against.
    Target modeTargets[4];
    u8 takenSets[16];
};

// The part of a sprite's box that lies on the current line.
struct SpriteSpan {
    u32 start; // first screen column
    u32 count; // columns drawn
    u32 skip;  // columns of the box left of the screen edge
};

// Texture position of the first drawn column and its step per column, 8 fraction bits.
struct AffineWalk {
    s32 tx;
    s32 ty;
    s32 pa;
    s32 pc;
};

// The stores and the column marks go over a sprite's colours in blocks of this many columns;
// the colours past its last drawn column are 0 up to the end of the block.
constexpr u32 colourBlock = 16;

// The current sprite's colours for its drawn columns; 0 is transparent. The eight entries in
// front of them take the columns of a row's first tile that lie left of its first drawn one.
u16 colourRow[8 + maxBoxWidth + colourBlock];
u16* const spriteColours = colourRow + 8;

u32 spriteAttribute(u32 entry, u32 index) {
    return load16(gba.ObjectAttributes + 8 * entry + 2 * index);
}

// Affine group g keeps PA, PB, PC, PD in the fourth halfword of entries 4g to 4g + 3.
s32 affineParameter(u32 group, u32 index) {
    return static_cast<s16>(load16(gba.ObjectAttributes + 32 * group + 8 * index + 6));
}

u32 sizeIndex(u32 attr0, u32 attr1) {
    return ((attr0 >> 14) << 2) | (attr1 >> 14);
}

const u16* spritePalette(u32 attr0, u32 attr2) {
    u32 bank = (attr0 & 0x2000) ? 0 : 16 * (attr2 >> 12);
    return gba.HostPalette + 256 + bank;
}

// Row of a box of the given height at OAM y that LINE crosses; false when the line misses it.
// A box at y 160 or more hangs from the bottom edge and shows its lower part at the top.
bool boxRow(u32 y, u32 height, u32 line, u32& row) {
    if (y < screenHeight) {
        if (line < y || line >= y + height) {
            return false;
        }
    } else if (line + 256 >= y + height) {
        return false;
    }
    row = (line - y) & 0xFF;
    return true;
}

// Screen columns of a box of the given width at OAM x. Only a box at x below 240 starts on the
// screen; one further right shows only when it reaches past column 511 and enters from the
// left edge with its first columns cut off.
bool boxSpan(u32 x, u32 width, SpriteSpan& span) {
    if (x < screenWidth) {
        span = {x, std::min(x + width, screenWidth) - x, 0};
        return true;
    }
    if (x + width > 512) {
        span = {0, x + width - 512, 512 - x};
        return true;
    }
    return false;
}

// Byte offset in the sprite area of texture row ROW. With two-dimensional mapping the tile
// rows of a sprite lie 32 tiles apart; with one-dimensional mapping they follow one another.
template <bool colours256>
u32 textureRowAddress(u32 tile, u32 row, u32 width, bool oneDimensional) {
    constexpr u32 tileRowBytes = colours256 ? 8 : 4;
    u32 stride = oneDimensional ? tileRowBytes * width : 1024;
    return 32 * tile + (row >> 3) * stride + (row & 7) * tileRowBytes;
}

// Byte offsets inside a sprite's texture, for the rotated sprites' texel loop, by colour depth
// (0: 16 colours, 1: 256): of each texture row, by the row stride of 32 << k bytes from one row
// of tiles to the next (k = 5 is two-dimensional mapping); and of each texture column within a
// tile row (for 16 colours, the byte that holds its pair of pixels).
struct TextureOffsets {
    u16 rows[2][6][64];
    u16 columns[2][64];
};

constexpr TextureOffsets textureOffsets = [] {
    TextureOffsets offsets{};
    for (u32 depth = 0; depth < 2; ++depth) {
        const u32 tileRowBytes = depth ? 8 : 4;
        for (u32 k = 0; k < 6; ++k) {
            for (u32 row = 0; row < 64; ++row) {
                offsets.rows[depth][k][row] =
                    static_cast<u16>((row >> 3) * (32u << k) + (row & 7) * tileRowBytes);
            }
        }
        for (u32 column = 0; column < 64; ++column) {
            offsets.columns[depth][column] =
                static_cast<u16>(depth ? (column >> 3) * 64 + (column & 7)
                                       : (column >> 3) * 32 + ((column & 7) >> 1));
        }
    }
    return offsets;
}();

// The indices of a tile row in mirrored order: a byte swap, and for 16 colours a nibble swap in
// each byte as well.
template <bool colours256>
u64 mirroredIndices(u64 indices) {
    if constexpr (colours256) {
        return __builtin_bswap64(indices);
    } else {
        u32 swapped = __builtin_bswap32(static_cast<u32>(indices));
        return ((swapped >> 4) & 0x0F0F0F0F) | ((swapped & 0x0F0F0F0F) << 4);
    }
}

// Only the box tiles that hold drawn columns are decoded, one read per tile row; mirrored, box
// tile B shows texture tile (width / 8 - 1 - B) with its indices reversed. The tiles are
// decoded whole into the sprite's colours, shifted so that its first drawn column lands at 0;
// the columns before and after it go to the room around them. A tile row never straddles the
// wrap of the sprite area: it starts at a multiple of its own size.
struct RowTiles {
    u32 first; // first box tile decoded
    u32 end;   // one past the last
    u16* out;  // where the first tile's leftmost pixel goes
};

RowTiles rowTiles(const SpriteSpan& span) {
    return {span.skip / 8, (span.skip + span.count + 7) / 8, spriteColours - (span.skip & 7)};
}

template <bool colours256, bool flipped>
void fetchRow(u32 rowAddress, u32 width, const SpriteSpan& span, const u16* palette) {
    constexpr u32 tileStride = colours256 ? 64 : 32;
    const u8* tiles = gba.VideoRam + spriteTileBase;
    const RowTiles box = rowTiles(span);
    for (u32 boxTile = box.first; boxTile < box.end; ++boxTile) {
        const u32 tileX = flipped ? width / 8 - 1 - boxTile : boxTile;
        const u8* source = tiles + ((rowAddress + tileX * tileStride) & spriteTileMask);
        u64 indices;
        if constexpr (colours256) {
            std::memcpy(&indices, source, 8);
        } else {
            indices = load32(source);
        }
        if constexpr (flipped) {
            indices = mirroredIndices<colours256>(indices);
        }
        u16* out = box.out + 8 * (boxTile - box.first);
        for (u32 k = 0; k < 8; ++k) {
            u32 index = colours256 ? (indices >> (8 * k)) & 0xFF : (indices >> (4 * k)) & 15;
            out[k] = colours256 || index ? palette[index] : 0;
        }
    }
}

using RowFetcher = void (*)(u32, u32, const SpriteSpan&, const u16*);
constexpr RowFetcher rowFetchers[4] = {fetchRow<false, false>, fetchRow<false, true>,
                                       fetchRow<true, false>, fetchRow<true, true>};

#if QUARVEND_TILE_VECTORS
// fetchRow for 16 colours, eight pixels per pair of byte shuffles through the bank's tables.
template <bool flipped>
[[gnu::target("ssse3")]] void fetchRow16Vector(u32 rowAddress, u32 width, const SpriteSpan& span,
                                               const u16* palette) {
    const u8* tiles = gba.VideoRam + spriteTileBase;
    const u8* bankBytes = gba.HostBankBytes[(palette - gba.HostPalette) >> 4];
    const RowTiles box = rowTiles(span);
    for (u32 boxTile = box.first; boxTile < box.end; ++boxTile) {
        const u32 tileX = flipped ? width / 8 - 1 - boxTile : boxTile;
        u32 indices = load32(tiles + ((rowAddress + tileX * 32) & spriteTileMask));
        if constexpr (flipped) {
            indices = static_cast<u32>(mirroredIndices<false>(indices));
        }
        expandTileRow16(box.out + 8 * (boxTile - box.first), indices, bankBytes);
    }
}

constexpr RowFetcher vectorRowFetchers[4] = {fetchRow16Vector<false>, fetchRow16Vector<true>,
                                             fetchRow<true, false>, fetchRow<true, true>};
#endif

// The texels of SPAN's columns along WALK; the caller has cut the span to columns inside the
// texture, so no test per pixel is needed. A 16-colour tile row is 4 bytes, the left pixel of
// each pair in the low nibble; a 256-colour one is 8 bytes. Written without branches: which
// nibble and whether the texel is transparent change from pixel to pixel of a rotated sprite
// and would be mispredicted. Index 0 of 256 colours finds the 0 that renderSpriteLine holds in
// entry 0.
template <bool colours256>
[[gnu::always_inline]] inline void fetchAffine(AffineWalk walk, u32 tile, u32 width,
                                               bool oneDimensional, u32 count, const u16* palette) {
    constexpr u32 tileRowBytes = colours256 ? 8 : 4;
    const u32 stride = oneDimensional ? tileRowBytes * width : 1024;
    const u16* rows = textureOffsets.rows[colours256][std::countr_zero(stride) - 5];
    const u16* columns = textureOffsets.columns[colours256];
    const u8* tiles = gba.VideoRam + spriteTileBase;
    const u32 base = 32 * tile;
    s32 tx = walk.tx, ty = walk.ty;
    for (u32 i = 0; i < count; ++i) {
        const u32 row = static_cast<u32>(ty) >> 8, column = static_cast<u32>(tx) >> 8;
        const u32 byte = tiles[(base + rows[row] + columns[column]) & spriteTileMask];
        if constexpr (colours256) {
            spriteColours[i] = palette[byte];
        } else {
            const u32 index = (byte >> (4 * (column & 1))) & 15;
            spriteColours[i] = static_cast<u16>(palette[index] & (0u - (index != 0)));
        }
        tx += walk.pa;
        ty += walk.pc;
    }
}

// Horizontal mosaic: a countdown from the block width runs down before each column; where it
// reaches 0 that column's colour is sampled, and every column shows the colour sampled last.
// The columns before the first sample show the sprite's first drawn column.
void applyHorizontalMosaic(u32 count, u32 blockWidth) {
    u16 sampled = spriteColours[0];
    u32 countdown = blockWidth;
    for (u32 i = 0; i < count; ++i) {
        if (--countdown == 0) {
            sampled = spriteColours[i];
            countdown = blockWidth;
        }
        spriteColours[i] = sampled;
    }
}

// Sprites are drawn front to back, so a column a sprite in front has taken (non-zero in the
// buffer or mask) keeps its pixel and only open columns take this sprite's.
template <Target target>
WIDE_VECTOR_CLONES void storeColours(const SpriteSpan& span, u32 priority) {
    u16* buffer = target == toSemiBuffer ? semiObjBuffers[priority] : objLineBuffers[priority];
    if constexpr (target == toSemiBuffer || target == plain) {
        // A select over whole blocks: the colours 0 past the span leave the columns there as
        // they are, and a block from column 239 still ends inside the line buffer.
        using Block = u16 __attribute__((vector_size(2 * colourBlock)));
        u16* out = buffer + span.start;
        for (u32 i = 0; i < span.count; i += colourBlock) {
            Block colours, below;
            std::memcpy(&colours, spriteColours + i, sizeof colours);
            std::memcpy(&below, out + i, sizeof below);
            below = below != 0 ? below : colours;
            std::memcpy(out + i, &below, sizeof below);
        }
        return;
    }
    for (u32 i = 0; i < span.count; ++i) {
        u32 colour = spriteColours[i];
        if (colour == 0) {
            continue;
        }
        u32 x = span.start + i;
        if constexpr (target == toWindowMask) {
            videoLine.objWindowMask[x] = 1;
            continue;
        }
        if (buffer[x] != 0) {
            continue;
        }
        if constexpr (target == brightened) {
            buffer[x] = brightenPixel(colour);
        } else {
            buffer[x] = darkenPixel(colour);
        }
    }
}

// Tells composition that a sprite left a pixel in TARGET's buffer of PRIORITY (or in the mask).
void markPresent(Target target, u32 priority) {
    if (target == toWindowMask) {
        videoLine.objWindowPresent = 1;
    } else if (target == toSemiBuffer) {
        videoLine.semiObjPresent[priority] = 1;
    } else {
        videoLine.objPresent[priority] = 1;
    }
}

using ColourStore = void (*)(const SpriteSpan&, u32);
constexpr ColourStore colourStores[5] = {storeColours<toWindowMask>, storeColours<toSemiBuffer>,
                                         storeColours<plain>, storeColours<brightened>,
                                         storeColours<darkened>};

// Per target (objLineBuffers 0-3, semiObjBuffers 4-7, the OBJ window mask 8), a bit for each
// column of the line that needs no pixel from the sprite being drawn: taken by a sprite in
// front, or, where front sprites hide, taken in a buffer of a smaller priority number. Sprites
// are drawn by priority, each priority front to back, and read texels only between their
// first and last open column. A bit is set only where a sprite left a pixel that wins over the
// current one, so the bits never hide a column that shows. The words past column 255 take the
// overflow of markTaken's shifts.
constexpr u32 takenWords = 4 + maxBoxWidth / 64 + 1;
u64 takenColumns[9][takenWords];
constexpr u32 windowMaskTaken = 8;

u32 takenIndex(Target target, u32 priority) {
    return target == toWindowMask ? windowMaskTaken : priority + 4 * (target == toSemiBuffer);
}

// The columns of SPAN, counted from its start, from its first to its last open one. Inlined:
// on a crowded line most sprites end with it, hidden.
[[gnu::always_inline]] inline ColumnRun openColumns(const u64* taken, const SpriteSpan& span) {
    const u32 end = span.start + span.count;
    u32 first = span.start;
    for (;;) {
        u64 open = ~taken[first >> 6] >> (first & 63);
        if (open != 0) {
            first += static_cast<u32>(std::countr_zero(open));
            break;
        }
        first = (first | 63) + 1;
        if (first >= end) {
            break;
        }
    }
    if (first >= end) {
        return {0, 0};
    }
    // Column FIRST is open, so this search stops there at the latest.
    u32 last = end - 1;
    for (;;) {
        u64 open = ~taken[last >> 6] << (63 - (last & 63));
        if (open != 0) {
            last -= static_cast<u32>(std::countl_zero(open));
            break;
        }
        last = (last & ~63u) - 1;
    }
    return {first - span.start, last + 1 - span.start};
}

// A bit for each of the sixteen columns from COLOURS on whose colour is not 0.
inline u32 opaqueColumns(const u16* colours) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(colours)), zero);
    const __m128i high =
        _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + 8)), zero);
    return ~static_cast<u32>(_mm_movemask_epi8(_mm_packs_epi16(low, high))) & 0xFFFF;
#else
    // Four columns at a time: the top bit of each non-zero 16-bit lane, gathered into four
    // adjacent bits by one multiplication.
    constexpr u64 lowBits = 0x7FFF7FFF7FFF7FFF;
    u32 opaque = 0;
    for (u32 i = 0; i < 16; i += 4) {
        u64 v = load64(colours + i);
        u64 lanes = (((v & lowBits) + lowBits) | v) & ~lowBits;
        opaque |= static_cast<u32>((((lanes >> 15) * 0x0001000200040008) >> 48) & 15) << i;
    }
    return opaque;
#endif
}

// Marks the columns where the sprite's colours are not 0; false when there is none.
bool markTaken(u64* taken, const SpriteSpan& span) {
    u64 opaque[maxBoxWidth / 64] = {};
    for (u32 i = 0; i < span.count; i += colourBlock) {
        opaque[i >> 6] |= u64{opaqueColumns(spriteColours + i)} << (i & 63);
    }
    const u32 word = span.start >> 6, shift = span.start & 63;
    u64 any = 0;
    for (u32 k = 0; k < maxBoxWidth / 64; ++k) {
        taken[word + k] |= opaque[k] << shift;
        taken[word + k + 1] |= shift ? opaque[k] >> (64 - shift) : 0;
        any |= opaque[k];
    }
    return any != 0;
}

void cutSpan(SpriteSpan& span, ColumnRun run) {
    span.start += run.first;
    span.skip += run.first;
    span.count = run.end - run.first;
}

// SPAN holds the box's columns on the screen and is cut to those read, OPEN of them.
bool fetchRegularSprite(const LineSetup& setup, u32 attr0, u32 attr1, u32 attr2, ColumnRun open,
                        SpriteSpan& span) {
    u32 size = sizeIndex(attr0, attr1);
    u32 width = spriteWidths[size];
    u32 height = spriteHeights[size];
    u32 row;
    if (!boxRow(attr0 & 0xFF, height, setup.line, row)) {
        return false;
    }
    bool mosaic = (attr0 & 0x1000) && setup.mosaicWidth > 1;
    if (mosaic) {
        // A mosaic row samples from its first drawn column on, so only its end may be cut.
        open.first = 0;
    }
    cutSpan(span, open);
    if (attr0 & 0x1000) {
        row -= row % setup.mosaicHeight;
    }
    if (attr1 & 0x2000) {
        row = height - 1 - row;
    }
    bool colours256 = attr0 & 0x2000;
    bool flipped = attr1 & 0x1000;
    u32 tile = attr2 & 0x3FF;
    u32 address = colours256 ? textureRowAddress<true>(tile, row, width, setup.oneDimensional)
                             : textureRowAddress<false>(tile, row, width, setup.oneDimensional);
    const RowFetcher* fetchers = rowFetchers;
#if QUARVEND_TILE_VECTORS
    if (tileVectorsEnabled) {
        fetchers = vectorRowFetchers;
    }
#endif
    fetchers[2 * colours256 + flipped](address, width, span, spritePalette(attr0, attr2));
    if (mosaic) {
        applyHorizontalMosaic(span.count, setup.mosaicWidth);
    }
    return true;
}

// The texture position of the first drawn column of box row IY, after SKIP columns cut at the
// left edge, in 8.8 fixed point. The products with the skip and with the row are each cut to
// signed 16 bits before they are added; that loss of precision is deliberate.
[[gnu::always_inline]] inline AffineWalk affineStart(u32 group, u32 skip, u32 iy, u32 halfBoxWidth,
                                                     u32 halfBoxHeight, u32 width, u32 height) {
    s32 pa = affineParameter(group, 0);
    s32 pb = affineParameter(group, 1);
    s32 pc = affineParameter(group, 2);
    s32 pd = affineParameter(group, 3);
    auto cut = [](s32 product) { return static_cast<s32>(static_cast<s16>(product)); };
    s32 x = static_cast<s32>(skip), y = static_cast<s32>(iy);
    s32 halfW = static_cast<s32>(halfBoxWidth), halfH = static_cast<s32>(halfBoxHeight);
    return {cut(pa * x) + cut(pb * y) + static_cast<s32>(128 * width) - (pb * halfH + pa * halfW),
            cut(pc * x) + cut(pd * y) + static_cast<s32>(128 * height) - (pd * halfH + pc * halfW),
            pa, pc};
}

// What an affine sprite's row needs before its texels are read: the texture walk from the
// box's first column on the screen and the run of columns inside the texture.
struct AffineRow {
    AffineWalk walk;
    ColumnRun inside;
    u32 width;
};

// False when the line misses the box or the texture. With vertical MOSAIC the row steps back
// to the first of its block. This and the helpers it and fetchAffineTexels use are inlined into
// both affine paths, so that the one without mosaic keeps the code it had alone.
template <bool mosaic>
[[gnu::always_inline]] inline bool affineRow(const LineSetup& setup, u32 attr0, u32 attr1,
                                             const SpriteSpan& span, AffineRow& row) {
    u32 size = sizeIndex(attr0, attr1);
    u32 doubled = (attr0 >> 9) & 1;
    u32 halfBoxWidth = 1u << (spriteHalfWidthShifts[size] + doubled);
    u32 halfBoxHeight = 1u << (spriteHalfHeightShifts[size] + doubled);
    u32 iy;
    if (!boxRow(attr0 & 0xFF, 2 * halfBoxHeight, setup.line, iy)) {
        return false;
    }
    if constexpr (mosaic) {
        iy -= iy % setup.mosaicHeight;
    }
    row.width = spriteWidths[size];
    u32 height = spriteHeights[size];
    row.walk = affineStart((attr1 >> 9) & 31, span.skip, iy, halfBoxWidth, halfBoxHeight, row.width,
                           height);
    row.inside = insideBoth(
        insideColumns(row.walk.tx, row.walk.pa, static_cast<s32>(row.width << 8), span.count),
        insideColumns(row.walk.ty, row.walk.pc, static_cast<s32>(height << 8), span.count));
    return row.inside.first != row.inside.end;
}

// COUNT texels of the row from its column FIRST on, into spriteColours.
[[gnu::always_inline]] inline void fetchAffineTexels(const LineSetup& setup, u32 attr0, u32 attr2,
                                                     const AffineRow& row, u32 first, u32 count) {
    AffineWalk walk = row.walk;
    walk.tx += static_cast<s32>(first) * walk.pa;
    walk.ty += static_cast<s32>(first) * walk.pc;
    u32 tile = attr2 & 0x3FF;
    const u16* palette = spritePalette(attr0, attr2);
    if (attr0 & 0x2000) {
        fetchAffine<true>(walk, tile, row.width, setup.oneDimensional, count, palette);
    } else {
        fetchAffine<false>(walk, tile, row.width, setup.oneDimensional, count, palette);
    }
}

// With mosaic a row samples from its first drawn column on and spreads its samples beyond the
// texture, so the whole run inside is read and the whole span of the box kept, the columns
// outside the texture transparent.
[[gnu::noinline]] bool fetchAffineMosaicSprite(const LineSetup& setup, u32 attr0, u32 attr1,
                                               u32 attr2, SpriteSpan& span) {
    AffineRow row;
    if (!affineRow<true>(setup, attr0, attr1, span, row)) {
        return false;
    }
    const ColumnRun inside = row.inside;
    fetchAffineTexels(setup, attr0, attr2, row, inside.first, inside.end - inside.first);
    std::memmove(spriteColours + inside.first, spriteColours,
                 (inside.end - inside.first) * sizeof(u16));
    std::fill_n(spriteColours, inside.first, 0);
    std::fill(spriteColours + inside.end, spriteColours + span.count, 0);
    if (setup.mosaicWidth > 1) {
        applyHorizontalMosaic(span.count, setup.mosaicWidth);
    }
    return true;
}

// Outside the texture the columns are transparent; of the run inside, only the stretch
// between the first and the last open column is read.
bool fetchAffineSprite(const LineSetup& setup, u32 attr0, u32 attr1, u32 attr2, const u64* taken,
                       SpriteSpan& span) {
    if (attr0 & 0x1000) {
        return fetchAffineMosaicSprite(setup, attr0, attr1, attr2, span);
    }
    AffineRow row;
    if (!affineRow<false>(setup, attr0, attr1, span, row)) {
        return false;
    }
    cutSpan(span, row.inside);
    const ColumnRun open = openColumns(taken, span);
    if (open.first == open.end) {
        return false;
    }
    cutSpan(span, open);
    fetchAffineTexels(setup, attr0, attr2, row, row.inside.first + open.first, span.count);
    return true;
}

Target spriteTarget(const LineSetup& setup, u32 attr0) {
    switch ((attr0 >> 10) & 3) {
    case 1: return toSemiBuffer; // whatever BLDCNT says; composition decides where they blend
    case 2: return toWindowMask;
    default: return setup.ordinaryTarget;
    }
}

// For each visible line, the entries whose box may cross it: every entry that boxRow can
// accept on that line is in the list, so drawing only those gives the same picture as trying
// all 128. Rebuilt when the attribute memory differs from the copy it was built from, whoever
// wrote it (CPU, DMA or a test).
struct SpriteLineLists {
    bool built = false;
    u8 builtFrom[oamSize];
    u64 onLine[screenHeight][4][2]; // by priority, entries 0-63 and 64-127
    // What each entry's test for open columns needs, whatever the line.
    struct Entry {
        SpriteSpan box;   // columns on the screen; count 0 when disabled or off the screen
        u32 modePriority; // OBJ mode * 4 + priority
    } entries[spriteEntries];
};
SpriteLineLists lineLists;

// Height of an entry's box, or 0 for a disabled entry.
u32 boxHeight(u32 attr0, u32 attr1) {
    u32 size = sizeIndex(attr0, attr1);
    if (attr0 & 0x100) {
        u32 doubled = (attr0 >> 9) & 1;
        return 2u << (spriteHalfHeightShifts[size] + doubled);
    }
    return (attr0 & 0x200) ? 0 : spriteHeights[size];
}

void rebuildLineLists() {
    std::memcpy(lineLists.builtFrom, gba.ObjectAttributes, oamSize);
    std::memset(lineLists.onLine, 0, sizeof lineLists.onLine);
    for (u32 entry = 0; entry < spriteEntries; ++entry) {
        u32 attr0 = spriteAttribute(entry, 0);
        u32 height = boxHeight(attr0, spriteAttribute(entry, 1));
        u32 priority = (spriteAttribute(entry, 2) >> 10) & 3;
        u32 attr1 = spriteAttribute(entry, 1);
        u32 size = sizeIndex(attr0, attr1);
        u32 width = (attr0 & 0x100) ? 2u << (spriteHalfWidthShifts[size] + ((attr0 >> 9) & 1))
                                    : spriteWidths[size];
        auto& [box, modePriority] = lineLists.entries[entry];
        const bool disabled = (attr0 & 0x300) == 0x200;
        if (disabled || !boxSpan(attr1 & 0x1FF, width, box)) {
            box = {0, 0, 0};
        }
        modePriority = 4 * ((attr0 >> 10) & 3) + priority;
        u32 y = attr0 & 0xFF;
        // As boxRow: a box at y 160 or more shows only its part below line 256.
        u32 first = y < screenHeight ? y : 0;
        u32 end = y < screenHeight
                      ? std::min(y + height, screenHeight)
                      : (y + height > 256 ? std::min(y + height - 256, screenHeight) : 0);
        for (u32 line = first; line < end; ++line) {
            lineLists.onLine[line][priority][entry >> 6] |= u64{1} << (entry & 63);
        }
    }
    lineLists.built = true;
}

} // namespace

void forgetSpriteLineLists() {
    lineLists.built = false;
}

namespace {

using EntryLists = u64[4][2];

void refreshLineLists() {
    if (!lineLists.built || std::memcmp(lineLists.builtFrom, gba.ObjectAttributes, oamSize) != 0) {
        rebuildLineLists();
    }
}

void drawSprite(const LineSetup& setup, u32 entry) {
    SpriteSpan span = lineLists.entries[entry].box;
    if (span.count == 0) {
        return;
    }
    const u32 modePriority = lineLists.entries[entry].modePriority;
    u64* taken = takenColumns[setup.takenSets[modePriority]];
    // On a crowded line most sprites end here, hidden by those in front.
    const ColumnRun open = openColumns(taken, span);
    if (open.first == open.end) {
        return;
    }
    u32 attr0 = spriteAttribute(entry, 0);
    u32 attr1 = spriteAttribute(entry, 1);
    u32 attr2 = spriteAttribute(entry, 2);
    u32 priority = modePriority & 3;
    Target target = setup.modeTargets[modePriority >> 2];
    bool onLine = attr0 & 0x100 ? fetchAffineSprite(setup, attr0, attr1, attr2, taken, span)
                                : fetchRegularSprite(setup, attr0, attr1, attr2, open, span);
    if (onLine) {
        std::memset(spriteColours + span.count, 0, colourBlock * sizeof(u16));
        colourStores[target](span, priority);
        if (markTaken(taken, span)) {
            markPresent(target, priority);
        }
    }
}

LineSetup prepareLine(u32 dispcnt, u32 bitmapMode) {
    LineSetup setup;
    setup.line = ioRegister(io::VCOUNT);
    setup.oneDimensional = dispcnt & 0x0040;
    u32 mosaic = ioRegister(io::MOSAIC);
    setup.mosaicWidth = ((mosaic >> 8) & 15) + 1;
    setup.mosaicHeight = ((mosaic >> 12) & 15) + 1;
    // In the bitmap modes sprites behind BG2 are not drawn at all.
    setup.priorityLimit = bitmapMode ? videoLine.bitmapBg2Priority : 3;

    // With a window on, the window composition applies the effects instead.
    u32 bldmod = ioRegister(io::BLDCNT);
    u32 effectMode = (bldmod >> 6) & 3;
    bool windows = dispcnt & 0xE000;
    bool spritesFirstTarget = bldmod & 0x0010;
    // The bitmap modes compose without windows whatever DISPCNT says.
    setup.frontSpritesHide = (windows && !bitmapMode) || !ordinarySpritesBlend(bldmod);
    setup.ordinaryTarget = plain;
    if (spritesFirstTarget && !windows) {
        setup.ordinaryTarget = effectMode == effectBrighten ? brightened
                               : effectMode == effectDarken ? darkened
                                                            : plain;
    }
    for (u32 mode = 0; mode < 4; ++mode) {
        const Target target = spriteTarget(setup, mode << 10);
        setup.modeTargets[mode] = target;
        for (u32 priority = 0; priority < 4; ++priority) {
            setup.takenSets[4 * mode + priority] = static_cast<u8>(takenIndex(target, priority));
        }
    }
    return setup;
}

void drawSpriteLine(const LineSetup& setup) {
    refreshLineLists();
    EntryLists everyEntry;
    const EntryLists* lists = &everyEntry;
    if (setup.line < screenHeight) {
        lists = &lineLists.onLine[setup.line];
    } else {
        std::memset(everyEntry, 0, sizeof everyEntry);
        for (u32 entry = 0; entry < spriteEntries; ++entry) {
            everyEntry[(spriteAttribute(entry, 2) >> 10) & 3][entry >> 6] |= u64{1} << (entry & 63);
        }
    }
    // Nothing is taken when the line starts: its buffers start empty.
    std::memset(takenColumns[windowMaskTaken], 0, sizeof takenColumns[0]);
    // The columns that sprites of smaller priority numbers hide, once a priority is drawn.
    const u64* hidden = nullptr;
    for (u32 priority = 0; priority <= setup.priorityLimit; ++priority) {
        const u64* entries = (*lists)[priority];
        if ((entries[0] | entries[1]) == 0) {
            continue;
        }
        for (u32 index : {priority, 4 + priority}) {
            if (hidden) {
                std::memcpy(takenColumns[index], hidden, sizeof takenColumns[0]);
            } else {
                std::memset(takenColumns[index], 0, sizeof takenColumns[0]);
            }
        }
        // A lower-numbered sprite lies in front of others of its priority.
        for (u32 half = 0; half < 2; ++half) {
            for (u64 left = entries[half]; left != 0; left &= left - 1) {
                drawSprite(setup, 64 * half + static_cast<u32>(std::countr_zero(left)));
            }
        }
        if (setup.frontSpritesHide) {
            hidden = takenColumns[priority];
        }
    }
}

} // namespace

void initSpriteSizes() {
    // log2 of half the width and height by shape * 4 + size: 2 is 8 pixels, 5 is 64.
    static constexpr u8 halfWidthShifts[16] = {2, 3, 4, 5, 3, 4, 4, 5, 2, 2, 3, 4, 2, 2, 2, 2};
    static constexpr u8 halfHeightShifts[16] = {2, 3, 4, 5, 2, 2, 3, 4, 3, 4, 4, 5, 2, 2, 2, 2};
    for (u32 i = 0; i < 16; ++i) {
        spriteHalfWidthShifts[i] = halfWidthShifts[i];
        spriteHalfHeightShifts[i] = halfHeightShifts[i];
        spriteWidths[i] = static_cast<u8>(2u << halfWidthShifts[i]);
        spriteHeights[i] = static_cast<u8>(2u << halfHeightShifts[i]);
    }
}

void renderSpriteLine(u32 bitmapMode) {
    u32 dispcnt = ioRegister(io::DISPCNT);
    if (!(dispcnt & 0x1000)) {
        return;
    }
    LineSetup setup = prepareLine(dispcnt, bitmapMode);
    // Entry 0 of the sprite palette is held at 0 while the sprites are drawn, so that index 0
    // of a 256-colour sprite is transparent without a test in the pixel loops.
    const u16 entryZero = std::exchange(gba.HostPalette[256], 0);
    drawSpriteLine(setup);
    gba.HostPalette[256] = entryZero;
}

void clearSpritePresence() {
    std::memset(videoLine.objPresent, 0, sizeof videoLine.objPresent);
    std::memset(videoLine.semiObjPresent, 0, sizeof videoLine.semiObjPresent);
    videoLine.objWindowPresent = 0;
}

void clearObjWindowMask() {
    std::memset(videoLine.objWindowMask, 0, sizeof videoLine.objWindowMask);
}
