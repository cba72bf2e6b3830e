// The demo's hot loops, compiled as ARM code and run from internal RAM, where the CPU fetches
// 32-bit instructions without wait states.
#include "demo.h"

int collide(Actor* a, int countA, Actor* b, int countB) {
    int hits = 0;
    for (int i = 0; i < countA; ++i) {
        Actor* p = &a[i];
        if (!p->kind || !p->hp) {
            continue;
        }
        s32 px = p->x >> 8, py = p->y >> 8;
        for (int j = 0; j < countB; ++j) {
            Actor* q = &b[j];
            if (!q->kind || !q->hp) {
                continue;
            }
            s32 reach = (p->size + q->size) >> 1;
            s32 dx = px - (q->x >> 8), dy = py - (q->y >> 8);
            if (dx < reach && dx > -reach && dy < reach && dy > -reach) {
                p->hp = 0;
                q->hp -= 1;
                ++hits;
                break;
            }
        }
    }
    return hits;
}

void move_actors(Actor* actors, int count) {
    for (int i = 0; i < count; ++i) {
        Actor* p = &actors[i];
        if (!p->kind) {
            continue;
        }
        p->x += p->vx;
        p->y += p->vy;
        ++p->age;
        if (p->x < -32 * 256 || p->x > 272 * 256 || p->y < -32 * 256 || p->y > 192 * 256) {
            p->kind = 0;
        }
    }
}

int emit_sprites(int slot, const Actor* actors, int count, const SpriteLook* look) {
    u16 attr0 = look->attr0, attr1 = look->attr1, attr2 = look->attr2;
    s32 half = look->half;
    for (int i = 0; i < count && slot < 128; ++i) {
        const Actor* p = &actors[i];
        if (!p->kind) {
            continue;
        }
        s32 x = (p->x >> 8) - half, y = (p->y >> 8) - half;
        u16* entry = &shadow_oam[slot * 4];
        entry[0] = (u16)(attr0 | (y & 0xFF));
        entry[1] = (u16)(attr1 | (x & 0x1FF));
        entry[2] = attr2;
        ++slot;
    }
    return slot;
}

void hide_sprites(int slot) {
    for (; slot < 128; ++slot) {
        shadow_oam[slot * 4] = ATTR0_HIDE;
    }
}
