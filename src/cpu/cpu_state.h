// The ARM7TDMI register file with its banked copies, reached through registerSlots.
// Owned by the CPU core (cpu/); the debug dumps and the frame driver only read it.
#pragma once

#include "common/types.h"

struct CpuState {
    // R0-R15 as seen in User and System mode. R0-R7 and R15 are the only copies for every
    // mode; R8-R12 are shared by all modes but FIQ.
    u32 userBank[16];
    u32 cpsr;       // stored directly after userBank
    u32 fiqBank[7]; // R8_fiq .. R14_fiq
    u32 svcBank[2]; // R13_svc, R14_svc
    u32 irqBank[2]; // R13_irq, R14_irq
    u32 spsrFiq;
    u32 spsrSvc;
    u32 spsrIrq;
    u32 spsrPlaceholder; // stands as the SPSR in User and System mode

    u32* registerSlots[16]; // Rn of the current mode
    u32* spsrSlot;
    u32 cpuMode;
    bool armState;    // set while ARM code runs, clear for THUMB; chooses the fetch width and table
    bool cpuRunning;  // clear while halted by HALTCNT
    s32 cycleBalance; // cycles left in the current slice; may be overdrawn
    // Set while an interrupt made due inside an instruction waits for the instruction to end.
    bool irqEntryDue;
};

// The run of one instruction set (cpu/execution.cpp) goes on while the cycle balance is above
// this level: 0, or INT32_MAX once a handler has changed the instruction set or taken a branch
// that may close an idle loop. So the run tests one number after each instruction.
extern s32 runStopLevel;
constexpr s32 stopRun = 0x7FFFFFFF;

// Every change of the instruction set goes through here, so that the run of the old one ends.
inline void setArmState(CpuState& cpu, bool arm) {
    if (cpu.armState != arm) {
        cpu.armState = arm;
        runStopLevel = stopRun;
    }
}

// CPSR bits.
constexpr u32 flagN = 1u << 31;
constexpr u32 flagZ = 1u << 30;
constexpr u32 flagC = 1u << 29;
constexpr u32 flagV = 1u << 28;
constexpr u32 flagI = 1u << 7;
constexpr u32 flagF = 1u << 6;
constexpr u32 flagT = 1u << 5;

constexpr u32 modeUser = 0x10;
constexpr u32 modeFiq = 0x11;
constexpr u32 modeIrq = 0x12;
constexpr u32 modeSupervisor = 0x13;
constexpr u32 modeSystem = 0x1F;

// Re-points registerSlots and spsrSlot at the banks of the new mode. Unsupported modes (Abort,
// Undefined, invalid numbers) are logged and leave the view unchanged, but cpuMode takes them.
void switchMode(u32 newMode);

// Power-on state of the CPU: builds the handler tables, then the registers and banks of a
// cartridge start in Supervisor mode at 0x08000000.
void resetCpu();
