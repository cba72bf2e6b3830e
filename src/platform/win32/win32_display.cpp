// The Windows host's display: DirectDraw in exclusive full-screen mode at the configured
// resolution in 16 bits, a flipping primary surface with two back buffers, and the two
// off-screen surfaces in system memory. Each flip copies the core's back buffer, which already
// holds the stretched picture, into the surface behind the primary and flips.
#include <algorithm>
#include <cstring>

#include "common/screen.h"
#include "common/settings.h"
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
RefreshHold refreshHold;

constexpr DWORD displayBitsPerPixel = 16;
constexpr DWORD rgb555RedMask = 0x7C00;

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
        return SUCCEEDED(
            displayObject->SetCooperativeLevel(mainWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    case HostStep::displayMode:
        return SUCCEEDED(displayObject->SetDisplayMode(
            settings.resolutionWidth, settings.resolutionHeight, displayBitsPerPixel, 0, 0));
    case HostStep::displayPrimarySurface: return createPrimarySurface();
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

bool hostDisplayIs15Bit() {
    return rgb555Display;
}

u32 hostDisplayRefreshRate() {
    DWORD hertz = 0;
    if (!displayObject || FAILED(displayObject->GetMonitorFrequency(&hertz))) {
        return 0;
    }
    return hertz;
}

// Flips follow the display's refresh where the driver waits for it: two flips within one
// refresh wait at line 225. Where it does not, refreshHold keeps them a refresh apart.
void hostSetRefreshWait(bool wait) {
    refreshWaitHertz = wait ? hostDisplayRefreshRate() : 0;
    refreshHold = RefreshHold{};
}

bool hostClearScreen() {
    bool frontCleared = fillBlack(frontSurface);
    bool backCleared = fillBlack(backSurface);
    return frontCleared && backCleared;
}

// A lock or flip refused because the hardware is still busy answers DDERR_WASSTILLDRAWING
// (hostDisplayBusy); a lost surface answers DDERR_SURFACELOST, and the core restores it.
u32 hostFlip(const u16* backBuffer, u32 width, u32 height, bool wait) {
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
    if (displayObject) {
        displayObject->RestoreDisplayMode();
    }
}
