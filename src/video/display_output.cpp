#include "video/display_output.h"

#include <cstring>

#include "common/log.h"
#include "common/screen.h"
#include "common/settings.h"
#include "platform/host.h"
#include "video/frame_driver.h"

DisplayState display;

namespace {

// Rows and columns of the picture that fit the back buffer. A zoom too large for the
// resolution (3 below 800x600, 4 below 1024x768) is clipped instead of writing outside it.
struct Clip {
    u32 firstColumn, columns, firstRow, rows;
};

Clip clipToDisplay(const DisplayRect& rect) {
    auto clamp = [](s32 value, u32 limit) {
        return static_cast<u32>(value < 0 ? 0 : (static_cast<u32>(value) > limit ? limit : value));
    };
    u32 left = clamp(rect.left, display.width), right = clamp(rect.right, display.width);
    u32 top = clamp(rect.top, display.height), bottom = clamp(rect.bottom, display.height);
    return {left, right - left, top, bottom - top};
}

bool pictureIsClipped(const DisplayRect& rect) {
    return rect.left < 0 || rect.top < 0 || rect.right > static_cast<s32>(display.width) ||
           rect.bottom > static_cast<s32>(display.height);
}

// Source column of every back-buffer column and source row of every back-buffer row, for the
// zoom and placement in use: the stretch then needs no division per pixel. Rebuilt when the
// zoom, the resolution or the placement changes.
struct StretchMaps {
    u32 zoom = 0, width = 0, height = 0;
    s32 left = 0, top = 0;
    u16 sourceColumn[maxDisplayWidth];
    u16 sourceRow[maxDisplayHeight];
};
StretchMaps stretchMaps;

const StretchMaps& currentStretchMaps(u32 zoom, const Clip& clip) {
    StretchMaps& maps = stretchMaps;
    const DisplayRect& rect = display.destinationRect;
    if (maps.zoom != zoom || maps.width != display.width || maps.height != display.height ||
        maps.left != rect.left || maps.top != rect.top) {
        maps.zoom = zoom;
        maps.width = display.width;
        maps.height = display.height;
        maps.left = rect.left;
        maps.top = rect.top;
        for (u32 x = clip.firstColumn; x < clip.firstColumn + clip.columns; ++x) {
            maps.sourceColumn[x] = static_cast<u16>((x - rect.left) / zoom);
        }
        for (u32 y = clip.firstRow; y < clip.firstRow + clip.rows; ++y) {
            maps.sourceRow[y] = static_cast<u16>((y - rect.top) / zoom);
        }
    }
    return maps;
}

// The stretching blit: every output pixel takes the source pixel it falls on. At zoom 1 the
// rows are copied whole.
void stretchPicture() {
    const u32 zoom = settings.zoom;
    Clip clip = clipToDisplay(display.destinationRect);
    if (zoom == 1) {
        for (u32 row = 0; row < clip.rows; ++row) {
            u32 y = clip.firstRow + row;
            const u16* source = renderBuffer + (y - display.destinationRect.top) * renderWidth +
                                (clip.firstColumn - display.destinationRect.left);
            std::memcpy(display.backBuffer + y * display.width + clip.firstColumn, source,
                        clip.columns * sizeof(u16));
        }
        return;
    }
    const StretchMaps& maps = currentStretchMaps(zoom, clip);
    for (u32 row = 0; row < clip.rows; ++row) {
        u32 y = clip.firstRow + row;
        u16* target = display.backBuffer + y * display.width;
        if (row > 0 && maps.sourceRow[y] == maps.sourceRow[y - 1]) {
            std::memcpy(target + clip.firstColumn, target - display.width + clip.firstColumn,
                        clip.columns * sizeof(u16));
            continue;
        }
        const u16* source = renderBuffer + maps.sourceRow[y] * renderWidth;
        for (u32 x = clip.firstColumn; x < clip.firstColumn + clip.columns; ++x) {
            target[x] = source[maps.sourceColumn[x]];
        }
    }
}

// REALGBA: each source pixel fills zoom-1 columns of zoom-1 lines; the last column and line of
// each cell are never written and keep the dark colour of the cleared buffer.
void copyWithPixelGrid() {
    const u32 zoom = settings.zoom;
    if (zoom < 3) {
        return;
    }
    Clip clip = clipToDisplay(display.destinationRect);
    for (u32 row = 0; row < clip.rows; ++row) {
        u32 y = clip.firstRow + row;
        u32 sourceRow = (y - display.destinationRect.top) / zoom;
        if ((y - display.destinationRect.top) % zoom == zoom - 1) {
            continue;
        }
        const u16* source = renderBuffer + sourceRow * renderWidth;
        u16* target = display.backBuffer + y * display.width;
        for (u32 column = 0; column < clip.columns; ++column) {
            u32 x = clip.firstColumn + column;
            u32 offset = x - display.destinationRect.left;
            target[x] = (offset % zoom == zoom - 1) ? 0 : source[offset / zoom];
        }
    }
}

u32 flip(bool wait) {
    return hostFlip(display.backBuffer, display.width, display.height, wait);
}

void fillBackBuffer() {
    std::memset(display.backBuffer, 0, sizeof display.backBuffer);
}

void clearScreenLogged() {
    if (!hostClearScreen()) {
        debugLog("FAIL to Clear");
    }
}

} // namespace

