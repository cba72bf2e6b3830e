// The SDL host's keyboard and joystick: key events buffered in set-1 codes until the input poll
// reads them, and the first joystick read as a state record.
#include "platform/sdl/scancode_table.h"
#include "platform/sdl/sdl_host.h"

namespace {

// Far more than a frame can bring; should it ever fill, new events are dropped rather than
// old ones, so a press is never separated from what came before it.
constexpr u32 keyBufferSize = 256;
HostKeyEvent keyBuffer[keyBufferSize];
u32 keyHead;
u32 keyCount;

SDL_Joystick* joystick;

constexpr u32 joystickButtons = 32;
// SDL's axes run -32768..32767; the emulator's 0..65535 with the centre at 32768.
constexpr s32 axisOffset = 32768;

} // namespace

void queueKeyEvent(const SDL_KeyboardEvent& key) {
    if (key.repeat) {
        return; // held keys send one press and one release
    }
    u8 code = setOneCodeOfScancode(key.keysym.scancode);
    if (code == 0 || keyCount == keyBufferSize) {
        return;
    }
    u8 data = key.state == SDL_PRESSED ? 0x80 : 0x00;
    keyBuffer[(keyHead + keyCount++) % keyBufferSize] = {code, data};
}

bool hostReadKeyboard(HostKeyEvent* events, u32* count) {
    pumpSdlEvents();
    u32 read = 0;
    while (read < *count && keyCount > 0) {
        events[read++] = keyBuffer[keyHead];
        keyHead = (keyHead + 1) % keyBufferSize;
        --keyCount;
    }
    *count = read;
    return true;
}

// Key events come with the window's event queue, which is never lost.
void hostAcquireKeyboard() {}

bool setUpJoystick(HostStep step) {
    if (step == HostStep::joystickFormat) {
        return joystick != nullptr;
    }
    if (joystick) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        return false;
    }
    if (SDL_NumJoysticks() > 0) {
        joystick = SDL_JoystickOpen(0);
    }
    if (!joystick) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        return false;
    }
    return true;
}

bool hostReadJoystick(HostJoystickState* state) {
    if (!joystick || !SDL_JoystickGetAttached(joystick)) {
        return false;
    }
    SDL_JoystickUpdate();
    state->x = SDL_JoystickGetAxis(joystick, 0) + axisOffset;
    state->y = SDL_JoystickGetAxis(joystick, 1) + axisOffset;
    int available = SDL_JoystickNumButtons(joystick);
    for (u32 i = 0; i < joystickButtons; ++i) {
        bool held = static_cast<int>(i) < available && SDL_JoystickGetButton(joystick, i);
        state->buttons[i] = held ? 0x80 : 0x00;
    }
    return true;
}

void hostCloseInput() {
    keyHead = 0;
    keyCount = 0;
    if (joystick) {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
}
