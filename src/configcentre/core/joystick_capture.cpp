#include "configcentre/core/joystick_capture.h"

#include <cmath>

namespace {

JoystickCaptureStep failed(const char* title, const char* text) {
    return {CaptureResult::failed, title, text};
}

JoystickCaptureStep take(CentreForm& form, int index, std::uint32_t buttons) {
    if (buttons == 0) {
        return {};
    }
    form.settings.joyButtons[index] = joystickButtonNumber(buttons);
    return {CaptureResult::taken, {}, {}};
}

} // namespace

JoystickCaptureStep beginJoystickCapture(CentreForm& form, int index,
                                         const JoystickReading& reading) {
    if (reading.status != JoystickStatus::ok) {
        return failed("Fail to initialize joystick",
                      "Your joystick has not been installed correctly!");
    }
    return take(form, index, reading.buttons);
}

JoystickCaptureStep continueJoystickCapture(CentreForm& form, int index,
                                            const JoystickReading& reading) {
    if (reading.status == JoystickStatus::noDriver) {
        return failed("读取游戏杆状态失败", "您的游戏控制器驱动安装不正确！");
    }
    if (reading.status == JoystickStatus::unplugged) {
        return failed("读取游戏杆状态失败", "游戏杆没有正确连接到接口上！");
    }
    return take(form, index, reading.buttons);
}

int joystickButtonNumber(std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(std::log2(static_cast<double>(mask)) + 1));
}
