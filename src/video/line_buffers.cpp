#include "video/line_buffers.h"

#include <cstring>

u16* layerBuffers[4];
u16* extraLayerBuffers[4];
u16* objLineBuffers[4];
u16* semiObjBuffers[4];
u16* sharedLineBuffer;

namespace {

u16* newLineBuffer() {
    return new u16[lineBufferPixels]();
}

void allocateGroup(u16** group) {
    for (int i = 0; i < 4; ++i) {
        if (!group[i]) {
            group[i] = newLineBuffer();
        }
    }
}

void releaseGroup(u16** group) {
    for (int i = 0; i < 4; ++i) {
        delete[] group[i];
        group[i] = nullptr;
    }
}

} // namespace

void allocateLineBuffers() {
    allocateGroup(layerBuffers);
    allocateGroup(extraLayerBuffers);
    allocateGroup(objLineBuffers);
    allocateGroup(semiObjBuffers);
    if (!sharedLineBuffer) {
        sharedLineBuffer = newLineBuffer();
    }
}

void releaseLineBuffers() {
    releaseGroup(layerBuffers);
    releaseGroup(extraLayerBuffers);
    releaseGroup(objLineBuffers);
    releaseGroup(semiObjBuffers);
}

void clearSpriteLineBuffers() {
    for (u16* buffer : objLineBuffers) {
        if (buffer) {
            std::memset(buffer, 0, lineBufferPixels * sizeof(u16));
        }
    }
}
