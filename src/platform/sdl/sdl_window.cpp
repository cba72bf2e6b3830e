// The SDL host's window, its messages, the message box, the clock and the process priority,
// and the dispatch of the set-up steps to the device groups.
#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>

#include <chrono>
#include <string>
#include <thread>

#include "common/screen.h"
#include "common/settings.h"
#include "platform/message_queue.h"
#include "platform/screen_fit.h"
#include "platform/sdl/sdl_host.h"
#include "platform/step_failure.h"
#include "platform/window_title.h"

SDL_Window* sdlWindow;
bool sdlWindowed;

namespace {

// Window messages waiting for hostTakeMessage.
HostMessageQueue messages;

constexpr const char* fullScreenTitle = programTitle;
std::string ordinaryTitle = fullScreenTitle;
// The ordinary window's size before it went full screen; none before it was first shown.
ScreenSize ordinarySize;

// Set by the SIGHUP handler; the next look at the events turns it into a close request.
volatile sig_atomic_t hangUpReceived = 0;

void noteHangUp(int) {
    hangUpReceived = 1;
}

void takeHangUp() {
    if (hangUpReceived) {
        hangUpReceived = 0;
        messages.push(hostMessageClose);
    }
}

// How much nicer than normal the process becomes; the original raised its priority class.
constexpr int raisedNiceValue = -10;

using Clock = std::chrono::steady_clock;
const Clock::time_point clockStart = Clock::now();

// Whole milliseconds since clockStart, not wrapped.
u64 millisecondsSinceStart(Clock::time_point when) {
    return static_cast<u64>(
        std::chrono::duration_cast<std::chrono::milliseconds>(when - clockStart).count());
}

void handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: messages.reportActive(true); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: messages.reportActive(false); break;
    case SDL_WINDOWEVENT_CLOSE: messages.push(hostMessageClose); break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: redrawWindow(); break;
    default: break;
    }
}

// Alt+Enter switches the window and never reaches the game as Enter.
bool takeWindowKey(const SDL_KeyboardEvent& key) {
    SDL_Scancode code = key.keysym.scancode;
    bool enter = code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER;
    if (key.state != SDL_PRESSED || !enter || (key.keysym.mod & KMOD_ALT) == 0) {
        return false;
    }
    if (!key.repeat) {
        switchWindowMode();
    }
    return true;
}

void handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT: messages.push(hostMessageClose); break;
    case SDL_WINDOWEVENT: handleWindowEvent(event.window); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (!takeWindowKey(event.key)) {
            queueKeyEvent(event.key);
        }
        break;
    case SDL_RENDER_DEVICE_RESET: noteRenderDeviceReset(); break;
    default: break;
    }
}

// Full-screen at the desktop's size, borderless and above other windows, as the original's
// top-most pop-up window over an exclusive display mode.
// Without a display SDL falls back to drivers that show nothing; those count as no display
// unless asked for by name.
bool showsPictures() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    bool invisible = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
    return !invisible || (requested && SDL_strcmp(requested, driver) == 0);
}

SDL_Window* createFullScreenWindow() {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS |
                   SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SHOWN;
    return SDL_CreateWindow(fullScreenTitle, 0, 0, desktop.w, desktop.h, flags);
}

ScreenSize firstOrdinarySize() {
    SDL_Rect area;
    if (SDL_GetDisplayUsableBounds(0, &area) != 0) {
        area.w = static_cast<int>(screenWidth);
        area.h = static_cast<int>(screenHeight);
    }
    return firstWindowSize(area.w, area.h, screenWidth, screenHeight);
}

SDL_Window* createOrdinaryWindow() {
    ordinarySize = firstOrdinarySize();
    return SDL_CreateWindow(ordinaryTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                            ordinarySize.w, ordinarySize.h,
                            SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
}

void showOrdinaryWindow() {
    if (ordinarySize.w == 0) {
        ordinarySize = firstOrdinarySize();
    }
    SDL_SetWindowFullscreen(sdlWindow, 0);
    SDL_SetWindowAlwaysOnTop(sdlWindow, SDL_FALSE);
    SDL_SetWindowBordered(sdlWindow, SDL_TRUE);
    SDL_SetWindowResizable(sdlWindow, SDL_TRUE);
    SDL_SetWindowTitle(sdlWindow, ordinaryTitle.c_str());
    SDL_SetWindowSize(sdlWindow, ordinarySize.w, ordinarySize.h);
    SDL_SetWindowPosition(sdlWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowCursor(SDL_ENABLE);
}

void showFullScreen() {
    SDL_GetWindowSize(sdlWindow, &ordinarySize.w, &ordinarySize.h);
    SDL_SetWindowTitle(sdlWindow, fullScreenTitle);
    SDL_SetWindowBordered(sdlWindow, SDL_FALSE);
    SDL_SetWindowAlwaysOnTop(sdlWindow, SDL_TRUE);
    SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowCursor(SDL_DISABLE);
}

} // namespace

void nameWindowAfter(const char* romPath) {
    ordinaryTitle = ordinaryWindowTitle(romPath, "/");
}

void switchWindowMode() {
    if (!sdlWindow) {
        return;
    }
    sdlWindowed = !sdlWindowed;
    if (sdlWindowed) {
        showOrdinaryWindow();
    } else {
        showFullScreen();
    }
    takeKeyboardFocus();
}

void takeKeyboardFocus() {
    if (sdlWindow) {
        SDL_RaiseWindow(sdlWindow);
        SDL_SetWindowInputFocus(sdlWindow);
    }
}

void pumpSdlEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handleEvent(event);
    }
    takeHangUp();
}

