// Pictures of the demo, all computed at start-up: the font, the logo, the star field, the
// nebula, the rock bands, the sprites and the palettes.
#include "demo.h"

// 5 x 7 glyphs, one byte per row, bit 4 the leftmost pixel, in the order of glyph_order.
static const u8 font[FONT_GLYPHS][7] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // ' '
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // '0'
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // '1'
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // '2'
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // '3'
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // '4'
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // '5'
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // '6'
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // '7'
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // '8'
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // '9'
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, // 'A'
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}, // 'B'
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, // 'C'
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}, // 'D'
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, // 'E'
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}, // 'F'
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, // 'G'
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, // 'H'
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 'I'
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}, // 'J'
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, // 'K'
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}, // 'L'
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, // 'M'
    {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}, // 'N'
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, // 'O'
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}, // 'P'
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, // 'Q'
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}, // 'R'
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, // 'S'
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}, // 'T'
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, // 'U'
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}, // 'V'
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, // 'W'
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}, // 'X'
    {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}, // 'Y'
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}, // 'Z'
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}, // '-'
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}, // '!'
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}, // ':'
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}, // '.'
    {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}, // 'x'
};
static const char glyph_order[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-!:.x";
static const char logo_text[LOGO_LETTERS + 1] = "QUARVEND";

// A quarter of a sine wave, scaled by 256.
static const u16 quarter_sine[65] = {
    0,   6,   13,  19,  25,  31,  38,  44,  50,  56,  62,  68,  74,  80,  86,  92,  98,
    104, 109, 115, 121, 126, 132, 137, 142, 147, 152, 157, 162, 167, 172, 177, 181, 185,
    190, 194, 198, 202, 206, 209, 213, 216, 220, 223, 226, 229, 231, 234, 237, 239, 241,
    243, 245, 247, 248, 250, 251, 252, 253, 254, 255, 255, 256, 256, 256,
};

int sin256(int angle) {
    angle &= 255;
    if (angle < 64)
        return quarter_sine[angle];
    if (angle < 128)
        return quarter_sine[128 - angle];
    if (angle < 192)
        return -quarter_sine[angle - 128];
    return -quarter_sine[256 - angle];
}

// A repeatable hash of two coordinates, for textures and the star map.
static u32 hash2(u32 x, u32 y) {
    u32 h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// Tile pixel buffer: 64 colour indices, packed into 4 bits each when stored.
static void store_tile(volatile u32* dest, const u8* pixels) {
    for (int row = 0; row < 8; ++row) {
        u32 word = 0;
        for (int x = 7; x >= 0; --x) {
            word = (word << 4) | (pixels[row * 8 + x] & 15);
        }
        dest[row] = word;
    }
}

// Glyph g drawn in colour 1 with a shadow in colour 2, on colour BACK.
static void make_glyph(volatile u32* dest, int g, int back) {
    u8 pixels[64];
    for (int i = 0; i < 64; ++i) {
        pixels[i] = (u8)back;
    }
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            if (font[g][y] & (0x10 >> x)) {
                pixels[y * 8 + x + 1] = 1;
                if (y < 6 && pixels[(y + 1) * 8 + x + 2] != 1) {
                    pixels[(y + 1) * 8 + x + 2] = 2;
                }
            }
        }
    }
    store_tile(dest, pixels);
}

static int glyph_index(char c) {
    for (int g = 0; glyph_order[g]; ++g) {
        if (glyph_order[g] == c) {
            return g;
        }
    }
    return 0;
}

