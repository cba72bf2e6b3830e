#include "shell/main_loop.h"

#include "cart/save_files.h"
#include "common/log.h"
#include "common/run_state.h"
#include "common/settings.h"
#include "input/input.h"
#include "machine/frame.h"
#include "machine/gba_system.h"
#include "platform/host.h"
#include "shell/debug_keys.h"
#include "shell/startup.h"
#include "sound/sound_output.h"
#include "video/line_buffers.h"

u16 frameDeadlines[frameGroupsPerPeriod];

namespace {

// What sets the speed. Fixed frame skip follows the display's refresh only where the display
// refreshes at the console's 60 Hz; on any other display (or at half speed) it keeps the
// clock's 60 frames per second like the automatic mode, but draws its groups even when late.
enum class PacedBy { display, clock, automaticSkip };

// What the player's speed keys ask for.
enum class Speed { normal, fast, paused };

// Pacing state of the clock-paced modes.
struct Pacing {
    u32 group;     // k, the next group within the period
    u32 base;      // start of the current period of 240 groups
    u32 lastRead;  // the last clock value read
    bool pausing;  // the window's inactive stretch has begun
    u32 lastDrawn; // when fast-forward last drew a frame
    u32 lastSaved; // when fast-forward last wrote the saves
};

// Fast-forward draws a frame once a 60 Hz refresh has passed since the last one it drew: the
// screen shows all it can, and the time goes into running frames.
constexpr u32 fastDrawMs = 16;
// Fast-forward writes changed saves by the clock, about as often as 256 frames at normal speed
// do: by frames it would write and flush them many times a second.
constexpr u32 fastSaveMs = 4000;
// While paused the keys and the window's messages are looked at this often.
constexpr u32 pausedPollMs = 10;

PacedBy choosePacing() {
    if (settings.autoFrameSkip) {
        return PacedBy::automaticSkip;
    }
    u32 refresh = hostDisplayRefreshRate();
    bool sixtyHertz = refresh >= 59 && refresh <= 61;
    return sixtyHertz && !settings.halfSpeed ? PacedBy::display : PacedBy::clock;
}

u32 frameSkip() {
    return settings.frameSkip;
}

// One drawn frame, then SKIP undrawn ones (all undrawn for a late group). Nothing runs after
// a quit.
void runFrameGroup(bool drawFirst) {
    runFrame(drawFirst ? 1 : 0);
    for (u32 i = 0; i < frameSkip() && runState.emulationRunning; ++i) {
        runFrame(0);
    }
}

// After a quit the shut-down has written the saves and ended the log.
void writeSavesIfTouched() {
    if (gba.saveTouched && runState.emulationRunning) {
        writeSaveFiles();
        gba.saveTouched = 0;
    }
}

s32 sinceBase(const Pacing& pacing) {
    return static_cast<s32>(pacing.lastRead - pacing.base);
}

void waitUntil(Pacing& pacing, s32 target) {
    while (sinceBase(pacing) < target) {
        hostSleepUntil(pacing.base + static_cast<u32>(target));
        pacing.lastRead = hostMilliseconds();
    }
}

void writeSavesEveryFewSeconds() {
    if ((runState.framesRendered & 0xFF) == 0) {
        writeSavesIfTouched();
    }
}

void fixedPass() {
    if (runState.windowActive) {
        runFrameGroup(true);
        writeSavesEveryFewSeconds();
        takeWindowMessage(false);
    } else {
        takeWindowMessage(true);
        pollInput();
    }
}

// A late group of the automatic mode runs undrawn and counts as skipped. Fixed frame skip
// draws it as usual; the following groups catch up on a delay shorter than a group by not
// waiting, and a longer one (the machine was busy) starts the schedule again from now, so that
// the game never races to catch up.
void clockActivePass(Pacing& pacing, bool automaticSkip) {
    s32 deadline = frameDeadlines[pacing.group];
    if (sinceBase(pacing) > deadline && automaticSkip) {
        runFrameGroup(false);
        pacing.lastRead = hostMilliseconds();
        ++runState.framesSkipped;
    } else {
        runFrameGroup(true);
        pacing.lastRead = hostMilliseconds();
        s32 late = sinceBase(pacing) - deadline;
        if (!automaticSkip && late > frameDeadlines[0]) {
            pacing.base += static_cast<u32>(late);
        }
        if (runState.emulationRunning) {
            waitUntil(pacing, deadline - 4);
        }
    }
    if (!runState.emulationRunning) {
        return; // the quit came during the group: nothing more to wait for
    }
    if (!automaticSkip) {
        writeSavesEveryFewSeconds();
    }
    if (++pacing.group == frameGroupsPerPeriod) {
        if (automaticSkip) {
            writeSavesIfTouched();
        }
        waitUntil(pacing, frameDeadlines[frameGroupsPerPeriod - 1]);
        pacing.base += frameDeadlines[frameGroupsPerPeriod - 1];
        if (runState.resyncRequested) {
            runState.resyncRequested = 0;
            pacing.lastRead = pacing.base;
        }
        pacing.group = 0;
    }
    takeWindowMessage(false);
    pacing.pausing = false;
}

// The schedule goes on from now, the next group due one group later: a stretch without
// groups (inactive, paused, fast) is neither caught up nor counted as lateness.
void restartPacing(Pacing& pacing) {
    u32 now = hostMilliseconds();
    pacing.base = now - (pacing.group == 0 ? 0 : frameDeadlines[pacing.group - 1]);
    pacing.lastRead = now;
}

void clockInactivePass(Pacing& pacing) {
    if (!pacing.pausing) {
        pacing.pausing = true;
        return;
    }
    takeWindowMessage(true);
    pollInput();
    if (runState.windowActive) {
        restartPacing(pacing);
    }
}

// One frame at a time, paced by nothing.
void fastPass(Pacing& pacing) {
    u32 now = hostMilliseconds();
    bool draw = now - pacing.lastDrawn >= fastDrawMs;
    if (draw) {
        pacing.lastDrawn = now;
    }
    runFrame(draw ? 1 : 0);
    if (runState.emulationRunning) {
        if (now - pacing.lastSaved >= fastSaveMs) {
            pacing.lastSaved = now;
            writeSavesIfTouched();
        }
        takeWindowMessage(false);
    }
}

// No frames; the keys and messages still come, so Escape and a second press work.
void pausedPass() {
    bool active = runState.windowActive;
    takeWindowMessage(!active);
    if (runState.emulationRunning) {
        pollInput();
    }
    if (active && runState.emulationRunning) {
        hostSleep(pausedPollMs);
    }
}

Speed requestedSpeed() {
    if (runState.paused) {
        return Speed::paused;
    }
    return runState.fastForward ? Speed::fast : Speed::normal;
}

void logSpeedChange(Speed from, Speed to) {
    const char* text = to == Speed::fast     ? "\nFast forward from frame "
                       : to == Speed::paused ? "\nPause at frame "
                       : from == Speed::fast ? "\nNormal speed from frame "
                                             : "\nResume at frame ";
    debugLog(text);
    debugLogInt(static_cast<s32>(runState.framesRendered));
}

// Sound is heard at normal speed only; the display's refresh paces none but normal speed.
void changeSpeed(Speed from, Speed to, Pacing& pacing, PacedBy pacedBy) {
    logSpeedChange(from, to);
    holdSound(to != Speed::normal);
    hostSetRefreshWait(pacedBy == PacedBy::display && to != Speed::fast);
    if (to == Speed::normal) {
        restartPacing(pacing);
    }
}

void normalPass(Pacing& pacing, PacedBy pacedBy) {
    if (pacedBy == PacedBy::display) {
        fixedPass();
    } else if (runState.windowActive) {
        clockActivePass(pacing, pacedBy == PacedBy::automaticSkip);
    } else {
        clockInactivePass(pacing);
    }
}

} // namespace

