// The ARM7TDMI register file with its banked copies. The registers of the current mode are
// kept together in registers, where the handlers reach them by number; the banked R8-R14 of the
// other modes wait in the banks, and switchMode exchanges them.
// Owned by the CPU core (cpu/); the debug dumps and the frame driver only read it. A saved
// state holds it whole, so it holds no pointers; runStopLevel, irqEntryDue and insideRun
// matter only while instructions run, and are at rest between frames, where states are taken.
#pragma once

#include "common/types.h"

// Aligned to 8 bytes, which keeps it, and the tables after it, where the machine record has
// always had them: moving fields of the record has cost speed before.
struct alignas(8) CpuState {
    u32 registers[16]; // R0-R15 as the current mode sees them
    u32 cpsr;          // stored directly after the registers
    // R8-R14 of User and System mode (R8-R12 also of IRQ and Supervisor mode), FIQ's R8-R14,
    // and R13-R14 of Supervisor and IRQ mode, each while another mode's are in registers.
    u32 userBank[7];
    u32 fiqBank[7];
    u32 svcBank[2];
    u32 irqBank[2];
    u32 spsrFiq;
    u32 spsrSvc;
    u32 spsrIrq;
    u32 spsrPlaceholder; // stands as the SPSR in User and System mode

    // The run of one instruction set (cpu/execution.cpp) goes on while the cycle balance is
    // above this level: 0, or stopRun once a handler has changed the instruction set or taken a
    // branch that may close an idle loop. So the run tests one number after each instruction.
    s32 runStopLevel;
    // The mode whose R8-R14 and SPSR are in view (spsrInView). It differs from cpuMode only
    // after a switch to an unsupported mode, which leaves the registers as they were.
    u32 viewMode;
    u32 cpuMode;
    bool armState;    // set while ARM code runs, clear for THUMB; chooses the fetch width and table
    bool cpuRunning;  // clear while halted by HALTCNT
    s32 cycleBalance; // cycles left in the current slice; may be overdrawn
    // Set while an interrupt made due inside an instruction waits for the instruction to end.
    bool irqEntryDue;
    // Set while the instruction loop runs, so that an interrupt made due then waits for the
    // instruction to end.
    bool insideRun;
};

constexpr s32 stopRun = 0x7FFFFFFF;

// Every change of the instruction set goes through here, so that the run of the old one ends.
inline void setArmState(CpuState& cpu, bool arm) {
    if (cpu.armState != arm) {
        cpu.armState = arm;
        cpu.runStopLevel = stopRun;
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

// The SPSR of the mode in view: the placeholder word in User and System mode.
inline u32& spsrInView(CpuState& cpu) {
    switch (cpu.viewMode) {
    case modeFiq: return cpu.spsrFiq;
    case modeIrq: return cpu.spsrIrq;
    case modeSupervisor: return cpu.spsrSvc;
    default: return cpu.spsrPlaceholder;
    }
}

// Exchanges the banked registers and the SPSR in view for those of the new mode.
// Unsupported modes (Abort, Undefined, invalid numbers) are logged and leave the registers and
// the SPSR as they were, but cpuMode takes them.
void switchMode(u32 newMode);

// Rn as MODE (one of the five supported modes) sees it, in registers while that copy is the
// one in view, in its bank otherwise.
u32& bankedRegister(u32 mode, u32 n);

// Power-on state of the CPU: builds the handler tables, then the registers and banks as the
// console's boot program leaves them for the cartridge: System mode, IRQ and FIQ enabled, the
// three stacks set, R15 = 0x08000000.
void resetCpu();

// After resetCpu, for a start in the boot image: the ARM's reset state (Supervisor mode, IRQ
// and FIQ disabled), R13_svc = 0 and R15 = 0, the reset vector.
void startAtResetVector();