// The logo letters at twice the font's size, shaded from top (colour 1) to bottom (colour 7),
// with a dark outline in colour 8.
static void make_logo_letter(volatile u32* dest, int g) {
    u8 pixels[16][16];
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int fx = (x - 2) >> 1, fy = (y - 1) >> 1;
            int on = x >= 2 && fx < 5 && y >= 1 && fy < 7 && (font[g][fy] & (0x10 >> fx));
            pixels[y][x] = on ? (u8)(1 + (y * 7) / 16) : 0;
        }
    }
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (pixels[y][x] || x == 0 || y == 0) {
                continue;
            }
            if ((pixels[y - 1][x] && pixels[y - 1][x] != 8) ||
                (pixels[y][x - 1] && pixels[y][x - 1] != 8)) {
                pixels[y][x] = 8;
            }
        }
    }
    for (int t = 0; t < 4; ++t) {
        u8 tile[64];
        for (int i = 0; i < 64; ++i) {
            tile[i] = pixels[(t >> 1) * 8 + (i >> 3)][(t & 1) * 8 + (i & 7)];
        }
        store_tile(dest + 8 * t, tile);
    }
}

// Four star tiles: a dim dot, a bright dot, a double dot and a small cross.
static void make_stars(volatile u32* dest) {
    static const u8 star_pixels[STAR_TILES][3] = {{27, 1, 0}, {42, 3, 0}, {19, 2, 20}, {36, 4, 0}};
    for (int t = 0; t < STAR_TILES; ++t) {
        u8 pixels[64] = {0};
        int at = star_pixels[t][0];
        pixels[at] = star_pixels[t][1];
        if (star_pixels[t][2]) {
            pixels[star_pixels[t][2]] = 2;
        }
        if (t == 3) {
            pixels[at - 1] = pixels[at + 1] = pixels[at - 8] = pixels[at + 8] = 2;
        }
        store_tile(dest + 8 * t, pixels);
    }
}

// A 128 x 64 pixel cloud pattern that repeats seamlessly in both directions; thin parts are
// left transparent so that the stars show through. The terms that depend on one coordinate
// only are computed once per row or column.
static void make_nebula(volatile u32* dest) {
    s16 row_shift[64], column_shift[128];
    for (int y = 0; y < 64; ++y) {
        row_shift[y] = (s16)(sin256(4 * y) >> 2);
    }
    for (int x = 0; x < 128; ++x) {
        column_shift[x] = (s16)((sin256(6 * x) * 51) >> 8); // about a fifth
    }
    for (int t = 0; t < 128; ++t) {
        int tx = (t & 15) * 8, ty = (t >> 4) * 8;
        u8 pixels[64];
        for (int i = 0; i < 64; ++i) {
            int x = tx + (i & 7), y = ty + (i >> 3);
            int v = sin256(2 * x + row_shift[y]) + sin256(4 * y + column_shift[x]) +
                    (sin256(2 * x - 8 * y) >> 1) + (int)(hash2(x, y) & 31) - 16;
            int level = ((v - 60) * 2731) >> 16; // (v - 60) / 24
            pixels[i] = (u8)(level < 1 ? 0 : level > 15 ? 15 : level);
        }
        store_tile(dest + 8 * t, pixels);
    }
}

// Rock band height in pixels (0..23) at column x of the map.
static int rock_height(int x, int phase) {
    int h = 11 + ((5 * sin256(2 * x + phase) + 4 * sin256(6 * x + 40 + phase) +
                   2 * sin256(14 * x + phase)) >>
                  8);
    return h < 1 ? 1 : h > 23 ? 23 : h;
}

// The rock bands: unique tiles per column, textured and with a lit edge (colour 7).
static void make_rocks(volatile u32* dest) {
    u8 top[256], bottom[256];
    for (int x = 0; x < 256; ++x) {
        top[x] = (u8)rock_height(x, 0);
        bottom[x] = (u8)(23 - rock_height(x, 90));
    }
    for (int band = 0; band < 2; ++band) {
        for (int row = 0; row < ROCK_ROWS; ++row) {
            for (int column = 0; column < 32; ++column) {
                u8 pixels[64];
                for (int i = 0; i < 64; ++i) {
                    int x = column * 8 + (i & 7);
                    int y = row * 8 + (i >> 3);
                    int depth = band == 0 ? top[x] - y : y - bottom[x];
                    if (depth <= 0) {
                        pixels[i] = 0;
                    } else if (depth == 1) {
                        pixels[i] = 7;
                    } else {
                        pixels[i] = (u8)(1 + (hash2(x >> 1, y >> 1) & 1) + (hash2(x, y) & 1) +
                                         (depth > 6 ? 0 : 3));
                    }
                }
                store_tile(dest + 8 * ((band * ROCK_ROWS + row) * 32 + column), pixels);
            }
        }
    }
}

