// The console's screen: 240x160 visible pixels. The renderers draw 256-pixel lines, of which
// the first 240 are shown.
#pragma once

#include "common/types.h"

constexpr u32 screenWidth = 240;
constexpr u32 screenHeight = 160;
constexpr u32 renderWidth = 256;
constexpr u32 renderHeight = screenHeight;

// Where a picture of PICTURE pixels starts along a display line or column of DISPLAY pixels:
// centred, rounded down to a multiple of 16, negative when it does not fit.
constexpr s32 pictureCorner(u32 display, u32 picture) {
    return (static_cast<s32>(display) - static_cast<s32>(picture)) / 2 & ~0xF;
}
