// The game itself: the ship, its shots and two orbiting options, waves of spinners and pods,
// their bullets, explosions, the score and the lives.
#include "bios.h"
#include "demo.h"

enum { MAX_SHOTS = 16, MAX_SPINNERS = 12, MAX_PODS = 4, MAX_BULLETS = 16, MAX_BLASTS = 8 };
enum { GROUP_SPINNER = 0, GROUP_ORB = 1, GROUP_BLAST = 2 }; // sprite matrices

static Actor ship;
static Actor shots[MAX_SHOTS];
static Actor spinners[MAX_SPINNERS];
static Actor pods[MAX_PODS];
static Actor bullets[MAX_BULLETS];
static Actor blasts[MAX_BLASTS];
static u32 score;
static int lives;
static int invulnerable;
static int fire_delay;
static int game_time;
static int ended; // frames since the last life was lost
static u32 random_state;

static const SpriteLook shot_look = {ATTR0_WIDE, ATTR1_SIZE(0),
                                     OBJ_SHOT | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_FIRE), 8};
static const SpriteLook spinner_look = {
    ATTR0_AFFINE, ATTR1_SIZE(1) | ATTR1_AFFINE_GROUP(GROUP_SPINNER),
    OBJ_SPINNER | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_ENEMY), 8};
static const SpriteLook pod_look = {0, ATTR1_SIZE(1),
                                    OBJ_POD | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_ENEMY), 8};
static const SpriteLook bullet_look = {0, ATTR1_SIZE(0),
                                       OBJ_BULLET | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_FIRE), 4};

static u32 random_next(void) {
    random_state = random_state * 1664525u + 1013904223u;
    return random_state >> 16;
}

static Actor* free_actor(Actor* actors, int count) {
    for (int i = 0; i < count; ++i) {
        if (!actors[i].kind) {
            return &actors[i];
        }
    }
    return 0;
}

static Actor* spawn(Actor* actors, int count, int kind, s32 x, s32 y, int vx, int vy, int hp,
                    int size) {
    Actor* p = free_actor(actors, count);
    if (p) {
        p->x = x;
        p->y = y;
        p->vx = (s16)vx;
        p->vy = (s16)vy;
        p->kind = (u8)kind;
        p->hp = (u8)hp;
        p->size = (u8)size;
        p->timer = 0;
        p->age = 0;
    }
    return p;
}

static void blast_at(s32 x, s32 y) {
    spawn(blasts, MAX_BLASTS, 1, x, y, -128, 0, 1, 0);
    sfx_blast();
}

void play_start(void) {
    random_state = frame_count * 2654435761u + 1;
    ship = (Actor){.x = 40 << 8, .y = 80 << 8, .kind = 1, .hp = 1, .size = 10};
    for (int i = 0; i < MAX_SHOTS; ++i)
        shots[i].kind = 0;
    for (int i = 0; i < MAX_SPINNERS; ++i)
        spinners[i].kind = 0;
    for (int i = 0; i < MAX_PODS; ++i)
        pods[i].kind = 0;
    for (int i = 0; i < MAX_BULLETS; ++i)
        bullets[i].kind = 0;
    for (int i = 0; i < MAX_BLASTS; ++i)
        blasts[i].kind = 0;
    score = 0;
    lives = 3;
    invulnerable = 90;
    fire_delay = 0;
    game_time = 0;
    ended = 0;
    text_clear();
    text_put(0, 0, "SCORE        HI        SHIPS  ", 1);
}

u32 play_score(void) {
    return score;
}

// The two options circle the ship.
static void option_position(int which, s32* x, s32* y) {
    int angle = game_time * 3 + which * 128;
    *x = ship.x + 20 * sin256(angle + 64);
    *y = ship.y + 20 * sin256(angle);
}

static void steer_ship(void) {
    if (!ship.kind) {
        return;
    }
    if (keys_held & KEY_LEFT)
        ship.x -= 2 << 8;
    if (keys_held & KEY_RIGHT)
        ship.x += 2 << 8;
    if (keys_held & KEY_UP)
        ship.y -= 2 << 8;
    if (keys_held & KEY_DOWN)
        ship.y += 2 << 8;
    if (ship.x < 12 << 8)
        ship.x = 12 << 8;
    if (ship.x > 200 << 8)
        ship.x = 200 << 8;
    if (ship.y < 40 << 8)
        ship.y = 40 << 8;
    if (ship.y > 120 << 8)
        ship.y = 120 << 8;

    if (fire_delay) {
        --fire_delay;
    } else if (keys_held & (KEY_A | KEY_B)) {
        fire_delay = 8;
        spawn(shots, MAX_SHOTS, 1, ship.x + (10 << 8), ship.y, 6 << 8, 0, 1, 8);
        if ((game_time & 15) < 8) {
            for (int which = 0; which < 2; ++which) {
                s32 x, y;
                option_position(which, &x, &y);
                spawn(shots, MAX_SHOTS, 1, x + (6 << 8), y, 5 << 8, 0, 1, 8);
            }
        }
        sfx_shot();
    }
}

