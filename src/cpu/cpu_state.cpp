#include "cpu/cpu_state.h"

#include "common/log.h"
#include "cpu/dispatch.h"
#include "cpu/execution_notes.h"
#include "machine/gba_system.h"

namespace {

// Which copy of Rn (8-14) a mode sees: 0 the User one, 1 FIQ's, 2 IRQ's, 3 Supervisor's.
u32 bankOf(u32 mode, u32 n) {
    if (mode == modeFiq) {
        return 1;
    }
    if (n < 13) {
        return 0;
    }
    return mode == modeIrq ? 2 : mode == modeSupervisor ? 3 : 0;
}

// Where Rn (8-14) of bank BANK waits while it is not in view.
u32& bankedHome(u32 bank, u32 n) {
    CpuState& cpu = gba.cpu;
    switch (bank) {
    case 1: return cpu.fiqBank[n - 8];
    case 2: return cpu.irqBank[n - 13];
    case 3: return cpu.svcBank[n - 13];
    default: return cpu.userBank[n - 8];
    }
}

// Puts R8-R14 of the view into their banks and brings those of MODE into view.
void bringIntoView(u32 mode) {
    CpuState& cpu = gba.cpu;
    for (u32 n = 8; n <= 14; ++n) {
        const u32 from = bankOf(cpu.viewMode, n);
        const u32 to = bankOf(mode, n);
        if (from != to) {
            bankedHome(from, n) = cpu.registers[n];
            cpu.registers[n] = bankedHome(to, n);
        }
    }
    cpu.viewMode = mode;
}

void setModeBits(u32 mode) {
    gba.cpu.cpsr = (gba.cpu.cpsr & ~0x1Fu) | mode;
}

} // namespace

u32& bankedRegister(u32 mode, u32 n) {
    CpuState& cpu = gba.cpu;
    if (n < 8 || n == 15 || bankOf(mode, n) == bankOf(cpu.viewMode, n)) {
        return cpu.registers[n];
    }
    return bankedHome(bankOf(mode, n), n);
}

void switchMode(u32 newMode) {
    CpuState& cpu = gba.cpu;
    if (newMode == cpu.cpuMode) {
        return;
    }
    cpu.cpuMode = newMode;
    switch (newMode) {
    case modeUser:
    case modeSystem:
    case modeSupervisor: break;
    case modeFiq:
    case modeIrq: setArmState(cpu, true); break;
    default:
        // No storage exists for Abort and Undefined; the registers stay as they were.
        debugLog("\n!!!!!!!EMPTYMODE!!!!!!!!!");
        return;
    }
    bringIntoView(newMode);
    setModeBits(newMode);
}

void resetCpu() {
    CpuState& cpu = gba.cpu;
    forgetExecutionNotes();
    buildHandlerTables();
    // The User registers come into view, whatever was in view before.
    bringIntoView(modeSystem);

    // The status found before a reset is kept as the Supervisor return state.
    cpu.spsrSvc = cpu.cpsr;
    cpu.cycleBalance = 0;
    for (u32& r : cpu.registers) {
        r = 0;
    }
    cpu.svcBank[0] = 0x03007FE0;
    cpu.svcBank[1] = 0;
    cpu.irqBank[0] = 0x03007FA0;
    cpu.irqBank[1] = 0;
    cpu.registers[13] = 0x03007F00;

    // The cartridge is entered as the console's boot program leaves it: System mode with IRQ
    // and FIQ enabled, ARM state.
    cpu.cpuMode = modeSystem;
    cpu.cpsr = modeSystem;
    setArmState(cpu, true);
    cpu.registers[15] = 0x08000000;
    cpu.cpuRunning = 1;
}

void startAtResetVector() {
    CpuState& cpu = gba.cpu;
    // The ARM's own reset state: Supervisor mode, IRQ and FIQ disabled, ARM state.
    cpu.cpsr = flagI | flagF | modeSystem;
    switchMode(modeSupervisor);
    cpu.registers[13] = 0;
    cpu.registers[15] = 0;
}
