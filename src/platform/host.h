// The host layer: the only door from the emulator core to the window, devices and clock.
// Each program links exactly one implementation (platform/sdl for the program Quarvend,
// platform/headless for the tests and tools), so these are plain functions.
//
// Set-up is split into the steps the emulator reports one by one; a host performs the work
// where its platform has any and answers true for steps that mean nothing to it.
#pragma once

#include "common/types.h"

// Milliseconds since an arbitrary start, wrapping at 32 bits.
u32 hostMilliseconds();
void hostSleep(u32 milliseconds);
// Returns once hostMilliseconds() has reached TARGET (at once when it has): asleep until
// shortly before, the end of the wait exact, so that waiting costs no processor time.
void hostSleepUntil(u32 target);

enum class HostStep {
    // Window
    windowCreate,
    // Input
    inputCreate,
    keyboardCreate,
    keyboardFormat,
    keyboardCooperativeLevel,
    keyboardBufferSize,
    joystickFind,
    joystickFormat,
    // Sound
    soundCreate,
    soundCooperativeLevel,
    soundPrimaryBuffer,
    soundPrimaryFormat,
    soundSecondaryBuffers,
    // Display
    displayCreate,
    displayInterface,
    displayCooperativeLevel,
    displayMode,
    displayPrimarySurface,
    displayRenderSurface,
    displayFilterSurface,
};

bool hostSetUp(HostStep step);

// Releases what the steps of each group created; safe to call when nothing was created.
void hostCloseWindow();
void hostCloseInput();
void hostCloseSound();
void hostCloseDisplay();

// Window messages, one at a time. With wait set the call blocks until a message comes;
// without, it returns hostMessageNone when the queue is empty.
enum HostMessage { hostMessageNone, hostMessageActivate, hostMessageDeactivate, hostMessageClose };
HostMessage hostTakeMessage(bool wait);

void hostShowMessageBox(const char* caption, const char* text);

// Raises the process priority; false when the platform refuses.
bool hostRaisePriority();

// Keyboard: buffered events with key codes in the PC set-1 scan code numbering (Escape 0x01,
// A 0x1E, Up 0xC8); data bit 7 is set for a press. Key repeat produces no events.
struct HostKeyEvent {
    u8 code;
    u8 data;
};
// Reads up to *count events into events and stores how many were read; false on failure.
bool hostReadKeyboard(HostKeyEvent* events, u32* count);
void hostAcquireKeyboard();

// Joystick: axes 0..65535 (centre 32768), buttons with bit 7 set while held.
struct HostJoystickState {
    s32 x;
    s32 y;
    u8 buttons[32];
};
bool hostReadJoystick(HostJoystickState* state);

// Display: the core keeps the picture in a back buffer of the display's size (16-bit pixels,
// red in bits 11-15); the host shows it whole, scaled to the screen with its aspect kept.
enum HostDisplayResult : u32 {
    hostDisplayOk = 0,
    hostDisplaySurfaceLost = 0x887601C2,
    hostDisplayWrongMode = 0x8876024B,
    hostDisplayBusy = 0x8876021C,
};
// The display's pixels are 15-bit (red in bits 10-14).
bool hostDisplayIs15Bit();
// Clears what the screen shows; false when the fill failed.
bool hostClearScreen();
// Shows the back buffer. With wait clear, the host may answer hostDisplayBusy.
u32 hostFlip(const u16* backBuffer, u32 width, u32 height, bool wait);
u32 hostRestoreDisplay();
void hostRestoreDesktopMode();
// How often the display refreshes, in Hz; 0 when the platform cannot tell.
u32 hostDisplayRefreshRate();
// Whether showing a picture waits for the display's next refresh, so that the display paces
// the frames; the host keeps the choice for displays it sets up later.
void hostSetRefreshWait(bool wait);

// The four looping 8-bit mono sound buffers of 44100 bytes each.
enum SoundBuffer { fifoLeftBuffer = 0, fifoRightBuffer = 1, psgLeftBuffer = 2, psgRightBuffer = 3 };
constexpr u32 soundBufferBytes = 44100;

// Volume of one buffer in hundredths of a decibel (0 = full, -10000 = silent).
void hostSetSoundVolume(int buffer, s32 hundredthsOfDecibel);
void hostSetSoundPan(int buffer, s32 pan);
void hostSetSoundPosition(int buffer, u32 position);
void hostPlaySound(int buffer);
void hostStopSound(int buffer);
// The whole buffer for writing, or nullptr when it cannot be locked.
u8* hostLockSoundBuffer(int buffer);
// Ends the writing; LENGTH bytes from OFFSET on were written, going on at the buffer's start
// when they pass its end.
void hostUnlockSoundBuffer(int buffer, u32 offset, u32 length);
// Where the device is in the buffer: the offset of the first byte it has not yet taken, which
// moves on in real time while the buffer plays. soundBufferBytes when the host has no such
// cursor and takes each frame's bytes as they are written.
u32 hostSoundPlayPosition(int buffer);
