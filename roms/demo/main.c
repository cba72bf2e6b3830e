// Star Patrol: the project's demo game. Title screen, play and game over; the picture,
// sound and high score set-up; the vertical blank interrupt that hands each frame's sprites
// and scroll positions to the hardware.
#include "bios.h"
#include "demo.h"
#include "irq.h"

u16 shadow_oam[512] __attribute__((aligned(4)));
u32 frame_count;
u32 hiscore;
u16 keys_held, keys_pressed;

enum { TITLE_SPRITES = 32 };

// Layer scroll positions in 24.8 fixed point, applied at the next vertical blank.
static s32 scroll_x[4];
static u16 window0_h, window0_v;

// Sprites and scroll positions change only during the vertical blank, so that no line is
// drawn with half of a frame's changes.
static void vblank(void) {
    REG_DMASAD(3) = (u32)shadow_oam;
    REG_DMADAD(3) = (u32)OAM;
    REG_DMACNT_L(3) = 256;
    REG_DMACNT_H(3) = DMA_ENABLE | DMA_32BIT;
    for (int n = 1; n < 4; ++n) {
        REG_BGHOFS(n) = (u16)(scroll_x[n] >> 8);
    }
    REG_WIN0H = window0_h;
    REG_WIN0V = window0_v;
}

void scroll_layers(int speed) {
    scroll_x[1] += 64 * speed;
    scroll_x[2] += 32 * speed;
    scroll_x[3] += 16 * speed;
}

static void read_keys(void) {
    u16 held = (u16)(~REG_KEYINPUT & 0x03FF);
    keys_pressed = held & (u16)~keys_held;
    keys_held = held;
}

static void next_frame(void) {
    VBlankIntrWait();
    ++frame_count;
    read_keys();
}

static void video_init(void) {
    REG_DISPCNT = 0x0080; // forced blank while the pictures are made
    art_load();
    text_clear();
    for (int i = 0; i < 128; ++i) {
        shadow_oam[i * 4] = ATTR0_HIDE;
    }
    REG_BGCNT(0) = BG_PRIORITY(0) | BG_CHARBLOCK(0) | BG_SCREENBLOCK(SB_TEXT);
    REG_BGCNT(1) = BG_PRIORITY(1) | BG_CHARBLOCK(0) | BG_SCREENBLOCK(SB_ROCK);
    REG_BGCNT(2) = BG_PRIORITY(2) | BG_CHARBLOCK(0) | BG_SCREENBLOCK(SB_NEBULA);
    REG_BGCNT(3) = BG_PRIORITY(3) | BG_CHARBLOCK(0) | BG_SCREENBLOCK(SB_STARS);
    // The nebula is seen through: blended over the stars and the backdrop.
    REG_BLDCNT = BLD_TOP_BG(2) | BLD_ALPHA | BLD_BOTTOM_BG(3) | BLD_BOTTOM_BACKDROP;
    REG_BLDALPHA = 8 | (10 << 8);
    REG_DISPCNT = DISPCNT_MODE0 | DISPCNT_OBJ_1D | DISPCNT_BG(0) | DISPCNT_BG(1) | DISPCNT_BG(2) |
                  DISPCNT_BG(3) | DISPCNT_OBJ | DISPCNT_WIN0;
}

// Everything is shown, with effects, inside window 0 and outside it.
#define SHOW_ALL (WIN_BG(0) | WIN_BG(1) | WIN_BG(2) | WIN_BG(3) | WIN_OBJ | WIN_EFFECTS)

// The title: the window opens from the middle like an iris, the logo sits inside a ring of
// rotating planets while spinners circle the other way.
static void title_screen(void) {
    text_clear();
    logo_put(7, 4);
    text_put(9, 8, "STAR PATROL", 0);
    text_put(7, 16, "HI-SCORE", 0);
    text_number(16, 16, hiscore, 6, 0);
    text_put(4, 18, "D-PAD MOVE   A-B FIRE", 0);
    REG_WININ = SHOW_ALL;
    REG_WINOUT = 0;
    music_start(TUNE_TITLE);

    for (int t = 0;; ++t) {
        int open = t < 40 ? t * 3 : 120;
        window0_h = (u16)(((120 - open) << 8) | (120 + open));
        window0_v = (u16)((open * 2 / 3 < 80 ? (80 - open * 2 / 3) << 8 : 0) |
                          (open * 2 / 3 < 80 ? 80 + open * 2 / 3 : 160));
        text_put(9, 12, (t & 32) ? "           " : "PRESS START", 0);

        ObjAffineSource sources[2] = {{256, 256, (u16)(t * 512), 0},
                                      {200, 200, (u16)(-t * 1536), 0}};
        ObjAffineSet(sources, &shadow_oam[3], 2, 8);
        for (int i = 0; i < TITLE_SPRITES; ++i) {
            int outer = i < 24;
            int angle = outer ? t + i * 256 / 24 : -2 * t + (i - 24) * 32;
            int rx = outer ? 104 : 80, ry = outer ? 62 : 40;
            int x = 120 + rx * sin256(angle + 64) / 256 - 8;
            int y = 78 + ry * sin256(angle) / 256 - 8;
            u16* entry = &shadow_oam[i * 4];
            entry[0] = (u16)(ATTR0_AFFINE | (y & 0xFF));
            entry[1] = (u16)(ATTR1_SIZE(1) | ATTR1_AFFINE_GROUP(outer ? 0 : 1) | (x & 0x1FF));
            entry[2] = (u16)((outer ? OBJ_ORB | ATTR2_BANK(OPAL_ORB)
                                    : OBJ_SPINNER | ATTR2_BANK(OPAL_ENEMY)) |
                             ATTR2_PRIORITY(1));
        }
        hide_sprites(TITLE_SPRITES);
        scroll_layers(1);
        next_frame();
        if (t >= 40 && (keys_pressed & KEY_START)) {
            return;
        }
    }
}

static void play(void) {
    play_start();
    REG_WININ = WIN_BG(0); // the HUD row: text only, no sprites or effects
    REG_WINOUT = SHOW_ALL;
    window0_h = 240;
    window0_v = 8;
    music_start(TUNE_PLAY);
    while (!play_frame()) {
        scroll_layers(4);
        next_frame();
    }
}

// Game over: the score, and the high score written to battery RAM when it was beaten. The
// title returns after five seconds, or at Start after one.
static void game_over(void) {
    u32 score = play_score();
    int beaten = score > hiscore;
    if (beaten) {
        hiscore = score;
        hiscore_store(score);
    }
    text_clear();
    text_put(10, 7, "GAME OVER", 0);
    text_put(8, 10, "SCORE", 0);
    text_number(14, 10, score, 6, 0);
    REG_WINOUT = SHOW_ALL;
    window0_h = 0;
    window0_v = 0;
    music_start(TUNE_OVER);
    for (int t = 0; t < 300; ++t) {
        if (beaten) {
            text_put(7, 13, (t & 16) ? "               " : "NEW HIGH SCORE!", 0);
        }
        hide_sprites(0);
        scroll_layers(1);
        next_frame();
        if (t >= 60 && (keys_pressed & KEY_START)) {
            break;
        }
    }
}

int main(void) {
    REG_WAITCNT = 0x4317; // faster cartridge access and the prefetch buffer, as games use
    video_init();
    hiscore = hiscore_load();
    irq_handlers[0] = vblank;
    REG_DISPSTAT = DISPSTAT_VBLANK_IRQ;
    REG_IE = IRQ_VBLANK;
    sound_init();
    REG_IME = 1;
    for (;;) {
        title_screen();
        play();
        game_over();
    }
}
