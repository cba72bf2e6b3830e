#include "configcentre/core/joystick_capture.h"

#include <cmath>

namespace {

JoystickCaptureStep failed(CentreForm& form, const char* title, const char* text) {
    form.joyBoxWaiting = -1;
    return {CaptureResult::failed, title, text};
}

JoystickCaptureStep take(CentreForm& form, std::uint32_t buttons) {
    if (buttons == 0) {
        return {};
    }
    const int index = form.joyBoxWaiting;
    form.settings.joyButtons[index] = joystickButtonNumber(buttons);
    form.joyBoxWaiting = -1;
    leaveJoyBox(form, index);
    return {CaptureResult::taken, {}, {}};
}

} // namespace

JoystickCaptureStep beginJoystickCapture(CentreForm& form, int index,
                                         const JoystickReading& reading) {
    form.joyBoxWaiting = index;
    if (reading.status != JoystickStatus::ok) {
        return failed(form, "Fail to initialize joystick",
                      "Your joystick has not been installed correctly!");
    }
    return take(form, reading.buttons);
}

JoystickCaptureStep continueJoystickCapture(CentreForm& form, const JoystickReading& reading) {
    if (form.joyBoxWaiting < 0) {
        return {CaptureResult::failed, {}, {}};
    }
    if (reading.status == JoystickStatus::noDriver) {
        return failed(form, "读取游戏杆状态失败", "您的游戏控制器驱动安装不正确！");
    }
    if (reading.status == JoystickStatus::unplugged) {
        return failed(form, "读取游戏杆状态失败", "游戏杆没有正确连接到接口上！");
    }
    return take(form, reading.buttons);
}

void stopJoystickCapture(CentreForm& form) {
    form.joyBoxWaiting = -1;
}

int joystickButtonNumber(std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(std::log2(static_cast<double>(mask)) + 1));
}
