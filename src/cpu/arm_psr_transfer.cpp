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
        reg(rd) = spsrInView(gba.cpu); // the placeholder word in User and System mode
    } else {
        reg(rd) = gba.cpu.cpsr;
    }
    if (rd == 15) {
        chargeAtLeastOneCycle(startBalance);
    }
}

u32 rotatedImmediate(u32 opcode) {
    return rotateRight(opcode & 0xFF, (opcode >> 7) & 0x1E);
}

// The register and the immediate forms differ only in where the value comes from.
template <bool immediate>
u32 msrValue(u32 opcode) {
    if constexpr (immediate) {
        return rotatedImmediate(opcode);
    } else {
        return reg(opcode & 15);
    }
}

// With the control field (bit 16), in a privileged mode, the whole word, flags included; the T
// bit does not switch the instruction set, and a cleared I may let a pending interrupt
// through. Otherwise the flags only.
template <bool immediate>
void armMsrCpsr(u32 opcode) {
    CpuState& cpu = gba.cpu;
    chargeFetch();
    if ((opcode & 0x0DB6F000) != 0x0120F000) {
        return;
    }
    const u32 value = msrValue<immediate>(opcode);
    if ((opcode & controlFieldBit) && cpu.cpuMode != modeUser) {
        cpu.cpsr = value;
        switchMode(value & 0x1F);
        serviceInterrupt();
    } else {
        setFlagBits(cpu.cpsr, value);
    }
}

// The SPSR takes the flag field (bit 19) and, with it, the control field.
template <bool immediate>
void armMsrSpsr(u32 opcode) {
    CpuState& cpu = gba.cpu;
    chargeFetch();
    if ((opcode & 0x0DBEF000) != 0x0128F000 || cpu.cpuMode == modeUser) {
        return;
    }
    const u32 value = msrValue<immediate>(opcode);
    if (opcode & controlFieldBit) {
        spsrInView(cpu) = value;
    } else {
        setFlagBits(spsrInView(cpu), value);
    }
}

void armNoOperation(u32) {
    chargeFetch();
}

} // namespace

HandlerEntry selectPsrTransfer(u32 index) {
    switch (index & 0xFF) {
    case 0x10: return armEntry<armMrs<false>>;
    case 0x14: return armEntry<armMrs<true>>;
    case 0x12: return armEntry<armMsrCpsr<false>>;
    case 0x16: return armEntry<armMsrSpsr<false>>;
    case 0x32: return armEntry<armMsrCpsr<true>>;
    case 0x36: return armEntry<armMsrSpsr<true>>;
    default: return armEntry<armUndefined>;
    }
}

HandlerEntry selectNoOperation(u32) {
    return armEntry<armNoOperation>;
}
