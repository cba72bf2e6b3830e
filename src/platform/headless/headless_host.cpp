// The headless host: no window and no devices. Set-up steps succeed unless a test makes a
// group fail; the clock is virtual, so runs are repeatable; key events and joystick states
// are delivered at scripted frames.
#include "platform/headless/headless_host.h"

#include <algorithm>
#include <cmath>

#include "common/run_state.h"

HeadlessHost headless;

void resetHeadlessHost() {
    headless = HeadlessHost{};
}

void headlessScriptKey(u32 frame, u8 code, bool pressed) {
    headless.keys.push_back({frame, code, pressed});
    std::stable_sort(headless.keys.begin(), headless.keys.end(),
                     [](const HeadlessScriptedKey& a, const HeadlessScriptedKey& b) {
                         return a.frame < b.frame;
                     });
}

std::vector<s16> headlessStereoSamples() {
    const std::vector<float>* sides[2][2] = {
        {&headless.soundCapture[fifoLeftBuffer], &headless.soundCapture[psgLeftBuffer]},
        {&headless.soundCapture[fifoRightBuffer], &headless.soundCapture[psgRightBuffer]}};
    size_t length = 0;
    for (const std::vector<float>& capture : headless.soundCapture) {
        length = std::max(length, capture.size());
    }
    std::vector<s16> samples;
    samples.reserve(2 * length);
    for (size_t i = 0; i < length; ++i) {
        for (auto& side : sides) {
            float level = 0.0f;
            for (const std::vector<float>* capture : side) {
                level += i < capture->size() ? (*capture)[i] : 0.0f;
            }
            samples.push_back(
                static_cast<s16>(std::clamp(std::lround(level * 256.0f), -32768L, 32767L)));
        }
    }
    return samples;
}

namespace {

u32 clockNow() {
    u32 now = headless.clockBase + headless.clockReads * headless.msPerRead +
              runState.framesRendered * headless.msPerFrame;
    for (const auto& [frame, milliseconds] : headless.clockJumps) {
        now += runState.framesRendered >= frame ? milliseconds : 0;
    }
    return now;
}

} // namespace

u32 hostMilliseconds() {
    u32 now = clockNow();
    ++headless.clockReads;
    return now;
}

void hostSleepUntil(u32 target) {
    s32 remaining = static_cast<s32>(target - clockNow());
    if (remaining > 0) {
        headless.clockBase += static_cast<u32>(remaining);
        ++headless.sleepsUntil;
    }
}

void hostSleep(u32 milliseconds) {
    if (headless.loopStart == std::chrono::steady_clock::time_point{}) {
        headless.loopStart = std::chrono::steady_clock::now();
    }
    headless.clockBase += milliseconds;
}

bool hostSetUp(HostStep step) {
    if (static_cast<int>(step) == headless.failingStep) {
        return false;
    }
    switch (step) {
    case HostStep::windowCreate:
        if (headless.failure == HeadlessFailure::window) {
            return false;
        }
        headless.windowOpen = true;
        headless.messages.push_back(hostMessageActivate);
        return true;
    case HostStep::inputCreate:
        if (headless.failure == HeadlessFailure::input) {
            return false;
        }
        headless.inputOpen = true;
        return true;
    case HostStep::joystickFind:
        return headless.failure != HeadlessFailure::joystick && headless.joystickAttached;
    case HostStep::soundCreate:
        if (headless.failure == HeadlessFailure::sound) {
            return false;
        }
        headless.soundOpen = true;
        for (std::vector<u8>& buffer : headless.soundBuffers) {
            buffer.assign(soundBufferBytes, 0);
        }
        return true;
    case HostStep::displayCreate:
        if (headless.failure == HeadlessFailure::display) {
            return false;
        }
        headless.displayOpen = true;
        return true;
    default: return true;
    }
}

void hostCloseWindow() {
    headless.windowOpen = false;
}
void hostCloseInput() {
    headless.inputOpen = false;
}
void hostCloseSound() {
    headless.soundOpen = false;
}
void hostCloseDisplay() {
    headless.displayOpen = false;
}

HostMessage hostTakeMessage(bool wait) {
    headless.clockBase += wait ? headless.msPerWait : 0;
    auto& scripted = headless.scriptedMessages;
    while (!scripted.empty() && scripted.front().first <= runState.framesRendered) {
        headless.messages.push_back(scripted.front().second);
        scripted.erase(scripted.begin());
    }
    // Nothing can arrive while waiting here, so an empty queue never blocks.
    if (headless.messages.empty()) {
        return hostMessageNone;
    }
    HostMessage message = headless.messages.front();
    headless.messages.erase(headless.messages.begin());
    return message;
}

void hostShowMessageBox(const char* caption, const char* text) {
    headless.messageBoxCaption = caption;
    headless.messageBoxText = text;
}

bool hostRaisePriority() {
    return true;
}