void catchHangUp() {
    struct sigaction action = {};
    action.sa_handler = noteHangUp;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGHUP, &action, nullptr);
}

bool setUpWindow() {
    if (sdlWindow) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        SDL_Log("Quarvend: no display: %s", SDL_GetError());
        return false;
    }
    if (!showsPictures()) {
        SDL_Log("Quarvend: no display (only SDL's %s video driver)", SDL_GetCurrentVideoDriver());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    sdlWindowed = settings.windowed;
    sdlWindow = sdlWindowed ? createOrdinaryWindow() : createFullScreenWindow();
    if (!sdlWindow) {
        SDL_Log("Quarvend: cannot create the window: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_ShowCursor(sdlWindowed ? SDL_ENABLE : SDL_DISABLE);
    takeKeyboardFocus();
    // A new window is the active one: the core learns it at once, as a window that has just
    // been created and activated would tell it.
    messages = HostMessageQueue{};
    messages.reportActive(true);
    return true;
}

void hostCloseWindow() {
    if (!sdlWindow) {
        return;
    }
    SDL_DestroyWindow(sdlWindow);
    sdlWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool hostSetUp(HostStep step) {
    if (hostStepFails(step)) {
        return false;
    }
    switch (step) {
    case HostStep::windowCreate: return setUpWindow();
    case HostStep::joystickFind:
    case HostStep::joystickFormat: return setUpJoystick(step);
    case HostStep::soundCreate:
    case HostStep::soundCooperativeLevel:
    case HostStep::soundPrimaryBuffer:
    case HostStep::soundPrimaryFormat:
    case HostStep::soundSecondaryBuffers: return setUpSound(step);
    case HostStep::displayCreate:
    case HostStep::displayInterface:
    case HostStep::displayCooperativeLevel:
    case HostStep::displayMode:
    case HostStep::displayPrimarySurface:
    case HostStep::displayRenderSurface:
    case HostStep::displayFilterSurface: return setUpDisplay(step);
    // The keyboard comes with the window's events; nothing to open.
    case HostStep::inputCreate:
    case HostStep::keyboardCreate:
    case HostStep::keyboardFormat:
    case HostStep::keyboardCooperativeLevel:
    case HostStep::keyboardBufferSize: return sdlWindow != nullptr;
    }
    return false;
}

HostMessage hostTakeMessage(bool wait) {
    pumpSdlEvents();
    while (wait && messages.count == 0 && sdlWindow) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 100)) {
            handleEvent(event);
        }
        takeHangUp();
    }
    return messages.take();
}

void hostShowMessageBox(const char* caption, const char* text) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, sdlWindow) != 0) {
        SDL_Log("%s: %s", caption, text);
    }
}

// Each thread has its own nice value here: the sound device's thread and the graphics
// driver's, started during the set-up, are raised with the emulation's.
bool hostRaisePriority() {
    bool raised = setpriority(PRIO_PROCESS, 0, raisedNiceValue) == 0;
    if (DIR* threads = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(threads)) {
            int thread = std::atoi(entry->d_name);
            if (thread > 0) {
                setpriority(PRIO_PROCESS, static_cast<id_t>(thread), raisedNiceValue);
            }
        }
        closedir(threads);
    }
    return raised;
}

u32 hostMilliseconds() {
    return static_cast<u32>(millisecondsSinceStart(Clock::now()));
}

void hostSleep(u32 milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The kernel's timers end a sleep within tens of microseconds of its end on an idle machine;
// waking a millisecond early leaves room for a late wake-up, and the second sleep ends on the
// tick itself.
void hostSleepUntil(u32 target) {
    Clock::time_point now = Clock::now();
    u64 elapsed = millisecondsSinceStart(now);
    s32 remaining = static_cast<s32>(target - static_cast<u32>(elapsed));
    if (remaining <= 0) {
        return;
    }
    Clock::time_point deadline =
        clockStart + std::chrono::milliseconds(elapsed + static_cast<u64>(remaining));
    std::this_thread::sleep_until(deadline - std::chrono::milliseconds(1));
    while (Clock::now() < deadline) {
        std::this_thread::sleep_until(deadline);
    }
}