void speedKeyChanged(u8 code, bool pressed) {
    if (code == dik::tab) {
        runState.fastForward = pressed;
    } else if (pressed && (code == dik::p || code == dik::pause)) {
        runState.paused = !runState.paused;
    }
}

void fillFrameDeadlines(u32 skip, bool halfSpeed) {
    for (u32 k = 0; k < frameGroupsPerPeriod; ++k) {
        u32 value = ((k + 1) * 100 * (skip + 1)) / 6;
        frameDeadlines[k] = static_cast<u16>(halfSpeed ? value * 2 : value);
    }
}

void emulationLoop() {
    debugLog("Emulation start\n");
    if (settings.frameSkip > maxFrameSkip) {
        debugLog("\nFrameSkip above 3: using 3");
        settings.frameSkip = maxFrameSkip;
    }
    fillFrameDeadlines(settings.frameSkip, settings.halfSpeed);
    PacedBy pacedBy = choosePacing();
    hostSetRefreshWait(pacedBy == PacedBy::display);
    allocateLineBuffers();
    runState.emulationRunning = 1;
    hostSleep(10);

    Pacing pacing{};
    pacing.base = hostMilliseconds();
    pacing.pausing = true;
    pacing.lastRead = hostMilliseconds();

    Speed speed = Speed::normal;
    while (runState.emulationRunning) {
        // A release of Tab in the background may never come.
        runState.fastForward = runState.fastForward && runState.windowActive;
        Speed requested = requestedSpeed();
        if (requested != speed) {
            changeSpeed(speed, requested, pacing, pacedBy);
            speed = requested;
        }
        switch (speed) {
        case Speed::normal: normalPass(pacing, pacedBy); break;
        case Speed::fast: fastPass(pacing); break;
        case Speed::paused: pausedPass(); break;
        }
    }
}
