// The console's own picture, taken back out of the enlarged one the core leaves in its back
// buffer: what an ordinary window shows, whatever the full screen's resolution and zoom.
#pragma once

#include "common/screen.h"
#include "common/types.h"
#include "platform/screen_fit.h"

// Where the console's picture goes in a window: as large as fits, by whole multiples only when
// WHOLE is set (INTEGERSCALE).
inline ScreenRect placeConsolePicture(s32 windowWidth, s32 windowHeight, bool whole) {
    constexpr s32 width = screenWidth, height = screenHeight;
    return whole ? fitPictureWhole(windowWidth, windowHeight, width, height)
                 : fitPicture(windowWidth, windowHeight, width, height);
}

// Copies the console's 240x160 picture out of a back buffer of WIDTH x HEIGHT that holds it
// ZOOM times enlarged at the core's place for it: the top left pixel of each enlarged pixel,
// which the REALGBA grid leaves untouched. What lies outside the back buffer (a zoom too large
// for the resolution) comes out black.
inline void takeConsolePicture(const u16* backBuffer, u32 width, u32 height, u32 zoom,
                               u16* picture) {
    s32 left = pictureCorner(width, screenWidth * zoom);
    s32 top = pictureCorner(height, screenHeight * zoom);
    for (u32 row = 0; row < screenHeight; ++row) {
        s32 y = top + static_cast<s32>(row * zoom);
        u16* target = picture + row * screenWidth;
        for (u32 column = 0; column < screenWidth; ++column) {
            s32 x = left + static_cast<s32>(column * zoom);
            bool inside =
                x >= 0 && y >= 0 && x < static_cast<s32>(width) && y < static_cast<s32>(height);
            target[column] =
                inside ? backBuffer[static_cast<u32>(y) * width + static_cast<u32>(x)] : 0;
        }
    }
}
