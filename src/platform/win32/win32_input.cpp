// The Windows host's keyboard and joystick through DirectInput 5: the keyboard read as up to
// 32 buffered events whose offsets are the DIK codes the emulator speaks, the first attached
// joystick read as a state record with the default axis range 0..65535, its first
// point-of-view hat steering as its axes do.
#include "platform/pad_directions.h"
#include "platform/win32/win32_host.h"

#define DIRECTINPUT_VERSION 0x0500
#include <dinput.h>

namespace {

IDirectInputA* inputObject;
IDirectInputDeviceA* keyboard;
IDirectInputDevice2A* joystick;
// Read only when the joystick has one: what the state record holds for a missing hat is not
// promised to read as centred.
bool joystickHasHat;

constexpr DWORD keyboardBufferEvents = 32;
// An Alt key is down, as the events read so far tell.
bool altHeld;
constexpr u32 joystickButtons = 32;

bool setKeyboardBufferSize() {
    DIPROPDWORD property{};
    property.diph.dwSize = sizeof property;
    property.diph.dwHeaderSize = sizeof property.diph;
    property.diph.dwObj = 0;
    property.diph.dwHow = DIPH_DEVICE;
    property.dwData = keyboardBufferEvents;
    return SUCCEEDED(keyboard->SetProperty(DIPROP_BUFFERSIZE, &property.diph));
}

// Keeps the first enumerated joystick that opens with the version 2 interface (for Poll).
BOOL CALLBACK enumJoystickCallback(LPCDIDEVICEINSTANCEA instance, LPVOID) {
    IDirectInputDeviceA* device = nullptr;
    if (FAILED(inputObject->CreateDevice(instance->guidInstance, &device, nullptr))) {
        return DIENUM_CONTINUE;
    }
    HRESULT result =
        device->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&joystick));
    device->Release();
    if (FAILED(result)) {
        joystick = nullptr;
        return DIENUM_CONTINUE;
    }
    return DIENUM_STOP;
}

bool findJoystick() {
    releaseInterface(joystick);
    HRESULT result = inputObject->EnumDevices(DIDEVTYPE_JOYSTICK, enumJoystickCallback, nullptr,
                                              DIEDFL_ATTACHEDONLY);
    return SUCCEEDED(result) && joystick;
}

bool setJoystickFormat() {
    if (!joystick || FAILED(joystick->SetDataFormat(&c_dfDIJoystick))) {
        return false;
    }
    DIDEVCAPS capabilities{};
    capabilities.dwSize = sizeof capabilities;
    joystickHasHat = SUCCEEDED(joystick->GetCapabilities(&capabilities)) && capabilities.dwPOVs > 0;
    joystick->Acquire(); // refused while in the background; the poll tries again
    return true;
}

bool setUpKeyboard(HostStep step) {
    switch (step) {
    case HostStep::keyboardCreate:
        return SUCCEEDED(inputObject->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr));
    case HostStep::keyboardFormat:
        return keyboard && SUCCEEDED(keyboard->SetDataFormat(&c_dfDIKeyboard));
    case HostStep::keyboardCooperativeLevel:
        return keyboard && SUCCEEDED(keyboard->SetCooperativeLevel(
                               mainWindow, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND));
    case HostStep::keyboardBufferSize: return keyboard && setKeyboardBufferSize();
    default: return false;
    }
}

// Alt+Enter belongs to the window, which switches to or from the full screen: its Enter never
// reaches the game.
bool takenByWindow(const DIDEVICEOBJECTDATA& event) {
    DWORD code = event.dwOfs;
    bool pressed = (event.dwData & 0x80) != 0;
    if (code == DIK_LMENU || code == DIK_RMENU) {
        altHeld = pressed;
        return false;
    }
    return pressed && altHeld && (code == DIK_RETURN || code == DIK_NUMPADENTER);
}

} // namespace

bool setUpInput(HostStep step) {
    if (step == HostStep::inputCreate) {
        hostCloseInput();
        return SUCCEEDED(
            DirectInputCreateA(appInstance, DIRECTINPUT_VERSION, &inputObject, nullptr));
    }
    if (!inputObject) {
        return false;
    }
    switch (step) {
    case HostStep::joystickFind: return findJoystick();
    case HostStep::joystickFormat: return setJoystickFormat();
    default: return setUpKeyboard(step);
    }
}

void hostCloseInput() {
    if (keyboard) {
        keyboard->Unacquire();
        releaseInterface(keyboard);
    }
    if (joystick) {
        joystick->Unacquire();
        releaseInterface(joystick);
    }
    releaseInterface(inputObject);
}

// Anything but DI_OK fails, DI_BUFFEROVERFLOW included: the caller acquires and reads again.
bool hostReadKeyboard(HostKeyEvent* events, u32* count) {
    if (!keyboard) {
        return false;
    }
    DIDEVICEOBJECTDATA data[keyboardBufferEvents];
    DWORD read = *count < keyboardBufferEvents ? *count : keyboardBufferEvents;
    if (keyboard->GetDeviceData(sizeof data[0], data, &read, 0) != DI_OK) {
        return false;
    }
    u32 kept = 0;
    for (DWORD i = 0; i < read; ++i) {
        if (!takenByWindow(data[i])) {
            events[kept++] = {static_cast<u8>(data[i].dwOfs), static_cast<u8>(data[i].dwData)};
        }
    }
    *count = kept;
    return true;
}

void hostAcquireKeyboard() {
    if (keyboard) {
        keyboard->Acquire();
    }
}

bool hostReadJoystick(HostJoystickState* state) {
    if (!joystick) {
        return false;
    }
    joystick->Poll();
    DIJOYSTATE joystickState;
    if (FAILED(joystick->GetDeviceState(sizeof joystickState, &joystickState))) {
        joystick->Acquire(); // lost with the foreground; the next poll reads again
        return false;
    }
    state->x = joystickState.lX;
    state->y = joystickState.lY;
    for (u32 i = 0; i < joystickButtons; ++i) {
        state->buttons[i] = joystickState.rgbButtons[i];
    }
    if (joystickHasHat) {
        steerByPad(state, padDirectionsOfPov(joystickState.rgdwPOV[0]));
    }
    return true;
}
