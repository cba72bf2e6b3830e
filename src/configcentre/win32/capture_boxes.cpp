// The key and joystick boxes of the Controller tab (Txt_Inkey, Txt_Joy): edit boxes that show
// a key or button name instead of taking typed text, and the path field, whose Enter moves the
// lists. The joystick is read through winmm's joyGetPosEx.
#include <windows.h>

#include <mmsystem.h>

#include "configcentre/core/joystick_capture.h"
#include "configcentre/win32/centre_window.h"

namespace {

constexpr UINT joystickPollMilliseconds = 16;

WNDPROC editProc = nullptr;

// Lparam of a key message: bit 24 marks the keys of the extended set (the right-hand Ctrl and
// Alt, the cursor block, keypad Enter), bits 16-23 hold the scan code, bit 30 a repeat.
bool extendedKey(LPARAM keyData) {
    return (keyData >> 24) & 1;
}

bool repeatedKey(LPARAM keyData) {
    return (keyData >> 30) & 1;
}

// The virtual key of the key itself: Windows reports Shift, Ctrl and Alt without their side.
WPARAM sidedVirtualKey(WPARAM virtualKey, LPARAM keyData) {
    switch (virtualKey) {
    case VK_SHIFT:
        return MapVirtualKeyA(static_cast<UINT>((keyData >> 16) & 0xFF), MAPVK_VSC_TO_VK_EX);
    case VK_CONTROL: return extendedKey(keyData) ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extendedKey(keyData) ? VK_RMENU : VK_LMENU;
    default: return virtualKey;
    }
}

// Keypad keys that share a virtual key with another key: keypad Enter is the extended Enter;
// with NumLock off the keypad sends Home, Up, ... without the extended bit, which the cursor
// block's keys carry.
bool keypadKey(WPARAM virtualKey, LPARAM keyData) {
    if (virtualKey == VK_RETURN) {
        return extendedKey(keyData);
    }
    const bool shared = (virtualKey >= VK_PRIOR && virtualKey <= VK_DOWN) ||
                        virtualKey == VK_INSERT || virtualKey == VK_DELETE ||
                        virtualKey == VK_CLEAR;
    return shared && !extendedKey(keyData);
}

int boxIndex(HWND box) {
    return (GetDlgCtrlID(box) - centreFirstControlId) % centreArrayLimit;
}

bool isKeyBox(HWND box) {
    return (GetDlgCtrlID(box) - centreFirstControlId) / centreArrayLimit == ctl_Txt_Inkey;
}

LRESULT keyBoxKey(HWND box, UINT message, WPARAM virtualKey, LPARAM keyData) {
    const int index = boxIndex(box);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        if (!repeatedKey(keyData)) {
            pressKeyInBox(centre.form);
            SetWindowTextA(box, "");
        }
        return 0;
    }
    const WPARAM key = sidedVirtualKey(virtualKey, keyData);
    showEventStatus(releaseKeyInBox(centre.form, index, static_cast<std::uint16_t>(key),
                                    keypadKey(virtualKey, keyData)));
    showForm();
    return 0;
}

// A focus change between the window's controls; not the window's own activation (another
// program, or a message box that closes).
bool focusMovesInside(WPARAM otherWindow) {
    HWND other = reinterpret_cast<HWND>(otherWindow);
    return other && IsChild(centre.window, other);
}

// Every key reaches a key box, Tab, Enter, Escape and Alt included, so any of them can be a
// button's key; the joystick boxes take no typing.
LRESULT CALLBACK captureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool keyBox = isKeyBox(box);
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = CallWindowProcA(editProc, box, message, wParam, lParam);
        if (focusMovesInside(wParam)) {
            captureBoxFocus(keyBox ? ctl_Txt_Inkey : ctl_Txt_Joy, boxIndex(box),
                            message == WM_SETFOCUS);
        }
        return result;
    }
    case WM_GETDLGCODE:
        if (keyBox) {
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (keyBox) {
            return keyBoxKey(box, message, wParam, lParam);
        }
        break;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_CONTEXTMENU: return 0;
    default: break;
    }
    return CallWindowProcA(editProc, box, message, wParam, lParam);
}

LRESULT CALLBACK pathFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        if (wParam == VK_RETURN) {
            return DLGC_WANTALLKEYS;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            PostMessageA(centre.window, msgGoToTypedPath, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r') {
            return 0; // no beep
        }
        break;
    default: break;
    }
    return CallWindowProcA(editProc, field, message, wParam, lParam);
}

void subclass(HWND edit, WNDPROC procedure) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (!editProc) {
        editProc = previous;
    }
}

// The first joystick. A joystick that is not there at all (no such joystick number) counts as
// unplugged, so that the box does not wait without a word; any other failure is read again.
JoystickReading readFirstJoystick() {
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS;
    const MMRESULT result = joyGetPosEx(JOYSTICKID1, &info);
    JoystickReading reading;
    switch (result) {
    case MMSYSERR_NODRIVER: reading.status = JoystickStatus::noDriver; break;
    case JOYERR_UNPLUGGED:
    case JOYERR_PARMS: reading.status = JoystickStatus::unplugged; break;
    default:
        reading.status = JoystickStatus::ok;
        reading.buttons = result == JOYERR_NOERROR ? info.dwButtons : 0;
        break;
    }
    return reading;
}

void showJoystickStep(const JoystickCaptureStep& step) {
    if (centre.form.joyBoxWaiting >= 0) {
        SetTimer(centre.window, joystickTimer, joystickPollMilliseconds, nullptr);
    } else {
        KillTimer(centre.window, joystickTimer);
    }
    showForm();
    if (!step.title.empty()) {
        showMessage(step.title, step.text);
    }
}

} // namespace

void makeCaptureBox(HWND box) {
    subclass(box, captureBoxProc);
}

void makePathField(HWND field) {
    subclass(field, pathFieldProc);
}

void startJoystickCapture(int index) {
    showJoystickStep(beginJoystickCapture(centre.form, index, readFirstJoystick()));
}

void pollJoystick() {
    showJoystickStep(continueJoystickCapture(centre.form, readFirstJoystick()));
}

void stopJoystickCapture() {
    stopJoystickCapture(centre.form);
    KillTimer(centre.window, joystickTimer);
}
