#include "input/input.h"

#include "common/log.h"
#include "common/settings.h"
#include "cpu/interrupts.h"
#include "machine/io_registers.h"
#include "platform/host.h"

namespace {

constexpr u32 keyboardBufferEvents = 32;

// Axis values run 0..65535 with the centre at 32768; a direction is held beyond a quarter.
constexpr s32 axisLow = 16384;
constexpr s32 axisHigh = 49152;

constexpr u32 joystickButtons = 32;

// KEYINPUT bit of each button, indexed by button number.
constexpr u16 keyinputBit[11] = {
    0,
    keyinput::up,
    keyinput::down,
    keyinput::left,
    keyinput::right,
    keyinput::select,
    keyinput::start,
    keyinput::a,
    keyinput::b,
    keyinput::l,
    keyinput::r,
};

constexpr u16 keyinputButtons = 0x03FF;
constexpr u16 keycntIrqEnable = 1 << 14;
constexpr u16 keycntAndMode = 1 << 15;

// Bit 0: left Shift held, bit 1: right Shift held.
u8 shiftKeys = 0;

void noteShiftKey(u8 code, bool pressed) {
    const u8 bit = code == dik::leftShift ? 1 : code == dik::rightShift ? 2 : 0;
    shiftKeys = static_cast<u8>(pressed ? shiftKeys | bit : shiftKeys & ~bit);
}

bool setUpStep(HostStep step, const char* failureText) {
    if (hostSetUp(step)) {
        return true;
    }
    debugLog(failureText);
    return false;
}

// A failed read is retried once after re-acquiring the keyboard, which the host loses
// whenever the window leaves the foreground.
bool readKeyboard(HostKeyEvent* events, u32* count) {
    *count = keyboardBufferEvents;
    if (hostReadKeyboard(events, count)) {
        return true;
    }
    // Releases made while the keyboard was lost were never seen.
    shiftKeys = 0;
    hostAcquireKeyboard();
    *count = keyboardBufferEvents;
    return hostReadKeyboard(events, count);
}

// Returns false when Escape ended the emulator.
bool handleKeyEvents(const HostKeyEvent* events, u32 count) {
    for (u32 i = 0; i < count; ++i) {
        u8 code = events[i].code;
        u8 pressed = events[i].data & 0x80;
        if (code == dik::escape) {
            escapePressed();
            return false;
        }
        noteShiftKey(code, pressed);
        if (pressed) {
            debugKeyPressed(code);
        }
        // A key the player gave a button stays that button.
        u8 button = settings.inputMode == inputKeyboard ? keyMap[code] : 0;
        if (button >= buttonUp && button <= buttonR) {
            buttonState[button] = pressed;
        } else {
            speedKeyChanged(code, pressed != 0);
        }
    }
    return true;
}

// Configured button indexes come from a text file; one beyond the joystick's 32 buttons
// reads as never held instead of reading past the state record.
u16 joystickButton(const HostJoystickState& state, Button button) {
    u8 index = settings.buttonCodes[button - 1];
    return index < joystickButtons ? (state.buttons[index] & 0x80) : 0;
}

void readJoystick() {
    HostJoystickState state;
    if (!hostReadJoystick(&state)) {
        debugLog("JoyFail\n");
        return;
    }
    buttonState[buttonUp] = 0;
    buttonState[buttonDown] = 0;
    buttonState[buttonLeft] = 0;
    buttonState[buttonRight] = 0;
    if (state.x < axisLow) {
        buttonState[buttonLeft] = 0x80;
    } else if (state.x > axisHigh) {
        buttonState[buttonRight] = 0x80;
    }
    if (state.y < axisLow) {
        buttonState[buttonUp] = 0x80;
    } else if (state.y > axisHigh) {
        buttonState[buttonDown] = 0x80;
    }
    for (u32 button = buttonSelect; button <= buttonR; ++button) {
        buttonState[button] = joystickButton(state, static_cast<Button>(button));
    }
}

u16 pressedMask() {
    u16 pressed = 0;
    for (u32 button = buttonUp; button <= buttonR; ++button) {
        if (buttonState[button]) {
            pressed |= keyinputBit[button];
        }
    }
    return pressed;
}

// The keypad interrupt fires on changes: OR mode when any selected button changed, AND mode
// only when every selected button changed in the same poll.
void checkKeypadInterrupt(u16 pressed) {
    u16 keycnt = ioRegister(io::KEYCNT);
    if (!(keycnt & keycntIrqEnable)) {
        return;
    }
    u16 changed = (~ioRegister(io::KEYINPUT) & keyinputButtons) ^ pressed;
    u16 selected = keycnt & keyinputButtons;
    bool request =
        (keycnt & keycntAndMode) ? (changed & selected) == selected : (changed & selected) != 0;
    if (request) {
        requestInterrupt(irq::keypad);
    }
}

} // namespace

bool shiftHeld() {
    return shiftKeys != 0;
}

int initDirectInput() {
    if (!setUpStep(HostStep::inputCreate, "\nFail to create DirectInput object") ||
        !setUpStep(HostStep::keyboardCreate, "\nFail to create keyboard input device") ||
        !setUpStep(HostStep::keyboardFormat, "\nFail to set to keyboard input device") ||
        !setUpStep(HostStep::keyboardCooperativeLevel, "\nFail to set keyboard cooperativelevel") ||
        !setUpStep(HostStep::keyboardBufferSize, "\nFail to set DirectInput property")) {
        return 0;
    }
    hostAcquireKeyboard();
    debugLog("\nKeyboard initialized\n");
    if (settings.inputMode != inputJoystick) {
        return 1;
    }
    if (!hostSetUp(HostStep::joystickFind)) {
        debugLog("\nFail to initialize joystick\n");
        hostShowMessageBox("Quarvend Message", "Joystick not found!");
        return 0;
    }
    if (!setUpStep(HostStep::joystickFormat, "\nFail to set device to joystick")) {
        return 0;
    }
    debugLog("\nJoystick successfully initialized\n");
    return 1;
}

void pollInput() {
    HostKeyEvent events[keyboardBufferEvents];
    u32 count;
    if (!readKeyboard(events, &count)) {
        return;
    }
    if (!handleKeyEvents(events, count)) {
        return;
    }
    if (settings.inputMode == inputJoystick) {
        readJoystick();
    }
    u16 pressed = pressedMask();
    checkKeypadInterrupt(pressed);
    ioRegister(io::KEYINPUT) = static_cast<u16>(~pressed | 0xFC00);
}