DisplayRect computeDestinationRect(u32 width, u32 height, u32 zoom) {
    DisplayRect rect;
    rect.left = pictureCorner(width, screenWidth * zoom);
    rect.right = rect.left + static_cast<s32>(screenWidth * zoom);
    rect.top = pictureCorner(height, screenHeight * zoom);
    rect.bottom = rect.top + static_cast<s32>(screenHeight * zoom);
    return rect;
}

void clearDisplay() {
    clearScreenLogged();
    fillBackBuffer();
    flip(true);
    fillBackBuffer();
}

int initDisplay() {
    debugLog("Start initializing DirectDraw\n");
    if (!hostSetUp(HostStep::displayCreate)) {
        debugLog("\nDirectDrawCreate Fail");
        return 0;
    }
    if (!hostSetUp(HostStep::displayInterface)) {
        debugLog("\nDX5 not compatible");
        return 0;
    }
    if (!hostSetUp(HostStep::displayCooperativeLevel)) {
        debugLog("\nCan not set exclusive mode");
        return 0;
    }
    display.width = settings.resolutionWidth;
    display.height = settings.resolutionHeight;
    if (display.width > maxDisplayWidth || display.height > maxDisplayHeight ||
        !hostSetUp(HostStep::displayMode)) {
        debugLog("\nFail to set display mode");
        return 0;
    }
    display.destinationRect = computeDestinationRect(display.width, display.height, settings.zoom);
    if (pictureIsClipped(display.destinationRect)) {
        debugLog("\nZoom too large for the resolution: picture clipped");
    }
    if (!hostSetUp(HostStep::displayPrimarySurface)) {
        debugLog("\nPrimary surface failed:");
        debugLogHex32(0x80004005); // the platform reports no code of its own
        return 0;
    }
    display.rgb555 = hostDisplayIs15Bit() ? 1 : 0;
    if (display.rgb555) {
        debugLog("\nUse RGB555 format!");
    }
    if (!hostSetUp(HostStep::displayRenderSurface)) {
        debugLog("\nOffscreenplain failed:");
        return 0;
    }
    if (!hostSetUp(HostStep::displayFilterSurface)) {
        debugLog("\nFilter failed");
        return 0;
    }
    clearDisplay();
    debugLog("\nDirectDraw initialized successfully!\n");
    return 1;
}

void presentFrame() {
    if (settings.zoom < 1 || settings.zoom > 4) {
        return;
    }
    if (settings.realGba) {
        copyWithPixelGrid();
    } else {
        stretchPicture();
    }
    display.presentResult = flip(false);
    if (display.presentResult == hostDisplaySurfaceLost) {
        debugLog("!");
        if (hostRestoreDisplay() == hostDisplayWrongMode &&
            hostRestoreDisplay() == hostDisplayWrongMode) {
            debugLog("*");
        }
        display.presentResult = flip(false);
    }
}

u32 retryFlip() {
    return flip(true);
}

void releaseDisplay() {
    hostCloseDisplay();
}
