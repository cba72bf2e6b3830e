// The Windows host's display: DirectDraw in exclusive full-screen mode at the configured
// resolution in 16 bits, a flipping primary surface with two back buffers, and the two
// off-screen surfaces in system memory. Each flip copies the core's back buffer, which already
// holds the stretched picture, into the surface behind the primary and flips.
// An ordinary window leaves the display's mode alone: DirectDraw at the normal cooperative
// level, and the console's picture, taken out of the back buffer, drawn through GDI as large as
// the window allows, which converts the pixels to whatever the desktop holds.
#include <algorithm>
#include <cstring>

#include "common/screen.h"
#include "common/settings.h"
#include "platform/console_picture.h"
#include "platform/refresh_hold.h"
#include "platform/win32/win32_host.h"

#include <ddraw.h>

namespace {

IDirectDraw* firstInterface; // from DirectDrawCreate until the second version replaces it
IDirectDraw2* displayObject;
IDirectDrawSurface* frontSurface;
IDirectDrawSurface* backSurface;
IDirectDrawSurface* renderSurface;
IDirectDrawSurface* filterSurface;
bool rgb555Display;
// The display paces the frames (hostSetRefreshWait) at this rate; 0 when the clock does.
u32 refreshWaitHertz;
// The full screen's rate, last read there: the window reports none.
u32 fullScreenHertz;
RefreshHold refreshHold;

constexpr DWORD displayBitsPerPixel = 16;
constexpr DWORD rgb555RedMask = 0x7C00;

// The console's picture for the ordinary window, in the pixel format the core was told to
// write; GDI reads it as a top-down bitmap with those masks.
u16 consolePicture[screenWidth * screenHeight];
bool pictureIs555;
struct PictureInfo {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

void releaseAll() {
    releaseInterface(filterSurface);
    releaseInterface(renderSurface);
    // The back buffer came from GetAttachedSurface, which counted a reference of its own.
    releaseInterface(backSurface);
    releaseInterface(frontSurface);
    releaseInterface(displayObject);
    releaseInterface(firstInterface);
    rgb555Display = false;
}

// A rebuild after the window came back starts from nothing: the old objects are released
// rather than left behind.
bool createObject() {
    releaseAll();
    return SUCCEEDED(DirectDrawCreate(nullptr, &firstInterface, nullptr));
}

bool takeSecondInterface() {
    if (!firstInterface) {
        return false;
    }
    HRESULT result =
        firstInterface->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&displayObject));
    releaseInterface(firstInterface);
    if (FAILED(result)) {
        displayObject = nullptr;
        return false;
    }
    return true;
}

bool createPrimarySurface() {
    DDSURFACEDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    description.dwBackBufferCount = 2;
    if (FAILED(displayObject->CreateSurface(&description, &frontSurface, nullptr))) {
        frontSurface = nullptr;
        return false;
    }
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    rgb555Display =
        SUCCEEDED(frontSurface->GetPixelFormat(&format)) && format.dwRBitMask == rgb555RedMask;
    DDSCAPS backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    if (FAILED(frontSurface->GetAttachedSurface(&backCaps, &backSurface))) {
        backSurface = nullptr;
        return false;
    }
    return true;
}

bool createPlainSurface(IDirectDrawSurface** surface, u32 width, u32 height) {
    DDSURFACEDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    description.dwWidth = width;
    description.dwHeight = height;
    if (FAILED(displayObject->CreateSurface(&description, surface, nullptr))) {
        *surface = nullptr;
        return false;
    }
    return true;
}

bool fillBlack(IDirectDrawSurface* surface) {
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    effects.dwFillColor = 0;
    return surface && SUCCEEDED(surface->Blt(nullptr, nullptr, nullptr,
                                             DDBLT_COLORFILL | DDBLT_WAIT, &effects));
}

