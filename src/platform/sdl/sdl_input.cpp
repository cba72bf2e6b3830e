// The SDL host's keyboard and joystick: key events buffered in set-1 codes until the input poll
// reads them, and the first joystick read as a state record, its hat and (for a pad SDL knows as
// a game controller) its d-pad steering as its axes do.
#include "platform/pad_directions.h"
#include "platform/sdl/scancode_table.h"
#include "platform/sdl/sdl_host.h"

namespace {

// Far more than a frame can bring; should it ever fill, new events are dropped rather than
// old ones, so a press is never separated from what came before it.
constexpr u32 keyBufferSize = 256;
HostKeyEvent keyBuffer[keyBufferSize];
u32 keyHead;
u32 keyCount;

// SDL's joystick and game controller layers run while a joystick is in use.
bool joystickLayerStarted;
SDL_Joystick* joystick;
// The same pad seen as a game controller, whose mapping tells where its d-pad is; null for a
// pad SDL has no mapping for.
SDL_GameController* controller;

constexpr u32 joystickButtons = 32;
// SDL's axes run -32768..32767; the emulator's 0..65535 with the centre at 32768.
constexpr s32 axisOffset = 32768;

static_assert(padUp == SDL_HAT_UP && padRight == SDL_HAT_RIGHT && padDown == SDL_HAT_DOWN &&
              padLeft == SDL_HAT_LEFT);

struct DpadButton {
    SDL_GameControllerButton button;
    u8 direction;
};
constexpr DpadButton dpadButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, padUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, padDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, padLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, padRight},
};

// A switch for tests: QUARVEND_VIRTUAL_PAD=1 puts a virtual game controller with two axes and a
// hat in place of the first joystick, moved by keys: the numeric keypad's 8, 2, 4 and 6 push
// its hat, the arrow keys its d-pad buttons. The keys also reach the emulator as usual.
constexpr const char* virtualPadVariable = "QUARVEND_VIRTUAL_PAD";
int virtualPadIndex = -1;
u8 virtualHat;

struct VirtualPadKey {
    SDL_Scancode key;
    u8 hatDirection;
    SDL_GameControllerButton button;
};
constexpr VirtualPadKey virtualPadKeys[] = {
    {SDL_SCANCODE_KP_8, padUp, SDL_CONTROLLER_BUTTON_INVALID},
    {SDL_SCANCODE_KP_2, padDown, SDL_CONTROLLER_BUTTON_INVALID},
    {SDL_SCANCODE_KP_4, padLeft, SDL_CONTROLLER_BUTTON_INVALID},
    {SDL_SCANCODE_KP_6, padRight, SDL_CONTROLLER_BUTTON_INVALID},
    {SDL_SCANCODE_UP, 0, SDL_CONTROLLER_BUTTON_DPAD_UP},
    {SDL_SCANCODE_DOWN, 0, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {SDL_SCANCODE_LEFT, 0, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {SDL_SCANCODE_RIGHT, 0, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
};

// SDL maps a virtual game controller's buttons in its own button order, so that virtual button
// SDL_CONTROLLER_BUTTON_DPAD_UP is the mapped d-pad's up.
int attachVirtualPad() {
    SDL_VirtualJoystickDesc pad{};
    pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    pad.naxes = 2;
    pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    pad.nhats = 1;
    pad.axis_mask = (1 << SDL_CONTROLLER_AXIS_LEFTX) | (1 << SDL_CONTROLLER_AXIS_LEFTY);
    pad.name = "Quarvend test pad";
    virtualHat = 0;
    return SDL_JoystickAttachVirtualEx(&pad);
}

void pressVirtualPad(const SDL_KeyboardEvent& key) {
    if (virtualPadIndex < 0 || !joystick) {
        return;
    }
    bool pressed = key.state == SDL_PRESSED;
    for (const VirtualPadKey& padKey : virtualPadKeys) {
        if (padKey.key != key.keysym.scancode) {
            continue;
        }
        if (padKey.hatDirection) {
            virtualHat =
                pressed ? virtualHat | padKey.hatDirection : virtualHat & ~padKey.hatDirection;
            SDL_JoystickSetVirtualHat(joystick, 0, virtualHat);
        } else {
            SDL_JoystickSetVirtualButton(joystick, padKey.button, pressed);
        }
    }
}

// The index of the joystick to open: the virtual pad's when tests ask for one, else the first.
int firstJoystick() {
    const char* wanted = SDL_getenv(virtualPadVariable);
    if (wanted && *wanted) {
        virtualPadIndex = attachVirtualPad();
        return virtualPadIndex;
    }
    return 0;
}

void closeJoystick() {
    if (controller) {
        SDL_GameControllerClose(controller);
        controller = nullptr;
    }
    if (joystick) {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
    if (virtualPadIndex >= 0) {
        SDL_JoystickDetachVirtual(virtualPadIndex);
        virtualPadIndex = -1;
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    joystickLayerStarted = false;
}

u8 padDirections() {
    u8 directions = 0;
    if (SDL_JoystickNumHats(joystick) > 0) {
        directions = SDL_JoystickGetHat(joystick, 0);
    }
    if (controller) {
        for (const DpadButton& dpad : dpadButtons) {
            if (SDL_GameControllerGetButton(controller, dpad.button)) {
                directions |= dpad.direction;
            }
        }
    }
    return directions;
}

} // namespace

void queueKeyEvent(const SDL_KeyboardEvent& key) {
    if (key.repeat) {
        return; // held keys send one press and one release
    }
    pressVirtualPad(key);
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
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        return false;
    }
    joystickLayerStarted = true;
    int index = firstJoystick();
    if (index >= 0 && index < SDL_NumJoysticks()) {
        joystick = SDL_JoystickOpen(index);
    }
    if (!joystick) {
        closeJoystick();
        return false;
    }
    if (SDL_IsGameController(index)) {
        controller = SDL_GameControllerOpen(index);
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
    steerByPad(state, padDirections());
    return true;
}

void hostCloseInput() {
    keyHead = 0;
    keyCount = 0;
    if (joystickLayerStarted) {
        closeJoystick();
    }
}