// The player's ship, facing right.
static const char* const ship_art[16] = {
    "................", "...33...........", "...233..........", "...2233.........",
    "..712233........", ".87122333333....", "987122222445533.", "9871222226655444",
    "9871222226655444", "987122222445533.", ".87122333333....", "..712233........",
    "...2233.........", "...233..........", "...33...........", "................",
};
static const char* const shot_art[8] = {
    "................", "................", "...3322222111...", "..33222221114444",
    "..33222221114444", "...3322222111...", "................", "................",
};
static const char* const flame_art[8] = {
    "........", "........", "....3322", "..332111", "..332111", "....3322", "........", "........",
};

// Stores a W x H sprite, given as rows of hex digits ('.' is transparent), as 8 x 8 tiles in
// one-dimensional order.
static void store_art(volatile u32* dest, const char* const* art, int w, int h) {
    for (int ty = 0; ty < h / 8; ++ty) {
        for (int tx = 0; tx < w / 8; ++tx) {
            u8 pixels[64];
            for (int i = 0; i < 64; ++i) {
                char c = art[ty * 8 + (i >> 3)][tx * 8 + (i & 7)];
                pixels[i] = (u8)(c == '.' ? 0 : c <= '9' ? c - '0' : c - 'A' + 10);
            }
            store_tile(dest + 8 * (ty * (w / 8) + tx), pixels);
        }
    }
}

typedef u8 (*ShapeFunction)(int dx, int dy, int x, int y);

// Stores a 16 x 16 sprite whose colour comes from SHAPE, given the doubled offsets from the
// centre (odd numbers from -15 to 15) and the pixel position.
static void store_shape(volatile u32* dest, ShapeFunction shape) {
    for (int t = 0; t < 4; ++t) {
        u8 pixels[64];
        for (int i = 0; i < 64; ++i) {
            int x = (t & 1) * 8 + (i & 7), y = (t >> 1) * 8 + (i >> 3);
            pixels[i] = shape(2 * x - 15, 2 * y - 15, x, y);
        }
        store_tile(dest + 8 * t, pixels);
    }
}

// A ring with four knobs, one of them bright so that the rotation shows.
static u8 spinner_shape(int dx, int dy, int x, int y) {
    (void)x;
    (void)y;
    int d = dx * dx + dy * dy;
    if (d < 12)
        return 5;
    if (d < 40)
        return 4;
    if ((dx - 11) * (dx - 11) + dy * dy < 20)
        return 4;
    if ((dx + 11) * (dx + 11) + dy * dy < 20 || dx * dx + (dy - 11) * (dy - 11) < 20 ||
        dx * dx + (dy + 11) * (dy + 11) < 20)
        return 3;
    if (d >= 100 && d < 196)
        return 2;
    if ((dx == 1 || dx == -1 || dy == 1 || dy == -1) && d < 196)
        return 1;
    return 0;
}

// A green pod with a white eye on its left side.
static u8 pod_shape(int dx, int dy, int x, int y) {
    (void)x;
    (void)y;
    int e = dx * dx * 100 / 196 + dy * dy * 100 / 121;
    if (e >= 100)
        return 0;
    int ex = dx + 6, eye = ex * ex + dy * dy;
    if (eye < 8)
        return 1;
    if (eye < 24)
        return 5;
    if (e >= 70)
        return 8;
    return (u8)(dy < -5 ? 7 : 6);
}

// A ball of fire, hottest in the middle, with holes.
static u8 blast_shape(int dx, int dy, int x, int y) {
    int d = dx * dx + dy * dy;
    if (d >= 225 || (d > 80 && (hash2(x, y) & 3) == 0))
        return 0;
    return (u8)(d < 30 ? 4 : d < 80 ? 3 : d < 150 ? 2 : 1);
}