// New waves come faster as the game goes on.
static void spawn_waves(void) {
    int spinner_every = 120 - game_time / 40;
    if (spinner_every < 50) {
        spinner_every = 50;
    }
    if (game_time % spinner_every == 30) {
        s32 base = (48 + (int)(random_next() % 64)) << 8;
        for (int i = 0; i < 6; ++i) {
            Actor* p = spawn(spinners, MAX_SPINNERS, 1, (256 + 18 * i) << 8, base, -320, 0, 1, 14);
            if (p) {
                p->timer = (u8)(i * 24);
            }
        }
    }
    if (game_time % 200 == 150) {
        for (int i = 0; i < 2; ++i) {
            spawn(pods, MAX_PODS, 1, (256 + 30 * i) << 8, (44 + (int)(random_next() % 72)) << 8,
                  -192, 0, 3, 14);
        }
    }
}

// A bullet from (x, y) towards the ship.
static void aim_bullet(s32 x, s32 y) {
    s32 dx = (ship.x - x) >> 8, dy = (ship.y - y) >> 8;
    int vx = dx < 0 ? -(2 << 8) : 1 << 8;
    int vy = dy * 5;
    if (vy > 384)
        vy = 384;
    if (vy < -384)
        vy = -384;
    spawn(bullets, MAX_BULLETS, 1, x, y, vx, vy, 1, 4);
}

// Spinners weave up and down and fire now and then; pods fire at a steady rate.
static void update_enemies(void) {
    for (int i = 0; i < MAX_SPINNERS; ++i) {
        Actor* p = &spinners[i];
        if (p->kind) {
            p->vy = (s16)(sin256(p->age * 3 + p->timer) * 3 / 2);
            if (ship.kind && (random_next() & 255) == 0) {
                aim_bullet(p->x, p->y);
            }
        }
    }
    for (int i = 0; i < MAX_PODS; ++i) {
        Actor* p = &pods[i];
        if (p->kind && ship.kind && p->age % 50 == 30) {
            aim_bullet(p->x, p->y);
        }
    }
}

// Scores and explosions for the enemies whose hit points ran out.
static void remove_enemies(Actor* enemies, int count, int points) {
    for (int i = 0; i < count; ++i) {
        Actor* p = &enemies[i];
        if (p->kind && !p->hp) {
            score += points;
            blast_at(p->x, p->y);
            p->kind = 0;
        }
    }
}

static void remove_destroyed(void) {
    remove_enemies(spinners, MAX_SPINNERS, 100);
    remove_enemies(pods, MAX_PODS, 300);
    for (int i = 0; i < MAX_SHOTS; ++i) {
        if (!shots[i].hp)
            shots[i].kind = 0;
    }
    for (int i = 0; i < MAX_BULLETS; ++i) {
        if (!bullets[i].hp)
            bullets[i].kind = 0;
    }
}

static void check_ship(void) {
    if (!ship.kind) {
        return;
    }
    if (invulnerable) {
        --invulnerable;
        ship.hp = 1;
        return;
    }
    collide(bullets, MAX_BULLETS, &ship, 1);
    collide(spinners, MAX_SPINNERS, &ship, 1);
    collide(pods, MAX_PODS, &ship, 1);
    if (ship.hp == 1) {
        return;
    }
    blast_at(ship.x, ship.y);
    --lives;
    if (lives > 0) {
        ship.hp = 1;
        invulnerable = 120;
    } else {
        ship.kind = 0;
    }
}

static void update_blasts(void) {
    for (int i = 0; i < MAX_BLASTS; ++i) {
        if (blasts[i].kind && blasts[i].age >= 32) {
            blasts[i].kind = 0;
        }
    }
}

