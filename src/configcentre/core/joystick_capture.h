// The joystick boxes of the Controller tab: readings of the first joystick, taken through
// whatever joystick interface the view has, turned into the button stored or the message that
// ends the wait.
#pragma once

#include <cstdint>
#include <string>

#include "configcentre/core/centre_form.h"

enum class JoystickStatus { ok, noDriver, unplugged };

struct JoystickReading {
    JoystickStatus status = JoystickStatus::unplugged;
    std::uint32_t buttons = 0; // bit k set while button k + 1 is held
};

enum class CaptureResult { waiting, taken, failed };

struct JoystickCaptureStep {
    CaptureResult result = CaptureResult::waiting;
    // The message box of a failed capture (UTF-8), if any; the box keeps its button then.
    std::string title;
    std::string text;
};

// Txt_Joy_GotFocus: the first reading. A joystick that cannot be read ends the capture; one
// with no button held makes the box wait (form.joyBoxWaiting), instead of any box that waited
// before. A button taken turns the box grey.
JoystickCaptureStep beginJoystickCapture(CentreForm& form, int index,
                                         const JoystickReading& reading);
// Each later reading while a box waits for a button, for as long as none is pressed; failed
// without a message when no box waits.
JoystickCaptureStep continueJoystickCapture(CentreForm& form, const JoystickReading& reading);
// Ends the wait, if a box waits (the window closes); the box shows its button again.
void stopJoystickCapture(CentreForm& form);

// The button number (from 1) a button mask stands for: log2(mask) + 1 rounded with halves to
// even, so a single button k gives k and several buttons give a number near the highest.
int joystickButtonNumber(std::uint32_t mask);
