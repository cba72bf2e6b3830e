#include "cpu/interrupts.h"

#include "cpu/cpu_state.h"
#include "cpu/poll_loops.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"

namespace {

bool holdEntry;
s32 heldBalance;

bool gateOpen(u16 bits) {
    return dma.active >= 4 && !(gba.cpu.cpsr & flagI) && ioRegister(io::IME) &&
           (ioRegister(io::IE) & ioRegister(io::IF) & bits);
}

void enterOrHold() {
    if (!holdEntry) {
        enterIrq();
        return;
    }
    if (!gba.cpu.irqEntryDue) {
        // End the instruction loop after the current instruction without losing its slice.
        gba.cpu.irqEntryDue = 1;
        heldBalance = gba.cpu.cycleBalance;
        gba.cpu.cycleBalance = 0;
    }
}

} // namespace

void enterIrq() {
    CpuState& cpu = gba.cpu;
    disarmPollLoop();
    cpu.cpuRunning = 1;
    cpu.spsrIrq = cpu.cpsr;
    // So that SUBS PC, LR, #4 returns to it; into the live R14 when already in IRQ mode.
    bankedRegister(modeIrq, 14) = cpu.registers[15] + 4;
    switchMode(modeIrq);
    cpu.cpsr = (cpu.cpsr & ~(flagT | 0x1Fu)) | flagI | modeIrq;
    setArmState(cpu, true);
    cpu.registers[15] = 0x00000018;
}

void serviceInterrupt(u16 bits) {
    if (gateOpen(bits)) {
        enterOrHold();
    }
}

void requestInterrupt(u16 bits) {
    if (!ioRegister(io::IME) || !bits) {
        return;
    }
    if (!(ioRegister(io::IE) & bits)) {
        return;
    }
    gba.cpu.cpuRunning = 1;
    if (dma.active < 4) {
        dma.deferredIrqMask |= bits;
        return;
    }
    ioRegister(io::IF) |= bits;
    serviceInterrupt(bits);
}

void imeWritten(u32 value) {
    if (!value) {
        return;
    }
    holdEntry = true;
    requestInterrupt(ioRegister(io::IF));
    holdEntry = false;
}

void takeDueInterrupt() {
    gba.cpu.irqEntryDue = 0;
    gba.cpu.cycleBalance += heldBalance;
    enterIrq();
}
