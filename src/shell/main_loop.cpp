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
#include "video/line_buffers.h"

u16 frameDeadlines[frameGroupsPerPeriod];

namespace {

// What sets the speed. Fixed frame skip follows the display's refresh only where the display
// refreshes at the console's 60 Hz; on any other display (or at half speed) it keeps the
// clock's 60 frames per second like the automatic mode, but draws its groups even when late.
enum class PacedBy { display, clock, automaticSkip };

// Pacing state of the clock-paced modes.
struct Pacing {
    u32 group;    // k, the next group within the period
    u32 base;     // start of the current period of 240 groups
    u32 lastRead; // the last clock value read
    u32 pauseStart;
    bool pausing;
};

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

void clockInactivePass(Pacing& pacing) {
    if (!pacing.pausing) {
        pacing.pauseStart = hostMilliseconds() - 1;
        pacing.pausing = true;
        return;
    }
    u32 now = hostMilliseconds();
    takeWindowMessage(true);
    pollInput();
    if (runState.windowActive) {
        // Time spent inactive does not count as lateness.
        pacing.base += now - pacing.pauseStart;
    }
}

} // namespace

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
    pacing.pauseStart = pacing.base;
    pacing.pausing = true;
    pacing.lastRead = hostMilliseconds();

    while (runState.emulationRunning) {
        if (pacedBy == PacedBy::display) {
            fixedPass();
        } else if (runState.windowActive) {
            clockActivePass(pacing, pacedBy == PacedBy::automaticSkip);
        } else {
            clockInactivePass(pacing);
        }
    }
}
