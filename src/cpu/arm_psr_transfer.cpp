// ARM status register transfers (MRS, MSR), which sit in the compare slots without S, and the
// no-operation slots beside them. An encoding whose fixed bits do not match costs the fetch
// and does nothing.
#include "cpu/arm_handlers.h"
#include "cpu/shifter.h"

namespace {

constexpr u32 flagBits = 0xF0000000;
constexpr u32 controlFieldBit = 1u << 16;

void chargeFetch() {
    gba.cpu.cycleBalance -= accessCyclesS32[programCounter() >> 24];
}

void setFlagBits(u32& status, u32 value) {
    status = (status & ~flagBits) | (value & flagBits);
}

template <bool saved>
void armMrs(u32 opcode) {
    const s32 startBalance = gba.cpu.cycleBalance;
    chargeFetch();
    if ((opcode & 0x0FBF0FFF) != 0x010F0000) {
        return;
    }
    const u32 rd = (opcode >> 12) & 15;
    if constexpr (saved) {
        reg(rd) = *gba.cpu.spsrSlot; // the placeholder word in User and System mode
    } else {
        reg(rd) = gba.cpu.cpsr;
    }
    if (rd == 15) {
        chargeAtLeastOneCycle(startBalance);
    }
}

void armMsrCpsrRegister(u32 opcode) {
    CpuState& cpu = gba.cpu;
    chargeFetch();
    if ((opcode & 0x0FB6F000) != 0x0120F000) {
        return;
    }
    const u32 value = reg(opcode & 15);
    if ((opcode & controlFieldBit) && cpu.cpuMode != modeUser) {
        // The whole word, flags included; the T bit does not switch the instruction set.
        cpu.cpsr = value;
        switchMode(value & 0x1F);
    } else {
        setFlagBits(cpu.cpsr, value);
    }
}

void armMsrSpsrRegister(u32 opcode) {
    CpuState& cpu = gba.cpu;
    chargeFetch();
    if ((opcode & 0x0FBEF000) != 0x0128F000 || cpu.cpuMode == modeUser) {
        return;
    }
    const u32 value = reg(opcode & 15);
    if (opcode & controlFieldBit) {
        *cpu.spsrSlot = value;
    } else {
        setFlagBits(*cpu.spsrSlot, value);
    }
}

u32 rotatedImmediate(u32 opcode) {
    return rotateRight(opcode & 0xFF, (opcode >> 7) & 0x1E);
}

// The immediate forms reach only the flag field.
void armMsrCpsrImmediate(u32 opcode) {
    chargeFetch();
    if ((opcode & 0x0FBFF000) != 0x0328F000) {
        return;
    }
    setFlagBits(gba.cpu.cpsr, rotatedImmediate(opcode));
}

void armMsrSpsrImmediate(u32 opcode) {
    CpuState& cpu = gba.cpu;
    chargeFetch();
    if ((opcode & 0x0FBFF000) != 0x0328F000 || cpu.cpuMode == modeUser) {
        return;
    }
    setFlagBits(*cpu.spsrSlot, rotatedImmediate(opcode));
}

void armNoOperation(u32) {
    chargeFetch();
}

} // namespace

HandlerEntry selectPsrTransfer(u32 index) {
    switch (index & 0xFF) {
    case 0x10: return armEntry<armMrs<false>>;
    case 0x14: return armEntry<armMrs<true>>;
    case 0x12: return armEntry<armMsrCpsrRegister>;
    case 0x16: return armEntry<armMsrSpsrRegister>;
    case 0x32: return armEntry<armMsrCpsrImmediate>;
    case 0x36: return armEntry<armMsrSpsrImmediate>;
    default: return armEntry<armUndefined>;
    }
}

HandlerEntry selectNoOperation(u32) {
    return armEntry<armNoOperation>;
}