bool hostReadKeyboard(HostKeyEvent* events, u32* count) {
    if (headless.keyboardReadFails) {
        return false;
    }
    if (headless.keyboardReadFailures > 0) {
        --headless.keyboardReadFailures;
        return false;
    }
    u32 read = 0;
    while (read < *count && headless.nextKey < headless.keys.size() &&
           headless.keys[headless.nextKey].frame <= runState.framesRendered &&
           static_cast<s32>(clockNow() - headless.keys[headless.nextKey].notBeforeMs) >= 0) {
        const HeadlessScriptedKey& key = headless.keys[headless.nextKey++];
        events[read++] = {key.code, static_cast<u8>(key.pressed ? 0x80 : 0x00)};
    }
    *count = read;
    return true;
}

void hostAcquireKeyboard() {
    ++headless.keyboardAcquires;
}

bool hostReadJoystick(HostJoystickState* state) {
    if (headless.joystickReadFails) {
        return false;
    }
    HostJoystickState current{32768, 32768, {}};
    for (const HeadlessScriptedJoystick& scripted : headless.joystick) {
        if (scripted.frame <= runState.framesRendered) {
            current = scripted.state;
        }
    }
    *state = current;
    return true;
}

bool hostDisplayIs15Bit() {
    return headless.display15Bit;
}

bool hostClearScreen() {
    ++headless.screenClears;
    return true;
}

u32 hostFlip(const u16* backBuffer, u32 width, u32 height, bool) {
    ++headless.flips;
    headless.lastShown = backBuffer;
    headless.lastShownWidth = width;
    headless.lastShownHeight = height;
    if (headless.flipResults.empty()) {
        return hostDisplayOk;
    }
    u32 result = headless.flipResults.front();
    headless.flipResults.erase(headless.flipResults.begin());
    return result;
}

u32 hostDisplayRefreshRate() {
    return headless.displayRefresh;
}

void hostSetRefreshWait(bool wait) {
    headless.refreshWait = wait;
}

u32 hostRestoreDisplay() {
    ++headless.restores;
    return hostDisplayOk;
}

void hostRestoreDesktopMode() {
    ++headless.desktopRestores;
}

void hostSetSoundVolume(int buffer, s32 hundredthsOfDecibel) {
    if (buffer >= 0 && buffer < 4) {
        headless.soundVolume[buffer] = hundredthsOfDecibel;
    }
}

void hostSetSoundPan(int buffer, s32 pan) {
    if (buffer >= 0 && buffer < 4) {
        headless.soundPan[buffer] = pan;
    }
}

void hostSetSoundPosition(int buffer, u32 position) {
    if (buffer >= 0 && buffer < 4) {
        headless.soundPosition[buffer] = position;
    }
}

void hostPlaySound(int buffer) {
    if (buffer >= 0 && buffer < 4) {
        headless.soundPlaying[buffer] = true;
        headless.soundPlayFrame = runState.framesRendered;
    }
}

void hostStopSound(int buffer) {
    if (buffer >= 0 && buffer < 4) {
        // The cursor stays where it stopped, and plays on from there.
        if (headless.soundCursorPerFrame > 0) {
            headless.soundPosition[buffer] = hostSoundPlayPosition(buffer);
        }
        headless.soundPlaying[buffer] = false;
    }
}

u8* hostLockSoundBuffer(int buffer) {
    if (buffer < 0 || buffer >= 4 || headless.soundBuffers[buffer].size() != soundBufferBytes) {
        return nullptr;
    }
    headless.soundLocked[buffer] = true;
    return headless.soundBuffers[buffer].data();
}

void hostUnlockSoundBuffer(int buffer, u32 offset, u32 length) {
    if (buffer >= 0 && buffer < 4) {
        headless.soundLocked[buffer] = false;
    }
    // The set-up's fill of the whole buffer is silence before play, not output.
    if (!headless.captureSound || buffer < 0 || buffer >= 4 || length >= soundBufferBytes ||
        offset >= soundBufferBytes || headless.soundBuffers[buffer].size() != soundBufferBytes) {
        return;
    }
    float gain = std::pow(10.0f, static_cast<float>(headless.soundVolume[buffer]) / 2000.0f);
    const u8* bytes = headless.soundBuffers[buffer].data();
    std::vector<float>& capture = headless.soundCapture[buffer];
    size_t at = capture.size();
    capture.resize(at + length);
    for (u32 i = 0; i < length; ++i) {
        capture[at + i] =
            (static_cast<float>(bytes[(offset + i) % soundBufferBytes]) - 128.0f) * gain;
    }
}

u32 hostSoundPlayPosition(int buffer) {
    if (buffer < 0 || buffer >= 4 || headless.soundCursorPerFrame <= 0) {
        return soundBufferBytes;
    }
    u32 moved = 0;
    if (headless.soundPlaying[buffer]) {
        moved = static_cast<u32>(headless.soundCursorPerFrame *
                                 (runState.framesRendered - headless.soundPlayFrame));
    }
    return (headless.soundPosition[buffer] + moved) % soundBufferBytes;
}
