// Controls of the headless host for tests and tools: scripted failures, key events, joystick
// states and clock, and what the emulator sent to the "screen" and "speakers".
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "common/types.h"
#include "platform/host.h"

enum class HeadlessFailure { none, window, input, joystick, sound, display };

struct HeadlessScriptedKey {
    u32 frame; // delivered to the first keyboard read while framesRendered >= frame
    u8 code;
    bool pressed;
    u32 notBeforeMs = 0; // and the clock has reached this (frames stand still while paused)
};

struct HeadlessScriptedJoystick {
    u32 frame; // in force from this frame on
    HostJoystickState state;
};

struct HeadlessHost {
    HeadlessFailure failure = HeadlessFailure::none;
    std::vector<HeadlessScriptedKey> keys; // in frame order
    size_t nextKey = 0;
    std::vector<HeadlessScriptedJoystick> joystick; // in frame order
    bool joystickAttached = true;
    bool keyboardReadFails = false;
    u32 keyboardReadFailures = 0; // the next keyboard reads that fail, one by one
    int failingStep = -1;         // a single HostStep that fails, -1 for none
    bool joystickReadFails = false;
    bool display15Bit = false;
    std::vector<u32> flipResults; // results the next flips report, in order (then 0)

    // Virtual clock: advances by msPerRead at every read and by msPerFrame per frame run;
    // hostSleepUntil moves it on to the end of the wait.
    u32 clockBase = 0;
    u32 msPerRead = 1;
    u32 msPerFrame = 0;
    u32 clockReads = 0;
    u32 sleepsUntil = 0; // waits through hostSleepUntil that had to sleep
    u32 msPerWait = 0;   // how long each blocking hostTakeMessage waits for its message
    // Stalls: from framesRendered = first on, the clock is second milliseconds further on.
    std::vector<std::pair<u32, u32>> clockJumps;
    // The display's refresh rate as hostDisplayRefreshRate reports it, and whether presenting
    // was last told to wait for it.
    u32 displayRefresh = 60;
    bool refreshWait = false;
    // A device cursor for the sound buffers: from hostPlaySound on, it moves this many bytes
    // per frame run. 0: no cursor, the bytes are taken as they are written.
    double soundCursorPerFrame = 0;
    u32 soundPlayFrame = 0;
    // Wall time when the main loop started (its first sleep), for frame rate figures.
    std::chrono::steady_clock::time_point loopStart{};

    // Observations.
    std::vector<HostMessage> messages; // queued window messages
    // Messages queued once framesRendered reaches their frame.
    std::vector<std::pair<u32, HostMessage>> scriptedMessages;
    u32 flips = 0;
    u32 screenClears = 0;
    u32 restores = 0;
    u32 desktopRestores = 0;
    // The back buffer shown at the last flip, not a copy: valid until the next frame is drawn.
    const u16* lastShown = nullptr;
    u32 lastShownWidth = 0;
    u32 lastShownHeight = 0;
    std::string messageBoxCaption;
    std::string messageBoxText;
    bool windowOpen = false;
    bool inputOpen = false;
    bool soundOpen = false;
    bool displayOpen = false;
    u32 keyboardAcquires = 0;
    s32 soundVolume[4] = {};
    s32 soundPan[4] = {};
    u32 soundPosition[4] = {};
    bool soundPlaying[4] = {};
    std::vector<u8> soundBuffers[4];
    bool soundLocked[4] = {}; // between a lock and its unlock
    // What each buffer played, frame after frame: the bytes written each frame around the
    // silence level 0 and scaled by the buffer's volume at that moment.
    std::vector<float> soundCapture[4];
    // Off when nobody will read the capture (a run without a WAV file), which saves its cost.
    bool captureSound = true;
};

extern HeadlessHost headless;

// Back to a fresh host with nothing scripted.
void resetHeadlessHost();

// Presses and releases: convenience for scripts.
void headlessScriptKey(u32 frame, u8 code, bool pressed);

// What a listener heard, as interleaved 16-bit left/right samples at 44100 Hz: each side mixes
// its FIFO and tone buffers, one 8-bit step becoming 256, clipped at the 16-bit limits.
std::vector<s16> headlessStereoSamples();
