#include "video/line_renderers.h"

#include "video/sprites.h"

u8 priorityUsed[4];
u16 priorityLayer[4] = {31, 31, 31, 31};
u32 extraLayerCount;
u8 extraLayer[4];
u8 extraPriority[4];
u32 bitmapBg2Priority = 3;

void resetLayerRecords() {
    for (u32 p = 0; p < 4; ++p) {
        priorityUsed[p] = 0;
        priorityLayer[p] = 31;
    }
    extraLayerCount = 0;
    clearSpritePresence();
}
