#include "video/frame_driver.h"

#include <cstring>

#include "cpu/cpu_run.h"
#include "cpu/interrupts.h"
#include "input/input.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "shell/debug_keys.h"
#include "common/run_state.h"
#include "common/log.h"
#include "common/settings.h"
#include "sound/fifo.h"
#include "sound/sound_output.h"
#include "video/color_effects.h"
#include "video/display_output.h"
#include "video/line_buffers.h"
#include "video/line_renderers.h"
#include "video/screenshot.h"

u16 renderBuffer[renderWidth * renderHeight];
VideoLineState videoLine = {
    .cursor = renderBuffer,
    .priorityUsed = {},
    .priorityLayer = {31, 31, 31, 31},
    .extraLayerCount = 0,
    .extraLayer = {},
    .extraPriority = {},
    .bitmapBg2Priority = 3,
    .objPresent = {},
    .semiObjPresent = {},
    .objWindowPresent = 0,
    .objWindowMask = {},
    .blendRowA = blendTable[0],
    .blendRowB = blendTable[0],
    .brightenRow = brightenTable[0],
    .darkenRow = darkenTable[0],
};

namespace {

constexpr u32 cyclesToHblank = 956;
constexpr u32 hblankCycles = 271;
constexpr u32 visibleLines = 160;
constexpr u32 linesPerFrame = 228;
constexpr u32 pollLine = 225;
constexpr u32 framesUntilClear = 30;

// DISPSTAT: bits 0-2 are the VBlank, HBlank and V-counter flags; bits 6-7 are cleared with them.
constexpr u16 clearFlags = 0xFF38;
constexpr u16 clearFlagsKeepVblank = 0xFF39;

u16& dispstat() { return ioRegister(io::DISPSTAT); }
u16& vcount() { return ioRegister(io::VCOUNT); }

u32 ioPair(u32 offset) {
    return ioRegister(offset) | (static_cast<u32>(ioRegister(offset + 2)) << 16);
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

void chooseEffectRows() {
    u16 colev = ioRegister(0x052);
    u32 eva = colev & 0x1F;
    u32 evb = (colev >> 8) & 0x1F;
    u32 evy = ioRegister(0x054) & 0x1F;
    selectEffectRows(eva < 16 ? eva : 16, evb < 16 ? evb : 16, evy < 16 ? evy : 16);
}

// Turns the 256 pixels just drawn into the 15-bit layout by dropping the lowest green bit.
void convertLineTo15Bit(u16* line) {
    for (u32 x = 0; x < renderWidth; ++x) {
        u16 p = line[x];
        line[x] = static_cast<u16>(((p >> 1) & 0x7FE0) | (p & 0x1F));
    }
}

void drawLine(u32 mode) {
    u16* line = videoLine.cursor;
    chooseEffectRows();
    switch (mode) {
    case 0:
    case 1:
    case 2: renderTileLine(); break;
    case 3:
    case 4: renderBitmapLine(); break;
    default: return; // modes 5-7 draw nothing and leave the line as it was
    }
    if (display.rgb555) {
        convertLineTo15Bit(line);
    }
}

void clearAfterReactivation() {
    if (runState.clearAtFrame == 0 || runState.framesRendered - runState.clearAtFrame != framesUntilClear) {
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
    if (!drawFrame) {
        return;
    }
    videoLine.cursor = renderBuffer;
    gba.bg2RefX = ioPair(0x028);
    gba.bg2RefY = ioPair(0x02C);
    gba.bg3RefX = ioPair(0x038);
    gba.bg3RefY = ioPair(0x03C);
    clearSpriteLineBuffers();
}

void runVisibleLines(u32 drawFrame, u32 mode) {
    while (vcount() < visibleLines) {
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
            // After Escape the display is released; the rest of the frame only emulates.
            if (drawFrame && runState.emulationRunning && display.presentResult != 0) {
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
    vcount() = visibleLines;

    runVblankLines(drawFrame);

    if (runState.emulationRunning) {
        soundFrame();
    }
}