// A ringed planet: a shaded ball with a tilted band across it.
static u8 orb_shape(int dx, int dy, int x, int y) {
    (void)x;
    (void)y;
    int d = dx * dx + dy * dy;
    int band = dx + 2 * dy;
    if (d >= 225) {
        return 0;
    }
    if (band > -4 && band < 4)
        return 8;
    int light = (dx + 5) * (dx + 5) + (dy + 5) * (dy + 5);
    return (u8)(1 + (light > 400 ? 0 : 6 - light / 70));
}

// An 8 x 8 bullet: a glowing ball.
static void make_bullet(volatile u32* dest) {
    u8 pixels[64];
    for (int i = 0; i < 64; ++i) {
        int dx = 2 * (i & 7) - 7, dy = 2 * (i >> 3) - 7;
        int d = dx * dx + dy * dy;
        pixels[i] = (u8)(d < 10 ? 4 : d < 26 ? 3 : d < 45 ? 2 : 0);
    }
    store_tile(dest, pixels);
}

// Fills palette entries FIRST.. with COUNT colours running from A to B.
static void gradient(volatile u16* palette, int first, int count, int r0, int g0, int b0, int r1,
                     int g1, int b1) {
    for (int i = 0; i < count; ++i) {
        int d = count > 1 ? count - 1 : 1;
        palette[first + i] =
            RGB15(r0 + (r1 - r0) * i / d, g0 + (g1 - g0) * i / d, b0 + (b1 - b0) * i / d);
    }
}

static void load_palettes(void) {
    volatile u16* bg = PALETTE_BG;
    bg[0] = RGB15(1, 1, 5); // backdrop: deep space
    bg[16 * PAL_TEXT + 1] = RGB15(31, 31, 31);
    bg[16 * PAL_TEXT + 2] = RGB15(2, 2, 8);
    bg[16 * PAL_TEXT + 3] = RGB15(4, 4, 12);
    gradient(bg, 16 * PAL_STARS + 1, 4, 12, 12, 16, 31, 31, 31);
    gradient(bg, 16 * PAL_NEBULA + 1, 15, 6, 1, 12, 31, 18, 26);
    gradient(bg, 16 * PAL_ROCK + 1, 3, 6, 4, 8, 10, 7, 12);
    gradient(bg, 16 * PAL_ROCK + 4, 3, 11, 8, 13, 15, 11, 16);
    bg[16 * PAL_ROCK + 7] = RGB15(24, 20, 26);
    gradient(bg, 16 * PAL_LOGO + 1, 7, 31, 31, 10, 31, 8, 2);
    bg[16 * PAL_LOGO + 8] = RGB15(3, 0, 6);

    volatile u16* obj = PALETTE_OBJ;
    gradient(obj, 16 * OPAL_SHIP + 1, 4, 8, 8, 10, 31, 31, 31);
    obj[16 * OPAL_SHIP + 5] = RGB15(8, 28, 31);
    obj[16 * OPAL_SHIP + 6] = RGB15(2, 10, 24);
    obj[16 * OPAL_SHIP + 7] = RGB15(24, 4, 4);
    obj[16 * OPAL_SHIP + 8] = RGB15(31, 16, 2);
    obj[16 * OPAL_SHIP + 9] = RGB15(31, 30, 8);
    gradient(obj, 16 * OPAL_ENEMY + 1, 5, 10, 0, 2, 31, 31, 28);
    gradient(obj, 16 * OPAL_ENEMY + 6, 2, 6, 22, 6, 16, 31, 12);
    obj[16 * OPAL_ENEMY + 8] = RGB15(2, 10, 4);
    gradient(obj, 16 * OPAL_FIRE + 1, 4, 28, 4, 0, 31, 31, 24);
    gradient(obj, 16 * OPAL_ORB + 1, 7, 2, 4, 14, 20, 28, 31);
    obj[16 * OPAL_ORB + 8] = RGB15(31, 24, 10);
}