// The surface may be wider (its pitch) or, in principle, smaller than the core's buffer.
PictureInfo pictureInfo() {
    PictureInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = screenWidth;
    info.header.biHeight = -static_cast<LONG>(screenHeight);
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    if (pictureIs555) {
        info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
    } else {
        info.masks[0] = 0xF800, info.masks[1] = 0x07E0, info.masks[2] = 0x001F;
    }
    return info;
}

void paintBars(HDC context, const RECT& client, const ScreenRect& fit) {
    s32 right = fit.x + fit.w, bottom = fit.y + fit.h;
    PatBlt(context, 0, 0, client.right, fit.y, BLACKNESS);
    PatBlt(context, 0, bottom, client.right, client.bottom - bottom, BLACKNESS);
    PatBlt(context, 0, fit.y, fit.x, fit.h, BLACKNESS);
    PatBlt(context, right, fit.y, client.right - right, fit.h, BLACKNESS);
}

void paintWindowNow() {
    if (HDC context = GetDC(mainWindow)) {
        paintWindow(context);
        ReleaseDC(mainWindow, context);
    }
}

// The display objects for the mode in mainWindowed, step by step as the core builds them.
bool buildDisplay() {
    constexpr HostStep steps[] = {
        HostStep::displayCreate,           HostStep::displayInterface,
        HostStep::displayCooperativeLevel, HostStep::displayMode,
        HostStep::displayPrimarySurface,   HostStep::displayRenderSurface,
        HostStep::displayFilterSurface,
    };
    for (HostStep step : steps) {
        if (!setUpDisplay(step)) {
            return false;
        }
    }
    return true;
}

void leaveFullScreen() {
    if (displayObject && !mainWindowed) {
        displayObject->RestoreDisplayMode();
        displayObject->SetCooperativeLevel(mainWindow, DDSCL_NORMAL);
    }
    releaseAll();
}

void copyRows(const DDSURFACEDESC& locked, const u16* backBuffer, u32 width, u32 height) {
    u32 rows = std::min<u32>(height, locked.dwHeight);
    u32 rowBytes = std::min<u32>(width, locked.dwWidth) * sizeof(u16);
    auto* target = static_cast<u8*>(locked.lpSurface);
    for (u32 row = 0; row < rows; ++row) {
        std::memcpy(target + row * locked.lPitch, backBuffer + row * width, rowBytes);
    }
}

} // namespace

