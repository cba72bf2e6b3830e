#include "video/line_renderers.h"

#include "video/sprites.h"

void resetLayerRecords() {
    for (u32 p = 0; p < 4; ++p) {
        videoLine.priorityUsed[p] = 0;
        videoLine.priorityLayer[p] = 31;
    }
    videoLine.extraLayerCount = 0;
    clearSpritePresence();
}
