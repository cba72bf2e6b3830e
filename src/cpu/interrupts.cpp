#include "cpu/interrupts.h"

#include "cpu/cpu_state.h"
#include "cpu/poll_loops.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"

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

namespace {

// Besides IE AND IF not 0.
bool gateOpen() {
    return dma.active >= 4 && !(gba.cpu.cpsr & flagI) && ioRegister(io::IME);
}

} // namespace

void serviceInterrupt() {
    CpuState& cpu = gba.cpu;
    if (!(ioRegister(io::IE) & ioRegister(io::IF))) {
        return;
    }
    cpu.cpuRunning = 1;
    if (!gateOpen()) {
        return;
    }
    if (!cpu.insideRun) {
        enterIrq();
    } else if (!cpu.irqEntryDue) {
        // The run ends after the current instruction, which enters the IRQ.
        cpu.irqEntryDue = 1;
        cpu.runStopLevel = stopRun;
    }
}

void requestInterrupt(u16 bits) {
    if (dma.active < 4) {
        dma.deferredIrqMask |= bits;
        return;
    }
    ioRegister(io::IF) |= bits;
    serviceInterrupt();
}

void takeDueInterrupt() {
    gba.cpu.irqEntryDue = 0;
    // The rest of the instruction may have closed the gate again.
    if (gateOpen() && (ioRegister(io::IE) & ioRegister(io::IF))) {
        enterIrq();
    }
}