// Background maps: the star field and the nebula fill their whole map; the rock bands take
// three rows at the top (below the HUD row) and three at the bottom.
static void load_maps(void) {
    volatile u16* stars = SCREENBLOCK(SB_STARS);
    volatile u16* nebula = SCREENBLOCK(SB_NEBULA);
    volatile u16* rock = SCREENBLOCK(SB_ROCK);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            u32 h = hash2(x + 100, y + 7);
            stars[y * 32 + x] =
                (h % 5) ? 0 : (u16)((TILE_STARS + (h >> 8) % STAR_TILES) | (PAL_STARS << 12));
            nebula[y * 32 + x] =
                (u16)((TILE_NEBULA + (y & 7) * 16 + (x & 15)) | (PAL_NEBULA << 12));
            rock[y * 32 + x] = 0;
        }
    }
    for (int band = 0; band < 2; ++band) {
        int top = band == 0 ? ROCK_TOP_ROW : ROCK_BOTTOM_ROW;
        for (int row = 0; row < ROCK_ROWS; ++row) {
            for (int x = 0; x < 32; ++x) {
                rock[(top + row) * 32 + x] =
                    (u16)((TILE_ROCK + (band * ROCK_ROWS + row) * 32 + x) | (PAL_ROCK << 12));
            }
        }
    }
}

void art_load(void) {
    volatile u32* tiles = CHARBLOCK(0);
    for (int g = 0; g < FONT_GLYPHS; ++g) {
        make_glyph(tiles + 8 * (TILE_FONT + g), g, 0);
        make_glyph(tiles + 8 * (TILE_FONT_PANEL + g), g, 3);
    }
    for (int l = 0; l < LOGO_LETTERS; ++l) {
        make_logo_letter(tiles + 8 * (TILE_LOGO + 4 * l), glyph_index(logo_text[l]));
    }
    make_stars(tiles + 8 * TILE_STARS);
    make_nebula(tiles + 8 * TILE_NEBULA);
    make_rocks(tiles + 8 * TILE_ROCK);

    store_art(OBJ_TILES + 8 * OBJ_SHIP, ship_art, 16, 16);
    store_art(OBJ_TILES + 8 * OBJ_SHOT, shot_art, 16, 8);
    store_art(OBJ_TILES + 8 * OBJ_FLAME, flame_art, 8, 8);
    store_shape(OBJ_TILES + 8 * OBJ_SPINNER, spinner_shape);
    store_shape(OBJ_TILES + 8 * OBJ_POD, pod_shape);
    store_shape(OBJ_TILES + 8 * OBJ_BLAST, blast_shape);
    store_shape(OBJ_TILES + 8 * OBJ_ORB, orb_shape);
    make_bullet(OBJ_TILES + 8 * OBJ_BULLET);

    load_palettes();
    load_maps();
}

void text_clear(void) {
    volatile u32* map = (volatile u32*)SCREENBLOCK(SB_TEXT);
    for (int i = 0; i < 512; ++i) {
        map[i] = 0;
    }
}

void text_put(int column, int row, const char* text, int panel) {
    volatile u16* map = SCREENBLOCK(SB_TEXT) + row * 32 + column;
    int base = panel ? TILE_FONT_PANEL : TILE_FONT;
    while (*text) {
        *map++ = (u16)((base + glyph_index(*text++)) | (PAL_TEXT << 12));
    }
}

void text_number(int column, int row, u32 value, int digits, int panel) {
    char text[11];
    text[digits] = 0;
    for (int i = digits - 1; i >= 0; --i) {
        text[i] = (char)('0' + value % 10);
        value /= 10;
    }
    text_put(column, row, text, panel);
}

void logo_put(int column, int row) {
    volatile u16* map = SCREENBLOCK(SB_TEXT);
    for (int l = 0; l < LOGO_LETTERS; ++l) {
        int tile = TILE_LOGO + 4 * l;
        int at = row * 32 + column + 2 * l;
        map[at] = (u16)(tile | (PAL_LOGO << 12));
        map[at + 1] = (u16)((tile + 1) | (PAL_LOGO << 12));
        map[at + 32] = (u16)((tile + 2) | (PAL_LOGO << 12));
        map[at + 33] = (u16)((tile + 3) | (PAL_LOGO << 12));
    }
}
