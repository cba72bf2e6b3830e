// Where a picture goes on a screen of another shape: as large as fits, its aspect kept and
// centred, the rest of the screen left for black bars.
#pragma once

#include "common/types.h"

struct ScreenRect {
    s32 x, y, w, h;
};

struct ScreenSize {
    s32 w, h;
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

// How many whole times the picture fits the screen; 0 when not even once.
inline s32 wholeScale(s32 screenWidth, s32 screenHeight, s32 width, s32 height) {
    if (width <= 0 || height <= 0 || screenWidth <= 0 || screenHeight <= 0) {
        return 0;
    }
    s32 across = screenWidth / width, down = screenHeight / height;
    return across < down ? across : down;
}

// As fitPicture, but by a whole number of screen pixels per picture pixel, so that every
// pixel is as large as every other; a screen smaller than the picture still gets all of it,
// shrunk as fitPicture shrinks it.
inline ScreenRect fitPictureWhole(s32 screenWidth, s32 screenHeight, s32 width, s32 height) {
    s32 scale = wholeScale(screenWidth, screenHeight, width, height);
    if (scale == 0) {
        return fitPicture(screenWidth, screenHeight, width, height);
    }
    s32 w = width * scale, h = height * scale;
    return {(screenWidth - w) / 2, (screenHeight - h) / 2, w, h};
}

// The size an ordinary window first gets inside an area of the desktop: three times the
// picture, or the largest whole multiple that fits, or the fitted picture when the area is
// smaller than the picture itself.
inline ScreenSize firstWindowSize(s32 areaWidth, s32 areaHeight, s32 width, s32 height) {
    constexpr s32 preferredScale = 3;
    s32 scale = wholeScale(areaWidth, areaHeight, width, height);
    if (scale == 0) {
        ScreenRect fit = fitPicture(areaWidth, areaHeight, width, height);
        return {fit.w, fit.h};
    }
    scale = scale < preferredScale ? scale : preferredScale;
    return {width * scale, height * scale};
}
