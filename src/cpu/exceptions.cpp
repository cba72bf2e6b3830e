#include "cpu/exceptions.h"

#include "cpu/cpu_state.h"
#include "machine/bus.h"
#include "machine/gba_system.h"

void enterSoftwareInterrupt(u32 comment) {
    CpuState& cpu = gba.cpu;
    // A word write: only a byte write to HALTCNT halts, so this never stops the CPU.
    busWrite32(0x04000300, comment == 0x12 ? 0 : 1);
    cpu.spsrSvc = cpu.cpsr;
    // The instruction after the SWI, in either state; into the live R14 when already in
    // Supervisor mode.
    bankedRegister(modeSupervisor, 14) = cpu.registers[15];
    switchMode(modeSupervisor);
    cpu.registers[15] = 0x00000008;
    cpu.cpsr = (cpu.cpsr & ~flagT) | flagI;
    setArmState(cpu, true);
    // One cycle, as for every instruction that writes R15: a boot image whose vector 0x08
    // holds a software interrupt would otherwise loop without ever using up its slice.
    cpu.cycleBalance -= 1;
}
