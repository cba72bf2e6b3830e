// Where a picture goes on a screen of another shape: as large as fits, its aspect kept and
// centred, the rest of the screen left for black bars.
#pragma once

#include "common/types.h"

struct ScreenRect {
    s32 x, y, w, h;
};

inline ScreenRect fitPicture(s32 screenWidth, s32 screenHeight, s32 width, s32 height) {
    if (width <= 0 || height <= 0 || screenWidth <= 0 || screenHeight <= 0) {
        return {0, 0, 0, 0};
    }
    // Compare screenWidth / width with screenHeight / height without dividing.
    s64 byWidth = static_cast<s64>(screenWidth) * height;
    s64 byHeight = static_cast<s64>(screenHeight) * width;
    s32 w = screenWidth, h = screenHeight;
    if (byWidth > byHeight) {
        w = static_cast<s32>(byHeight / height); // height limits: bars left and right
    } else {
        h = static_cast<s32>(byWidth / width); // width limits: bars above and below
    }
    return {(screenWidth - w) / 2, (screenHeight - h) / 2, w, h};
}
