#include "configcentre/qt/joystick.h"

#include <SDL.h>

#include <algorithm>

namespace {

bool joystickLayerStarted = false;
SDL_Joystick* joystick = nullptr;

bool startJoystickLayer() {
    if (!joystickLayerStarted) {
        // The settings window owns the keyboard focus, not SDL, so read the joystick always.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        joystickLayerStarted = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    }
    return joystickLayerStarted;
}

void releaseJoystick() {
    if (joystick) {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
}

std::uint32_t buttonMask(SDL_Joystick* device) {
    std::uint32_t mask = 0;
    int count = std::min(SDL_JoystickNumButtons(device), 32);
    for (int i = 0; i < count; ++i) {
        if (SDL_JoystickGetButton(device, i)) {
            mask |= std::uint32_t{1} << i;
        }
    }
    return mask;
}

} // namespace

JoystickReading readFirstJoystick() {
    JoystickReading reading;
    if (!startJoystickLayer()) {
        reading.status = JoystickStatus::noDriver;
        return reading;
    }
    // Updating also notices joysticks that were plugged in or pulled out.
    SDL_JoystickUpdate();
    if (joystick && !SDL_JoystickGetAttached(joystick)) {
        releaseJoystick();
    }
    if (!joystick && SDL_NumJoysticks() > 0) {
        joystick = SDL_JoystickOpen(0);
    }
    if (!joystick) {
        reading.status = JoystickStatus::unplugged;
        return reading;
    }
    reading.status = JoystickStatus::ok;
    reading.buttons = buttonMask(joystick);
    return reading;
}

void closeJoystick() {
    releaseJoystick();
    if (joystickLayerStarted) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        joystickLayerStarted = false;
    }
}