// Sprite matrices: the spinners' common rotation, the options' rotation and one growing
// matrix per explosion, through the boot image's ObjAffineSet.
static void set_matrices(void) {
    ObjAffineSource sources[2 + MAX_BLASTS];
    sources[GROUP_SPINNER] = (ObjAffineSource){256, 256, (u16)(game_time * 1024), 0};
    sources[GROUP_ORB] = (ObjAffineSource){256, 256, (u16)(-game_time * 600), 0};
    for (int i = 0; i < MAX_BLASTS; ++i) {
        // The scale is the inverse of the size: from 4/1 down to 1/1.5 of the texture.
        int age = blasts[i].age;
        sources[GROUP_BLAST + i] = (ObjAffineSource){(s16)(1024 - age * 26), (s16)(1024 - age * 26),
                                                     (u16)(i * 8000 + age * 700), 0};
    }
    ObjAffineSet(sources, &shadow_oam[3], 2 + MAX_BLASTS, 8);
}

static int emit_blasts(int slot) {
    for (int i = 0; i < MAX_BLASTS && slot < 128; ++i) {
        const Actor* p = &blasts[i];
        if (!p->kind) {
            continue;
        }
        u16* entry = &shadow_oam[slot * 4];
        entry[0] = (u16)(ATTR0_AFFINE | ATTR0_DOUBLE | ATTR0_SEMI | (((p->y >> 8) - 16) & 0xFF));
        entry[1] = (u16)(ATTR1_SIZE(1) | ATTR1_AFFINE_GROUP(GROUP_BLAST + i) |
                         (((p->x >> 8) - 16) & 0x1FF));
        entry[2] = OBJ_BLAST | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_FIRE);
        ++slot;
    }
    return slot;
}

static int emit_ship(int slot) {
    if (!ship.kind || (invulnerable & 4)) {
        return slot;
    }
    s32 x = ship.x >> 8, y = ship.y >> 8;
    u16* entry = &shadow_oam[slot * 4];
    entry[0] = (u16)((y - 8) & 0xFF);
    entry[1] = (u16)(ATTR1_SIZE(1) | ((x - 8) & 0x1FF));
    entry[2] = OBJ_SHIP | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_SHIP);
    entry[4] = (u16)((y - 4) & 0xFF);
    entry[5] = (u16)(ATTR1_SIZE(0) | ((x - 16 - (game_time & 2)) & 0x1FF));
    entry[6] = OBJ_FLAME | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_SHIP);
    slot += 2;
    for (int which = 0; which < 2; ++which) {
        s32 ox, oy;
        option_position(which, &ox, &oy);
        entry = &shadow_oam[slot * 4];
        entry[0] = (u16)(ATTR0_AFFINE | (((oy >> 8) - 8) & 0xFF));
        entry[1] = (u16)(ATTR1_SIZE(1) | ATTR1_AFFINE_GROUP(GROUP_ORB) | (((ox >> 8) - 8) & 0x1FF));
        entry[2] = OBJ_ORB | ATTR2_PRIORITY(1) | ATTR2_BANK(OPAL_ORB);
        ++slot;
    }
    return slot;
}

// The HUD row: "SCORE 000000 HI 000000 SHIPS 3" on the panel colour.
static void draw_hud(void) {
    text_number(6, 0, score, 6, 1);
    text_number(16, 0, score > hiscore ? score : hiscore, 6, 1);
    text_number(29, 0, (u32)lives, 1, 1);
}

int play_frame(void) {
    ++game_time;
    steer_ship();
    spawn_waves();
    update_enemies();
    move_actors(shots, MAX_SHOTS);
    move_actors(bullets, MAX_BULLETS);
    move_actors(blasts, MAX_BLASTS);
    move_actors(spinners, MAX_SPINNERS);
    move_actors(pods, MAX_PODS);
    collide(shots, MAX_SHOTS, spinners, MAX_SPINNERS);
    collide(shots, MAX_SHOTS, pods, MAX_PODS);
    remove_destroyed();
    check_ship();
    update_blasts();

    set_matrices();
    int slot = emit_ship(0);
    slot = emit_sprites(slot, shots, MAX_SHOTS, &shot_look);
    slot = emit_blasts(slot);
    slot = emit_sprites(slot, bullets, MAX_BULLETS, &bullet_look);
    slot = emit_sprites(slot, spinners, MAX_SPINNERS, &spinner_look);
    slot = emit_sprites(slot, pods, MAX_PODS, &pod_look);
    hide_sprites(slot);
    draw_hud();

    if (!ship.kind) {
        ++ended;
    }
    return ended > 90;
}
