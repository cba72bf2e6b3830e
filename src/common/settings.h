// The process-wide settings read from "Quarvend.CFG" (shell/config_file.cpp). Read directly
// by the units each setting affects; written only by readConfigFile.
#pragma once

#include "common/types.h"

// Button numbers shared by the input code and the configuration.
enum Button : u8 {
    buttonNone = 0,
    buttonUp = 1,
    buttonDown = 2,
    buttonLeft = 3,
    buttonRight = 4,
    buttonSelect = 5,
    buttonStart = 6,
    buttonA = 7,
    buttonB = 8,
    buttonL = 9,
    buttonR = 10,
};

// Values of Settings::inputMode.
constexpr u32 inputKeyboard = 0;
constexpr u32 inputJoystick = 1;

struct Settings {
    u32 resolutionWidth;
    u32 resolutionHeight;
    u32 zoom;      // 1..4
    u32 inputMode; // 0 keyboard, 1 joystick
    // Key codes (keyboard) or button indexes (joystick, last six only), indexed by button - 1.
    u8 buttonCodes[10];
    bool autoFrameSkip;
    bool halfSpeed;
    bool enableSound;
    bool disableWaitControl;
    bool disableFifo;
    bool disableAlpha;
    bool bootFromBios;
    bool realGba;
    bool windowed;     // WINDOW
    bool integerScale; // INTEGERSCALE
    u32 frameSkip;
    u32 disableFifoCopy; // the scheduler reads this copy
    char biosFileName[16];
};

extern Settings settings;

// Button number (0 none) for each DirectInput key code.
extern u8 keyMap[256];
// Pressed state of each button, indexed by button number 1..10.
extern u16 buttonState[11];
