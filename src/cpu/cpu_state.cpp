#include "cpu/cpu_state.h"

#include "common/log.h"
#include "cpu/dispatch.h"
#include "cpu/poll_loops.h"
#include "machine/gba_system.h"

namespace {

void pointBank(u32 first, u32 count, u32* storage) {
    for (u32 i = 0; i < count; ++i) {
        gba.cpu.registerSlots[first + i] = storage + i;
    }
}

void setModeBits(u32 mode) {
    gba.cpu.cpsr = (gba.cpu.cpsr & ~0x1Fu) | mode;
}

} // namespace

void switchMode(u32 newMode) {
    CpuState& cpu = gba.cpu;
    if (newMode == cpu.cpuMode) {
        return;
    }
    cpu.cpuMode = newMode;
    switch (newMode) {
    case modeUser:
    case modeSystem:
        pointBank(8, 7, cpu.userBank + 8);
        cpu.spsrSlot = &cpu.spsrPlaceholder;
        break;
    case modeFiq:
        pointBank(8, 7, cpu.fiqBank);
        cpu.spsrSlot = &cpu.spsrFiq;
        setArmState(cpu, true);
        break;
    case modeIrq:
        pointBank(8, 5, cpu.userBank + 8);
        pointBank(13, 2, cpu.irqBank);
        cpu.spsrSlot = &cpu.spsrIrq;
        setArmState(cpu, true);
        break;
    case modeSupervisor:
        pointBank(8, 5, cpu.userBank + 8);
        pointBank(13, 2, cpu.svcBank);
        cpu.spsrSlot = &cpu.spsrSvc;
        break;
    default:
        // No storage exists for Abort and Undefined; the view stays as it was.
        debugLog("\n!!!!!!!EMPTYMODE!!!!!!!!!");
        return;
    }
    setModeBits(newMode);
}

void resetCpu() {
    CpuState& cpu = gba.cpu;
    disarmPollLoop();
    buildHandlerTables();
    pointBank(0, 16, cpu.userBank);

    // What was running before a reset is kept as the Supervisor return state.
    cpu.spsrSvc = cpu.cpsr;
    cpu.svcBank[1] = cpu.userBank[15];
    cpu.spsrSlot = &cpu.spsrSvc;
    cpu.cycleBalance = 0;

    cpu.svcBank[0] = 0x03007FE0;
    cpu.irqBank[0] = 0x03007FA0;
    cpu.userBank[13] = 0x03007F00;

    cpu.cpuMode = modeSystem;
    setArmState(cpu, true);
    cpu.cpsr = (cpu.cpsr & ~0xFFu) | 0xDF;
    switchMode(modeSupervisor);

    for (u32 n = 0; n < 16; ++n) {
        *cpu.registerSlots[n] = 0;
    }
    cpu.svcBank[0] = 0x03007FE0;
    cpu.userBank[15] = 0x08000000;
    cpu.cpuRunning = 1;
}
