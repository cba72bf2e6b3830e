// Star Patrol, the project's demo game: shared declarations.
#pragma once

#include "gba.h"

// Background tiles in character block 0, all 16 colours.
enum {
    TILE_FONT = 1, // glyphs over transparency, FONT_GLYPHS of them
    FONT_GLYPHS = 42,
    TILE_FONT_PANEL = TILE_FONT + FONT_GLYPHS, // the same glyphs on the HUD's panel colour
    TILE_LOGO = TILE_FONT_PANEL + FONT_GLYPHS, // 2x2 tiles per logo letter
    LOGO_LETTERS = 8,
    TILE_STARS = TILE_LOGO + 4 * LOGO_LETTERS,
    STAR_TILES = 4,
    TILE_NEBULA = TILE_STARS + STAR_TILES, // 16 x 8 tiles
    TILE_ROCK = TILE_NEBULA + 128,         // 32 columns x 3 rows, top band then bottom band
};

// Background palette banks.
enum { PAL_TEXT, PAL_STARS, PAL_NEBULA, PAL_ROCK, PAL_LOGO };

// Screen blocks of the four layers: BG0 text, BG1 rocks, BG2 nebula, BG3 stars.
enum { SB_TEXT = 28, SB_ROCK = 29, SB_NEBULA = 30, SB_STARS = 31 };

// Sprite tiles (one-dimensional mapping, 32-byte units) and sprite palette banks.
enum {
    OBJ_SHIP = 0,
    OBJ_SHOT = 4,
    OBJ_SPINNER = 6,
    OBJ_POD = 10,
    OBJ_BULLET = 14,
    OBJ_BLAST = 15,
    OBJ_ORB = 19,
    OBJ_FLAME = 23,
};
enum { OPAL_SHIP, OPAL_ENEMY, OPAL_FIRE, OPAL_ORB };

// Rows of the rock bands, in tiles: the top band under the HUD and the bottom band.
enum { ROCK_TOP_ROW = 1, ROCK_BOTTOM_ROW = 17, ROCK_ROWS = 3 };

// art.c: every picture is computed at start-up.
void art_load(void);
int sin256(int angle); // sine of angle/256 turns, scaled by 256
void text_clear(void);
void text_put(int column, int row, const char* text, int panel);
void text_number(int column, int row, u32 value, int digits, int panel);
void logo_put(int column, int row);

// sound.c
void sound_init(void);
void music_start(int tune);
enum { TUNE_TITLE, TUNE_PLAY, TUNE_OVER };
void sfx_blast(void);
void sfx_shot(void);

// hiscore.c: the high score kept in the cartridge's battery RAM.
u32 hiscore_load(void);
void hiscore_store(u32 score);

// Shadow copy of OAM, copied into OAM at every vertical blank.
extern u16 shadow_oam[512];

// fast.c: hot loops in ARM code in internal RAM.
typedef struct {
    s32 x, y;   // 24.8 fixed point, the centre
    s16 vx, vy; // 8.8 per frame
    u8 kind;    // 0 = free slot
    u8 hp;
    u8 size; // hit box edge in pixels
    u8 timer;
    u16 age;
} Actor;

// Returns how many pairs of live actors from A and B overlap; marks each hit actor of A by
// setting its hp to 0 and subtracts 1 from the hp of each actor of B that was hit.
int collide(Actor* a, int countA, Actor* b, int countB) IWRAM_CODE;
// Moves every live actor by its velocity; frees actors that left the area around the screen.
void move_actors(Actor* actors, int count) IWRAM_CODE;

// How a kind of actor looks: the sprite attributes and the distance from the sprite's corner
// to the actor's centre.
typedef struct {
    u16 attr0, attr1, attr2;
    s16 half;
} SpriteLook;

// Writes a shadow OAM entry for each live actor from SLOT on; returns the next free slot.
int emit_sprites(int slot, const Actor* actors, int count, const SpriteLook* look) IWRAM_CODE;
// Hides the sprites from SLOT to the end.
void hide_sprites(int slot) IWRAM_CODE;

// play.c and main.c
extern u32 frame_count;
extern u32 hiscore; // the best score so far, as loaded from battery RAM
extern u16 keys_held, keys_pressed;
void play_start(void);
int play_frame(void); // 0 while the game goes on, 1 once the last life is lost
u32 play_score(void);
void scroll_layers(int speed);
