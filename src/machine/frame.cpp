#include "machine/frame.h"

#include "common/run_state.h"
#include "common/screen.h"
#include "common/settings.h"
#include "cpu/interrupts.h"
#include "input/input.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "sound/fifo.h"
#include "sound/sound_output.h"
#include "video/display_output.h"
#include "video/frame_driver.h"
#include "video/screenshot.h"

namespace {

constexpr u32 cyclesToHblank = 956;
constexpr u32 hblankCycles = 271;
constexpr u32 linesPerFrame = 228;
constexpr u32 pollLine = 225;
constexpr u32 framesUntilClear = 30;

// DISPSTAT: bits 0-2 are the VBlank, HBlank and V-counter flags; bits 6-7 are cleared with them.
constexpr u16 clearFlags = 0xFF38;
constexpr u16 clearFlagsKeepVblank = 0xFF39;

u16& dispstat() {
    return ioRegister(io::DISPSTAT);
}
u16& vcount() {
    return ioRegister(io::VCOUNT);
}

void checkVcounter() {
    if (vcount() == (dispstat() >> 8)) {
        dispstat() |= 0x0004;
        if (dispstat() & 0x0020) {
            requestInterrupt(irq::vcount);
        }
    }
}

void startVideoCaptureDma() {
    u16 control = ioRegister(dmaControlOffset(3));
    if ((control & dmacnt::enable) && dmacnt::timing(control) == 3 && dma.active > 3) {
        dma.active = 3;
        startDmaChannel();
    }
}

void clearAfterReactivation() {
    if (runState.clearAtFrame == 0 ||
        runState.framesRendered - runState.clearAtFrame != framesUntilClear) {
        return;
    }
    clearDisplay();
    runState.clearAtFrame = 0;
    for (u16& state : buttonState) {
        state = 0;
    }
}

void startFrame(u32 drawFrame) {
    scheduler.totalCycles = 0;
    for (SoundFifo& fifo : soundFifos) {
        fifo.frameSampleCount = 0;
        fifo.sampleClock = 0;
    }
    if (drawFrame) {
        beginFrameDrawing();
    }
}

void runVisibleLines(u32 drawFrame, u32 mode) {
    while (vcount() < screenHeight) {
        dispstat() &= clearFlags;
        checkVcounter();
        startVideoCaptureDma();
        cpuRun(cyclesToHblank);
        if (drawFrame) {
            drawLine(mode);
        }
        dispstat() = static_cast<u16>((dispstat() & clearFlags) | 0x0002);
        if (dispstat() & 0x0010) {
            requestInterrupt(irq::hblank);
        }
        if (dma.hblankChannel < dma.active) {
            startTimedDma(dma.hblankChannel, 2);
        }
        cpuRun(hblankCycles);
        vcount() += 1;
    }
}

void runVblankLines(u32 drawFrame) {
    while (vcount() < linesPerFrame) {
        checkVcounter();
        if (vcount() == pollLine) {
            if (ioRegister(io::IE) & irq::keypad) {
                gba.cpu.cpuRunning = 1;
            }
            pollInput();
            if (!runState.emulationRunning) {
                return; // Escape: the emulation stops here, the shut-down has run
            }
            if (drawFrame && display.presentResult != 0) {
                display.presentResult = retryFlip();
            }
        }
        cpuRun(cyclesToHblank);
        if (dispstat() & 0x0010) {
            requestInterrupt(irq::hblank);
        }
        cpuRun(hblankCycles);
        dispstat() &= clearFlagsKeepVblank;
        vcount() += 1;
    }
}

} // namespace

void runFrame(u32 drawFrame) {
    ++runState.framesRendered;
    if (!runState.emulationRunning) {
        return;
    }
    u16 dispcnt = ioRegister(io::DISPCNT);
    u32 mode = dispcnt & 7;
    if (dispcnt & 0x0080) {
        drawFrame = 0; // forced blank: emulated, not drawn, the old picture stays
    }
    startFrame(drawFrame);
    vcount() = 0;

    runVisibleLines(drawFrame, mode);

    if (drawFrame && runState.screenshotRequested) {
        saveScreenshot();
    }
    clearAfterReactivation();
    if (drawFrame) {
        presentFrame();
    }

    dispstat() = static_cast<u16>((dispstat() & clearFlags) | 0x0001);
    if (dispstat() & 0x0008) {
        requestInterrupt(irq::vblank);
    }
    if (dma.vblankChannel < dma.active) {
        startTimedDma(dma.vblankChannel, 1);
    }
    vcount() = screenHeight;

    runVblankLines(drawFrame);

    if (runState.emulationRunning) {
        soundFrame();
        betweenFrames();
    }
}
