// ARM single transfers: LDR, STR, LDRB, STRB, the halfword and signed transfers, and SWP.
// Addresses go to the bus as computed; the bus forces them down to the access width.
#include "cpu/arm_handlers.h"
#include "cpu/data_access.h"
#include "cpu/shifter.h"
#include "machine/scheduler.h"

namespace {

// Post-indexed transfers always write the base back, so their W = 1 slots (the T forms,
// with no User-mode access emulated) share the W = 0 handler.
constexpr bool writesBack(bool preIndexed, bool writeBack) {
    return !preIndexed || writeBack;
}

// Storing into R15 through write-back is a jump too; it costs at least a cycle like any.
inline void writeBackBase(u32 rn, u32 value, s32 startBalance) {
    reg(rn) = value;
    if (rn == 15) {
        chargeAtLeastOneCycle(startBalance);
    }
}

// Word and byte transfers: a register offset is Rm shifted by an immediate amount (shift type
// in bits 6-5, never touching C); an immediate offset is the 12 bits of the instruction.
constexpr u32 offsetImmediate = 4;

template <u32 offsetForm>
u32 singleOffset(u32 opcode) {
    if constexpr (offsetForm == offsetImmediate) {
        return opcode & 0xFFF;
    } else {
        return immediateShiftedRegister<offsetForm, false>(opcode);
    }
}

// What every load does once its value is read: the cost (one internal cycle and the refill),
// Rd (R15 jumps), and the base written back.
template <bool writesBase>
[[gnu::always_inline]] inline void completeLoad(u32 opcode, u32 value, u32 address, u32 indexed,
                                                u32 nextInstruction) {
    gba.cpu.cycleBalance -= 1 + refillCycles32[address >> 24];
    const u32 rd = (opcode >> 12) & 15;
    if (rd == 15) {
        armBranchTo(value);
    } else {
        reg(rd) = value;
        programCounter() = nextInstruction;
    }
    // Written after Rd, so a base that is also Rd ends up with the base value.
    if constexpr (writesBase) {
        reg((opcode >> 16) & 15) = indexed;
    }
}

// Everything of a load from its access on. R15 still reads as the instruction address + 8.
template <bool ram, bool byte, bool writesBase>
[[gnu::always_inline]] inline void finishLoad(data_access::RamView view, u32 opcode, u32 address,
                                              u32 indexed, u32 nextInstruction) {
    u32 value;
    if constexpr (byte) {
        value = dataRead8<ram>(view, address);
    } else {
        // A misaligned word comes back rotated so that the addressed byte is the lowest.
        value = rotateRight(dataRead32<ram>(view, address), (address & 3) * 8);
    }
    completeLoad<writesBase>(opcode, value, address, indexed, nextInstruction);
}

template <u32 offsetForm, bool preIndexed, bool up, bool byte, bool writeBack>
void armLoad(u32 opcode) {
    u32& pc = programCounter();
    const u32 nextInstruction = pc;
    pc = nextInstruction + 4; // a base or offset register R15 reads as the address + 8

    const u32 base = reg((opcode >> 16) & 15);
    const u32 offset = singleOffset<offsetForm>(opcode);
    const u32 indexed = up ? base + offset : base - offset;
    const u32 address = preIndexed ? indexed : base;

    constexpr bool writesBase = writesBack(preIndexed, writeBack);
    if (const data_access::RamView view = data_access::transferView<true, 4>(address); view.memory)
        [[likely]] {
        finishLoad<true, byte, writesBase>(view, opcode, address, indexed, nextInstruction);
    } else {
        outOfLine<finishLoad<false, byte, writesBase>>(view, opcode, address, indexed,
                                                       nextInstruction);
    }
}

// Everything of a store from its access on. R15 reads as the instruction address + 12 until
// the access is done.
template <bool ram, bool byte, bool writesBase>
[[gnu::always_inline]] inline void finishStore(data_access::RamView view, u32 opcode, u32 address,
                                               u32 indexed, s32 cost, s32 startBalance) {
    const u32 value = reg((opcode >> 12) & 15);
    if constexpr (byte) {
        dataWrite8<ram>(view, address, value & 0xFF);
    } else if (address & 2) {
        // Deliberately as on the original machine: the halves land exchanged, so an LDR from
        // the same address (rotated by 16) gives the stored value back.
        dataWrite16<ram>(view, address, value & 0xFFFF);
        dataWrite16<ram>(view, address & ~3u, value >> 16);
    } else {
        dataWrite32<ram>(view, address, value);
    }
    programCounter() -= 8;
    gba.cpu.cycleBalance -= cost;
    if constexpr (writesBase) {
        writeBackBase((opcode >> 16) & 15, indexed, startBalance);
    }
}

template <u32 offsetForm, bool preIndexed, bool up, bool byte, bool writeBack>
void armStore(u32 opcode) {
    const s32 startBalance = gba.cpu.cycleBalance;
    u32& pc = programCounter();
    pc += 4;
    s32 cost = accessCyclesN32[pc >> 24];

    const u32 base = reg((opcode >> 16) & 15);
    const u32 offset = singleOffset<offsetForm>(opcode);
    const u32 indexed = up ? base + offset : base - offset;
    const u32 address = preIndexed ? indexed : base;

    pc += 4; // a stored R15 reads as the instruction address + 12
    cost += accessCyclesN32[address >> 24];
    constexpr bool writesBase = writesBack(preIndexed, writeBack);
    if (const data_access::RamView view = data_access::transferView<false, 4>(address); view.memory)
        [[likely]] {
        finishStore<true, byte, writesBase>(view, opcode, address, indexed, cost, startBalance);
    } else {
        outOfLine<finishStore<false, byte, writesBase>>(view, opcode, address, indexed, cost,
                                                        startBalance);
    }
}

// Halfword and signed transfers.
enum class Halfword { store, load, loadSignedByte, loadSignedHalf };

template <bool immediateOffset>
u32 halfwordOffset(u32 opcode) {
    if constexpr (immediateOffset) {
        return ((opcode >> 4) & 0xF0) | (opcode & 0xF);
    } else {
        return reg(opcode & 15);
    }
}

template <bool ram, Halfword kind, bool writesBase>
[[gnu::always_inline]] inline void finishHalfwordLoad(data_access::RamView view, u32 opcode,
                                                      u32 address, u32 indexed,
                                                      u32 nextInstruction) {
    u32 value;
    if constexpr (kind == Halfword::load) {
        value = loadedHalfword(dataRead16<ram>(view, address), address);
    } else if constexpr (kind == Halfword::loadSignedByte) {
        value = static_cast<u32>(static_cast<s8>(dataRead8<ram>(view, address)));
    } else {
        value = loadedSignedHalfword(dataRead16<ram>(view, address), address);
    }
    completeLoad<writesBase>(opcode, value, address, indexed, nextInstruction);
}

template <Halfword kind, bool preIndexed, bool up, bool immediateOffset, bool writeBack>
void armHalfwordLoad(u32 opcode) {
    u32& pc = programCounter();
    const u32 nextInstruction = pc;
    pc = nextInstruction + 4;

    const u32 base = reg((opcode >> 16) & 15);
    const u32 offset = halfwordOffset<immediateOffset>(opcode);
    const u32 indexed = up ? base + offset : base - offset;
    const u32 address = preIndexed ? indexed : base;

    constexpr bool writesBase = writesBack(preIndexed, writeBack);
    // A signed byte is read as bytes are, from the game pak's upper windows too.
    constexpr u32 width = kind == Halfword::loadSignedByte ? 1 : 2;
    if (const data_access::RamView view = data_access::transferView<true, width>(address);
        view.memory) [[likely]] {
        finishHalfwordLoad<true, kind, writesBase>(view, opcode, address, indexed, nextInstruction);
    } else {
        outOfLine<finishHalfwordLoad<false, kind, writesBase>>(view, opcode, address, indexed,
                                                               nextInstruction);
    }
}

template <bool ram, bool writesBase>
[[gnu::always_inline]] inline void finishHalfwordStore(data_access::RamView view, u32 opcode,
                                                       u32 address, u32 indexed, s32 cost,
                                                       s32 startBalance) {
    dataWrite16<ram>(view, address, reg((opcode >> 12) & 15) & 0xFFFF);
    programCounter() -= 8;
    gba.cpu.cycleBalance -= cost;
    if constexpr (writesBase) {
        writeBackBase((opcode >> 16) & 15, indexed, startBalance);
    }
}

template <bool preIndexed, bool up, bool immediateOffset, bool writeBack>
void armHalfwordStore(u32 opcode) {
    const s32 startBalance = gba.cpu.cycleBalance;
    u32& pc = programCounter();
    pc += 4;
    s32 cost = accessCyclesN32[pc >> 24];

    const u32 base = reg((opcode >> 16) & 15);
    const u32 offset = halfwordOffset<immediateOffset>(opcode);
    const u32 indexed = up ? base + offset : base - offset;
    const u32 address = preIndexed ? indexed : base;

    pc += 4;
    cost += accessCyclesN32[address >> 24];
    constexpr bool writesBase = writesBack(preIndexed, writeBack);
    if (const data_access::RamView view = data_access::transferView<false, 2>(address); view.memory)
        [[likely]] {
        finishHalfwordStore<true, writesBase>(view, opcode, address, indexed, cost, startBalance);
    } else {
        outOfLine<finishHalfwordStore<false, writesBase>>(view, opcode, address, indexed, cost,
                                                          startBalance);
    }
}

template <bool byte>
void armSwap(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const u32 address = reg((opcode >> 16) & 15);
    if (address >> 24 == 4) {
        // The swap is charged before its write, which may end a batch of slices or read the
        // slice's time: end the batch here, while the balance still tells the slice under way.
        endSliceBatch();
    }
    cpu.cycleBalance -= 1 + refillCycles32[programCounter() >> 24] + accessCyclesN32[address >> 24];
    const u32 source = reg(opcode & 15);
    u32 old;
    if constexpr (byte) {
        old = cpuRead8(address);
        cpuWrite8(address, source & 0xFF);
    } else {
        old = rotateRight(cpuRead32(address), (address & 3) * 8);
        cpuWrite32(address, source);
    }
    reg((opcode >> 12) & 15) = old;
}

} // namespace

