// The SDL host's display: the core's back buffer of the configured resolution goes into a
// texture of that size, which is drawn over the whole screen with its aspect kept. An ordinary
// window shows the console's picture alone, taken out of the back buffer, as large as fits.
#include "common/screen.h"
#include "common/settings.h"
#include "platform/console_picture.h"
#include "platform/screen_fit.h"
#include "platform/sdl/sdl_host.h"

namespace {

SDL_Renderer* renderer;
SDL_Texture* texture;
s32 textureWidth;
s32 textureHeight;
// The console's picture for the ordinary window, and the texture that holds it.
u16 consolePicture[screenWidth * screenHeight];
SDL_Texture* pictureTexture;
// The renderer lost its textures (a device reset); the next flip reports the display lost.
bool deviceLost;
// Presenting waits for the display's refresh (hostSetRefreshWait).
bool refreshWait;

// Lets tests stand in for a display of another refresh rate.
constexpr const char* refreshVariable = "QUARVEND_DISPLAY_REFRESH";

void releaseRenderer() {
    if (pictureTexture) {
        SDL_DestroyTexture(pictureTexture);
        pictureTexture = nullptr;
    }
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    textureWidth = 0;
    textureHeight = 0;
    deviceLost = false;
}

bool createRenderer() {
    if (!sdlWindow) {
        return false;
    }
    Uint32 flags = refreshWait ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer = SDL_CreateRenderer(sdlWindow, -1, flags);
    if (!renderer) {
        SDL_Log("Quarvend: cannot create the renderer: %s", SDL_GetError());
        return false;
    }
    takeKeyboardFocus();
    return true;
}

bool createTexture(s32 width, s32 height) {
    if (texture) {
        SDL_DestroyTexture(texture);
    }
    // Host pixels are 5-6-5 with red on top; the pictures are scaled by whole pixels.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    textureWidth = texture ? width : 0;
    textureHeight = texture ? height : 0;
    if (!texture) {
        SDL_Log("Quarvend: cannot create the screen texture: %s", SDL_GetError());
    }
    return texture != nullptr;
}

bool clearRenderer() {
    return SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255) == 0 && SDL_RenderClear(renderer) == 0;
}

// The console's picture over the window, with black bars on the spare sides.
bool drawPictureInWindow() {
    s32 windowWidth = 0, windowHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &windowWidth, &windowHeight) != 0 || !clearRenderer()) {
        return false;
    }
    ScreenRect fit = placeConsolePicture(windowWidth, windowHeight, settings.integerScale);
    SDL_Rect target{fit.x, fit.y, fit.w, fit.h};
    return SDL_RenderCopy(renderer, pictureTexture, nullptr, &target) == 0;
}

bool drawConsolePicture(const u16* backBuffer, u32 width, u32 height) {
    if (!pictureTexture) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        pictureTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565,
                                           SDL_TEXTUREACCESS_STREAMING, screenWidth, screenHeight);
        if (!pictureTexture) {
            SDL_Log("Quarvend: cannot create the window's texture: %s", SDL_GetError());
            return false;
        }
    }
    takeConsolePicture(backBuffer, width, height, settings.zoom, consolePicture);
    return SDL_UpdateTexture(pictureTexture, nullptr, consolePicture, screenWidth * 2) == 0 &&
           drawPictureInWindow();
}

bool drawBackBuffer(const u16* backBuffer, u32 width, u32 height) {
    if (sdlWindowed) {
        return drawConsolePicture(backBuffer, width, height);
    }
    if (static_cast<s32>(width) != textureWidth || static_cast<s32>(height) != textureHeight) {
        if (!createTexture(static_cast<s32>(width), static_cast<s32>(height))) {
            return false;
        }
    }
    s32 screenWidth = 0, screenHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &screenWidth, &screenHeight) != 0 ||
        SDL_UpdateTexture(texture, nullptr, backBuffer, static_cast<int>(width * 2)) != 0 ||
        !clearRenderer()) {
        return false;
    }
    ScreenRect fit =
        fitPicture(screenWidth, screenHeight, static_cast<s32>(width), static_cast<s32>(height));
    SDL_Rect target{fit.x, fit.y, fit.w, fit.h};
    return SDL_RenderCopy(renderer, texture, nullptr, &target) == 0;
}

} // namespace

void redrawWindow() {
    if (sdlWindowed && renderer && pictureTexture && !deviceLost && drawPictureInWindow()) {
        SDL_RenderPresent(renderer);
    }
}

bool setUpDisplay(HostStep step) {
    switch (step) {
    case HostStep::displayCreate:
        // Set up again after the window came back: the old renderer goes first.
        releaseRenderer();
        return createRenderer();
    case HostStep::displayMode:
        return renderer && createTexture(static_cast<s32>(settings.resolutionWidth),
                                         static_cast<s32>(settings.resolutionHeight));
    default: return renderer != nullptr;
    }
}

void noteRenderDeviceReset() {
    deviceLost = renderer != nullptr;
}

void hostCloseDisplay() {
    releaseRenderer();
}

bool hostDisplayIs15Bit() {
    return false;
}

u32 hostDisplayRefreshRate() {
    if (const char* forced = SDL_getenv(refreshVariable)) {
        return static_cast<u32>(SDL_strtoul(forced, nullptr, 10));
    }
    int display = sdlWindow ? SDL_GetWindowDisplayIndex(sdlWindow) : -1;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0 || mode.refresh_rate < 0) {
        return 0;
    }
    return static_cast<u32>(mode.refresh_rate);
}

void hostSetRefreshWait(bool wait) {
    refreshWait = wait;
    if (renderer) {
        SDL_RenderSetVSync(renderer, wait ? 1 : 0);
    }
}

bool hostClearScreen() {
    if (!renderer || !clearRenderer()) {
        return false;
    }
    SDL_RenderPresent(renderer);
    return true;
}

u32 hostFlip(const u16* backBuffer, u32 width, u32 height, bool) {
    if (!renderer) {
        return hostDisplayOk;
    }
    pumpSdlEvents();
    if (deviceLost) {
        return hostDisplaySurfaceLost;
    }
    if (!drawBackBuffer(backBuffer, width, height)) {
        return hostDisplayBusy;
    }
    SDL_RenderPresent(renderer);
    return hostDisplayOk;
}

// A lost device takes its textures along: build the renderer and texture again.
u32 hostRestoreDisplay() {
    if (!deviceLost) {
        return hostDisplayOk;
    }
    s32 width = textureWidth, height = textureHeight;
    releaseRenderer();
    if (!createRenderer() || !createTexture(width, height)) {
        return hostDisplayWrongMode;
    }
    return hostDisplayOk;
}

// The desktop's mode is never changed; leaving the screen to the other windows is what
// restoring it achieved. An ordinary window leaves it already.
void hostRestoreDesktopMode() {
    if (sdlWindow && !sdlWindowed) {
        SDL_MinimizeWindow(sdlWindow);
    }
}
