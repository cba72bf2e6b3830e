// The Windows host's window and its procedure, the message queue, the message box, the clock
// and the process priority, and the dispatch of the set-up steps to the device groups.
#include "common/screen.h"
#include "common/settings.h"
#include "platform/message_queue.h"
#include "platform/screen_fit.h"
#include "platform/step_failure.h"
#include "platform/win32/win32_host.h"
#include "platform/window_title.h"

HINSTANCE appInstance;
int appShowCommand = SW_SHOWDEFAULT;
HWND mainWindow;
bool mainWindowed;

namespace {

constexpr const char* windowClassName = "Quarvend";
constexpr const char* fullScreenTitle = programTitle;
std::string ordinaryTitle = fullScreenTitle;
// The ordinary window's client size before it went full screen; none before it was first shown.
ScreenSize ordinarySize;

constexpr DWORD fullScreenStyle = WS_POPUP | WS_MAXIMIZE;
constexpr DWORD ordinaryStyle = WS_OVERLAPPEDWINDOW;

// Window messages waiting for hostTakeMessage; repeated WM_ACTIVATEs (DirectDraw's mode change
// sends some) reach the core as one message.
HostMessageQueue messages;

// How long a waiting hostTakeMessage sleeps before it looks again whether the window is gone.
constexpr DWORD messageWaitMs = 100;

// Keys, Escape among them, reach the emulator through DirectInput's buffered events alone, as
// when the main loop took its messages without dispatching them.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE: messages.reportActive(LOWORD(wParam) != WA_INACTIVE); break;
    case WM_SETCURSOR:
        if (mainWindowed) {
            break; // the ordinary window keeps the pointer and its frame's resize arrows
        }
        SetCursor(nullptr); // no pointer over the game
        return TRUE;
    // Alt+Enter switches the window; taken here, it neither beeps nor opens the system menu.
    case WM_SYSKEYDOWN:
        if (wParam != VK_RETURN) {
            break;
        }
        if ((lParam & (1 << 30)) == 0) { // not a repeat of a held key
            switchWindowMode();
        }
        return 0;
    case WM_PAINT:
        if (mainWindowed) {
            PAINTSTRUCT paint;
            HDC context = BeginPaint(window, &paint);
            paintWindow(context);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    // Closing (Alt+F4) ends the emulator through its shut-down, which destroys the window.
    case WM_CLOSE: messages.push(hostMessageClose); return 0;
    case WM_DESTROY: PostQuitMessage(0); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Dispatches every waiting message, so that the window procedure sees them all; WM_QUIT
// (after the window's end) carries nothing the core needs.
void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool registerWindowClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = windowClassName;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The first size inside the desktop's work area, and the outer rectangle that gives the window
// that client size, centred in the work area.
RECT ordinaryFrame() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (ordinarySize.w == 0) {
        RECT borders{0, 0, 0, 0};
        AdjustWindowRectEx(&borders, ordinaryStyle, FALSE, 0);
        ordinarySize = firstWindowSize(area.right - area.left - (borders.right - borders.left),
                                       area.bottom - area.top - (borders.bottom - borders.top),
                                       screenWidth, screenHeight);
    }
    RECT frame{0, 0, ordinarySize.w, ordinarySize.h};
    AdjustWindowRectEx(&frame, ordinaryStyle, FALSE, 0);
    s32 width = frame.right - frame.left, height = frame.bottom - frame.top;
    s32 left = area.left + (area.right - area.left - width) / 2;
    s32 top = area.top + (area.bottom - area.top - height) / 2;
    top = top > area.top ? top : area.top; // the title bar stays on the desktop
    return {left, top, left + width, top + height};
}

HWND createOrdinaryWindow() {
    RECT frame = ordinaryFrame();
    return CreateWindowExA(0, windowClassName, ordinaryTitle.c_str(), ordinaryStyle, frame.left,
                           frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                           nullptr, appInstance, nullptr);
}

} // namespace

void nameWindowAfter(const char* romPath) {
    ordinaryTitle = ordinaryWindowTitle(romPath, "\\/:");
}

void styleMainWindow() {
    if (mainWindowed) {
        RECT frame = ordinaryFrame();
        SetWindowLongPtrA(mainWindow, GWL_STYLE, ordinaryStyle | WS_VISIBLE);
        SetWindowLongPtrA(mainWindow, GWL_EXSTYLE, 0);
        SetWindowTextA(mainWindow, ordinaryTitle.c_str());
        SetWindowPos(mainWindow, HWND_NOTOPMOST, frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        return;
    }
    RECT client;
    if (GetClientRect(mainWindow, &client) && client.right > 0 && client.bottom > 0) {
        ordinarySize = {client.right, client.bottom};
    }
    SetWindowLongPtrA(mainWindow, GWL_STYLE, fullScreenStyle | WS_VISIBLE);
    SetWindowLongPtrA(mainWindow, GWL_EXSTYLE, WS_EX_TOPMOST);
    SetWindowTextA(mainWindow, fullScreenTitle);
    SetWindowPos(mainWindow, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

bool setUpWindow() {
    if (mainWindow) {
        return true;
    }
    if (!registerWindowClass()) {
        return false;
    }
    messages = HostMessageQueue{};
    mainWindowed = settings.windowed;
    mainWindow = mainWindowed ? createOrdinaryWindow()
                              : CreateWindowExA(WS_EX_TOPMOST, windowClassName, fullScreenTitle,
                                                fullScreenStyle, 0, 0, 256, 128, nullptr, nullptr,
                                                appInstance, nullptr);
    if (!mainWindow) {
        return false;
    }
    ShowWindow(mainWindow, appShowCommand);
    UpdateWindow(mainWindow);
    SetActiveWindow(mainWindow);
    return true;
}

void hostCloseWindow() {
    if (!mainWindow) {
        return;
    }
    HWND window = mainWindow;
    mainWindow = nullptr;
    DestroyWindow(window);
    messages.count = 0;
}

bool hostSetUp(HostStep step) {
    if (hostStepFails(step)) {
        return false;
    }
    switch (step) {
    case HostStep::windowCreate: return setUpWindow();
    case HostStep::inputCreate:
    case HostStep::keyboardCreate:
    case HostStep::keyboardFormat:
    case HostStep::keyboardCooperativeLevel:
    case HostStep::keyboardBufferSize:
    case HostStep::joystickFind:
    case HostStep::joystickFormat: return setUpInput(step);
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
    }
    return false;
}

HostMessage hostTakeMessage(bool wait) {
    pumpMessages();
    while (wait && messages.count == 0 && mainWindow) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, messageWaitMs, QS_ALLINPUT);
        pumpMessages();
    }
    return messages.take();
}

// A box shown after the window has gone would meet the quit message its destruction posted and
// close at once: that message is taken off the queue first.
void hostShowMessageBox(const char* caption, const char* text) {
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    MessageBoxA(mainWindow, text, caption, MB_OK);
}

bool hostRaisePriority() {
    return SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS) != 0;
}

u32 hostMilliseconds() {
    return timeGetTime();
}

void hostSleep(u32 milliseconds) {
    Sleep(milliseconds);
}

// With the timer at 1 ms (WinMain), Sleep ends up to a tick late: the last millisecond is
// waited out by yielding the processor until the clock reaches the target.
void hostSleepUntil(u32 target) {
    s32 remaining = static_cast<s32>(target - timeGetTime());
    if (remaining > 1) {
        Sleep(static_cast<DWORD>(remaining - 1));
    }
    while (static_cast<s32>(target - timeGetTime()) > 0) {
        Sleep(0);
    }
}