HandlerEntry selectSingleTransfer(u32 index) {
    // Key: bit 0 L, bit 1 W, bit 2 B, bit 3 U, bit 4 P, bit 5 I (opcode bits 20-25), bits 6-7
    // the shift type of a register offset (opcode bits 5-6).
    static constexpr auto handlers = stampArmHandlers<256>([]<u32 key>() -> InstructionHandler {
        constexpr bool load = key & 1, byte = key & 4, up = key & 8, pre = key & 16;
        constexpr u32 form = (key & 32) ? key >> 6 : offsetImmediate;
        constexpr bool writeBack = pre && (key & 2);
        if constexpr (load) {
            return armLoad<form, pre, up, byte, writeBack>;
        } else {
            return armStore<form, pre, up, byte, writeBack>;
        }
    });
    return handlers[(index & 0x3F) | (((index >> 9) & 3) << 6)];
}

HandlerEntry selectHalfwordTransfer(u32 index) {
    // Key: bit 0 L, bit 1 W, bit 2 immediate offset, bit 3 U, bit 4 P (opcode bits 20-24),
    // bits 5-6 = opcode bits 6-5 (1 halfword, 2 signed byte, 3 signed halfword).
    static constexpr auto handlers = stampArmHandlers<128>([]<u32 key>() -> InstructionHandler {
        constexpr bool load = key & 1, immediate = key & 4, up = key & 8, pre = key & 16;
        constexpr bool writeBack = pre && (key & 2);
        constexpr u32 shape = key >> 5;
        if constexpr (shape == 2 && load) {
            return armHalfwordLoad<Halfword::loadSignedByte, pre, up, immediate, writeBack>;
        } else if constexpr (shape == 3 && load) {
            return armHalfwordLoad<Halfword::loadSignedHalf, pre, up, immediate, writeBack>;
        } else if constexpr (shape == 1 && load) {
            return armHalfwordLoad<Halfword::load, pre, up, immediate, writeBack>;
        } else if constexpr (shape == 1) {
            return armHalfwordStore<pre, up, immediate, writeBack>;
        } else {
            return armUndefined;
        }
    });
    return handlers[(index & 0x1F) | (((index >> 9) & 3) << 5)];
}

HandlerEntry selectSwap(u32 index) {
    return (index & 0x04) ? armEntry<armSwap<true>> : armEntry<armSwap<false>>;
}