bool setUpDisplay(HostStep step) {
    if (step == HostStep::displayCreate) {
        return createObject();
    }
    if (step == HostStep::displayInterface) {
        return takeSecondInterface();
    }
    if (!displayObject) {
        return false;
    }
    switch (step) {
    case HostStep::displayCooperativeLevel:
        return SUCCEEDED(displayObject->SetCooperativeLevel(
            mainWindow, mainWindowed ? DDSCL_NORMAL : DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    case HostStep::displayMode:
        return mainWindowed ||
               SUCCEEDED(displayObject->SetDisplayMode(
                   settings.resolutionWidth, settings.resolutionHeight, displayBitsPerPixel, 0, 0));
    // GDI draws into the ordinary window: no primary surface to flip.
    case HostStep::displayPrimarySurface: return mainWindowed || createPrimarySurface();
    case HostStep::displayRenderSurface:
        return createPlainSurface(&renderSurface, renderWidth, renderHeight);
    // Nothing draws into it; it is made as before, so a display that cannot hold it is refused.
    case HostStep::displayFilterSurface:
        return createPlainSurface(&filterSurface, renderWidth * settings.zoom,
                                  renderHeight * settings.zoom);
    default: return false;
    }
}

void hostCloseDisplay() {
    releaseAll();
}

void switchWindowMode() {
    if (!mainWindow) {
        return;
    }
    bool built = displayObject != nullptr;
    leaveFullScreen();
    mainWindowed = !mainWindowed;
    styleMainWindow();
    // A full screen that cannot be had leaves the game in its window.
    if (built && !buildDisplay() && !mainWindowed) {
        leaveFullScreen();
        mainWindowed = true;
        styleMainWindow();
        buildDisplay();
    }
    SetForegroundWindow(mainWindow);
}

void paintWindow(HDC context) {
    RECT client;
    if (!GetClientRect(mainWindow, &client)) {
        return;
    }
    ScreenRect fit = placeConsolePicture(client.right, client.bottom, settings.integerScale);
    PictureInfo info = pictureInfo();
    SetStretchBltMode(context, COLORONCOLOR); // nearest pixel, no blending
    StretchDIBits(context, fit.x, fit.y, fit.w, fit.h, 0, 0, screenWidth, screenHeight,
                  consolePicture, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
    paintBars(context, client, fit);
}

// The core writes the pixels in the format it was told here when it built the display.
bool hostDisplayIs15Bit() {
    pictureIs555 = rgb555Display;
    return rgb555Display;
}

// GDI draws into a window at once, not at a refresh: a game started in a window is paced by
// the clock.
u32 hostDisplayRefreshRate() {
    DWORD hertz = 0;
    if (mainWindowed || !displayObject || FAILED(displayObject->GetMonitorFrequency(&hertz))) {
        return 0;
    }
    return hertz;
}

// Flips follow the display's refresh where the driver waits for it: two flips within one
// refresh wait at line 225. Where it does not, refreshHold keeps them a refresh apart. The rate
// is the full screen's, so a window that takes over from it keeps the same pace, also when the
// wait is asked for again there (after fast-forward).
void hostSetRefreshWait(bool wait) {
    if (u32 hertz = hostDisplayRefreshRate()) {
        fullScreenHertz = hertz;
    }
    refreshWaitHertz = wait ? fullScreenHertz : 0;
    refreshHold = RefreshHold{};
}

bool hostClearScreen() {
    if (mainWindowed) {
        std::memset(consolePicture, 0, sizeof consolePicture);
        paintWindowNow();
        return true;
    }
    bool frontCleared = fillBlack(frontSurface);
    bool backCleared = fillBlack(backSurface);
    return frontCleared && backCleared;
}

// A lock or flip refused because the hardware is still busy answers DDERR_WASSTILLDRAWING
// (hostDisplayBusy); a lost surface answers DDERR_SURFACELOST, and the core restores it.
u32 hostFlip(const u16* backBuffer, u32 width, u32 height, bool wait) {
    if (mainWindowed) {
        if (refreshWaitHertz && displayObject) {
            displayObject->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
        }
        takeConsolePicture(backBuffer, width, height, settings.zoom, consolePicture);
        paintWindowNow();
        if (refreshWaitHertz) {
            hostSleepUntil(refreshHoldUntil(&refreshHold, timeGetTime(), refreshWaitHertz));
        }
        return hostDisplayOk;
    }
    if (!frontSurface || !backSurface) {
        return hostDisplayOk;
    }
    DDSURFACEDESC locked{};
    locked.dwSize = sizeof locked;
    DWORD lockFlags = DDLOCK_NOSYSLOCK | DDLOCK_WRITEONLY | (wait ? DDLOCK_WAIT : 0);
    HRESULT result = backSurface->Lock(nullptr, &locked, lockFlags, nullptr);
    if (FAILED(result)) {
        return static_cast<u32>(result);
    }
    copyRows(locked, backBuffer, width, height);
    backSurface->Unlock(nullptr);
    result = frontSurface->Flip(nullptr, wait ? DDFLIP_WAIT : 0);
    if (SUCCEEDED(result) && refreshWaitHertz) {
        hostSleepUntil(refreshHoldUntil(&refreshHold, timeGetTime(), refreshWaitHertz));
    }
    return static_cast<u32>(result);
}

u32 hostRestoreDisplay() {
    if (!frontSurface) {
        return hostDisplayOk;
    }
    return static_cast<u32>(frontSurface->Restore());
}

void hostRestoreDesktopMode() {
    if (displayObject && !mainWindowed) {
        displayObject->RestoreDisplayMode();
    }
}
