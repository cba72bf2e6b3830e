// THUMB loads and stores: PC-relative, register offset, immediate offset, SP-relative,
// PUSH/POP and STMIA/LDMIA. Addresses go to the bus unaligned; the bus forces them down.
#include <bit>

#include "cpu/data_access.h"
#include "cpu/register_list.h"
#include "cpu/thumb_common.h"
#include "cpu/thumb_handlers.h"

namespace {

u32 lowRegister(u32 opcode, u32 shift) {
    return (opcode >> shift) & 7;
}

u32 signExtend8(u32 value) {
    return static_cast<u32>(static_cast<s32>(static_cast<s8>(value)));
}

// A store costs a non-sequential access of the code region and one of the data region.
u32 storeCost(u32 address) {
    return accessCyclesN16[codeRegion()] + accessCyclesN16[address >> 24];
}

// A load costs one internal cycle and a 16-bit refill of the data region.
u32 loadCost(u32 address) {
    return 1 + refillCycles16[address >> 24];
}

// --- LDR Rd, [PC, #imm8 x 4]

template <bool ram, u32 rd>
[[gnu::always_inline]] inline void finishPcRelativeLoad(data_access::RamView view, u32 address) {
    lowReg(rd) = dataRead32<ram>(view, address);
    // Deliberately cheaper than the console: only the fetch is charged, not the data access.
    chargeCycles(accessCyclesS16[codeRegion()]);
}

template <u32 rd>
void thumbPcRelativeLoad(u32 opcode) {
    const u32 address = ((programCounter() + 2) & ~2u) + (opcode & 0xFF) * 4;
    if (const data_access::RamView view = data_access::transferView<true, 4>(address); view.memory)
        [[likely]] {
        finishPcRelativeLoad<true, rd>(view, address);
    } else {
        outOfLine<finishPcRelativeLoad<false, rd>>(view, address);
    }
}

// --- Register offset [Rb, Ro]: STR, STRH, STRB, LDSB, LDR, LDRH, LDRB, LDSH (opcode bits 11-9)

enum RegisterOffsetOp : u32 {
    storeWord,
    storeHalfword,
    storeByte,
    loadSignedByte,
    loadWord,
    loadHalfword,
    loadByte,
    loadSignedHalfword,
};

constexpr bool isLoad(u32 op) {
    return op >= loadSignedByte;
}

constexpr u32 accessWidth(u32 op) {
    return op == storeWord || op == loadWord                                       ? 4
           : op == storeHalfword || op == loadHalfword || op == loadSignedHalfword ? 2
                                                                                   : 1;
}

// Each transfer from its first access on: in place (ram) in VIEW, through the bus otherwise,
// where the handler calls it out of line.
template <bool ram, u32 op>
[[gnu::always_inline]] inline void finishRegisterOffset(data_access::RamView view, u32 opcode,
                                                        u32 address) {
    u32& rd = lowReg(lowRegister(opcode, 0));
    if constexpr (op == storeWord || op == storeHalfword || op == storeByte) {
        if constexpr (op == storeWord) {
            dataWrite32<ram>(view, address, rd);
        } else if constexpr (op == storeHalfword) {
            dataWrite16<ram>(view, address, rd & 0xFFFF);
        } else {
            dataWrite8<ram>(view, address, rd & 0xFF);
        }
        chargeCycles(storeCost(address));
    } else if constexpr (op == loadWord) {
        // Only this word load rotates a misaligned word, and it pays the 32-bit refill.
        rd = std::rotr(dataRead32<ram>(view, address), static_cast<int>(8 * (address & 3)));
        chargeCycles(1 + refillCycles32[address >> 24]);
    } else {
        if constexpr (op == loadHalfword) {
            rd = loadedHalfword(dataRead16<ram>(view, address), address);
        } else if constexpr (op == loadByte) {
            rd = dataRead8<ram>(view, address);
        } else if constexpr (op == loadSignedByte) {
            rd = signExtend8(dataRead8<ram>(view, address));
        } else {
            rd = loadedSignedHalfword(dataRead16<ram>(view, address), address);
        }
        chargeCycles(loadCost(address));
    }
}

template <u32 op, u32 ro>
void thumbRegisterOffset(u32 opcode) {
    const u32 address = lowReg(lowRegister(opcode, 3)) + lowReg(ro);
    if (const data_access::RamView view =
            data_access::transferView<isLoad(op), accessWidth(op)>(address);
        view.memory) [[likely]] {
        finishRegisterOffset<true, op>(view, opcode, address);
    } else {
        outOfLine<finishRegisterOffset<false, op>>(view, opcode, address);
    }
}

// --- Immediate offset [Rb, #imm5 (x 4 for words)]: STR, LDR, STRB, LDRB
// --- STRH / LDRH Rd, [Rb, #imm5 x 2]

template <bool ram, u32 width, bool load>
[[gnu::always_inline]] inline void finishImmediateOffset(data_access::RamView view, u32 opcode,
                                                         u32 address) {
    u32& rd = lowReg(lowRegister(opcode, 0));
    if constexpr (load) {
        if constexpr (width == 1) {
            rd = dataRead8<ram>(view, address);
        } else if constexpr (width == 2) {
            rd = loadedHalfword(dataRead16<ram>(view, address), address);
        } else {
            // Deliberately unlike the console: a misaligned word is not rotated.
            rd = dataRead32<ram>(view, address);
        }
        chargeCycles(loadCost(address));
    } else {
        if constexpr (width == 1) {
            dataWrite8<ram>(view, address, rd & 0xFF);
        } else if constexpr (width == 2) {
            dataWrite16<ram>(view, address, rd & 0xFFFF);
        } else {
            dataWrite32<ram>(view, address, rd);
        }
        chargeCycles(storeCost(address));
    }
}

template <u32 width, bool load>
void thumbImmediateOffset(u32 opcode) {
    const u32 address = lowReg(lowRegister(opcode, 3)) + ((opcode >> 6) & 31) * width;
    if (const data_access::RamView view = data_access::transferView<load, width>(address);
        view.memory) [[likely]] {
        finishImmediateOffset<true, width, load>(view, opcode, address);
    } else {
        outOfLine<finishImmediateOffset<false, width, load>>(view, opcode, address);
    }
}

// --- STR / LDR Rd, [SP, #imm8 x 4]

template <bool ram, bool load, u32 rd>
[[gnu::always_inline]] inline void finishSpRelative(data_access::RamView view, u32 address) {
    if constexpr (load) {
        // Deliberately unlike the console: a misaligned word is not rotated.
        lowReg(rd) = dataRead32<ram>(view, address);
        chargeCycles(loadCost(address));
    } else {
        dataWrite32<ram>(view, address, lowReg(rd));
        chargeCycles(storeCost(address));
    }
}

template <bool load, u32 rd>
void thumbSpRelative(u32 opcode) {
    const u32 address = reg(13) + (opcode & 0xFF) * 4;
    if (const data_access::RamView view = data_access::transferView<load, 4>(address); view.memory)
        [[likely]] {
        finishSpRelative<true, load, rd>(view, address);
    } else {
        outOfLine<finishSpRelative<false, load, rd>>(view, address);
    }
}

// --- Block transfers. Registers go lowest first to the lowest address.

// Stores the registers of LIST upward from ADDRESS; WRITEBACK runs right after the first
// store. Returns the cost of the stores: 1 + N16 of the second address for the first one,
// S16 of its own address for each further one.
template <bool ram, typename AfterFirst>
u32 storeList(u32 list, u32 address, BlockAccess<ram> access, AfterFirst afterFirst) {
    u32 first = static_cast<u32>(std::countr_zero(list));
    list &= list - 1;
    access.write(address, lowReg(first));
    afterFirst();
    u32 cost = 1 + accessCyclesN16[(address + 4) >> 24];
    while (list != 0) {
        address += 4;
        u32 n = static_cast<u32>(std::countr_zero(list));
        list &= list - 1;
        access.write(address, lowReg(n));
        cost += accessCyclesS16[address >> 24];
    }
    return cost;
}

// Loads the registers of LIST upward from ADDRESS. Returns the cost: 1 + R16 for the first
// load, S16 for each further one, each by the region of its own address.
template <bool ram>
u32 loadList(u32 list, u32 address, BlockAccess<ram> access) {
    u32 cost = 1;
    const u16* table = refillCycles16;
    while (list != 0) {
        u32 n = static_cast<u32>(std::countr_zero(list));
        list &= list - 1;
        lowReg(n) = access.read(address);
        cost += table[address >> 24];
        table = accessCyclesS16;
        address += 4;
    }
    return cost;
}

template <bool ram>
[[gnu::always_inline]] inline void finishPush(u32 list, u32 address, BlockAccess<ram> access) {
    const u32 cost = storeList(list, address, access, [] {});
    chargeCycles(cost + accessCyclesN16[codeRegion()]);
}

void pushList(u32 opcode) {
    const u32 list = opcode & 0xFF;
    if (list == 0) {
        chargeCycles(1 + accessCyclesN16[codeRegion()]);
        return;
    }
    u32& sp = reg(13);
    const u32 count = registerCount(list);
    sp -= 4 * count;
    if (const data_access::RamView ram = ramBlockAt(sp, count); ram.memory) [[likely]] {
        finishPush<true>(list, sp, {ram});
    } else {
        outOfLine<finishPush<false>>(list, sp, BlockAccess<false>{});
    }
}

template <bool ram>
[[gnu::always_inline]] inline void finishPushWithLr(u32 list, u32 address,
                                                    BlockAccess<ram> access) {
    u32 cost = 1;
    for (u32 rest = list; rest != 0; rest &= rest - 1) {
        access.write(address, lowReg(static_cast<u32>(std::countr_zero(rest))));
        if (rest != list) {
            cost += accessCyclesS16[address >> 24];
        }
        address += 4;
    }
    access.write(address, reg(14));
    chargeCycles(cost + longRefillCycles16[address >> 24]);
}

void pushListAndLr(u32 opcode) {
    const u32 list = opcode & 0xFF;
    u32& sp = reg(13);
    const u32 count = registerCount(list) + 1;
    sp -= 4 * count;
    if (const data_access::RamView ram = ramBlockAt(sp, count); ram.memory) [[likely]] {
        finishPushWithLr<true>(list, sp, {ram});
    } else {
        outOfLine<finishPushWithLr<false>>(list, sp, BlockAccess<false>{});
    }
}

template <bool ram>
[[gnu::always_inline]] inline void finishPop(u32 list, BlockAccess<ram> access) {
    u32& sp = reg(13);
    const u32 cost = loadList(list, sp, access);
    sp += 4 * registerCount(list);
    chargeCycles(cost);
}

void popList(u32 opcode) {
    const u32 list = opcode & 0xFF;
    if (const data_access::RamView ram = ramBlockAt(reg(13), registerCount(list)); ram.memory)
        [[likely]] {
        finishPop<true>(list, {ram});
    } else {
        outOfLine<finishPop<false>>(list, BlockAccess<false>{});
    }
}

template <bool ram>
[[gnu::always_inline]] inline void finishPopWithPc(u32 list, BlockAccess<ram> access) {
    u32& sp = reg(13);
    const u32 cost = loadList(list, sp, access);
    const u32 pcAddress = sp + 4 * registerCount(list);
    sp = pcAddress + 4;
    // The instruction set does not change: bit 0 of the loaded word is dropped.
    const u32 target = access.read(pcAddress) & ~1u;
    thumbBranchTo(target, cost + refillCycles16[pcAddress >> 24]);
}

void popListAndPc(u32 opcode) {
    const u32 list = opcode & 0xFF;
    if (const data_access::RamView ram = ramBlockAt(reg(13), registerCount(list) + 1); ram.memory)
        [[likely]] {
        finishPopWithPc<true>(list, {ram});
    } else {
        outOfLine<finishPopWithPc<false>>(list, BlockAccess<false>{});
    }
}

template <bool ram, bool load, u32 rb>
[[gnu::always_inline]] inline void finishMultiple(u32 list, BlockAccess<ram> access) {
    u32& base = lowReg(rb);
    const u32 address = base;
    const u32 end = address + 4 * registerCount(list);
    if constexpr (load) {
        const u32 cost = loadList(list, address, access);
        // A base that is in the list keeps the loaded value.
        if ((list & (1u << rb)) == 0) {
            base = end;
        }
        chargeCycles(cost);
    } else {
        // The base is written back after the first store, so a base that is the lowest
        // register of the list is stored with its old value and any other with the new one.
        const u32 cost = storeList(list, address, access, [&base, end] { base = end; });
        chargeCycles(cost + accessCyclesN16[codeRegion()]);
    }
}

template <bool load, u32 rb>
void thumbMultipleLoadStore(u32 opcode) {
    const u32 list = opcode & 0xFF;
    if (!load && list == 0) {
        chargeCycles(1 + accessCyclesN16[codeRegion()]);
        return;
    }
    if (const data_access::RamView ram = ramBlockAt(lowReg(rb), registerCount(list)); ram.memory)
        [[likely]] {
        finishMultiple<true, load, rb>(list, {ram});
    } else {
        outOfLine<finishMultiple<false, load, rb>>(list, BlockAccess<false>{});
    }
}

} // namespace

constinit const std::array<HandlerEntry, 8> thumbPcRelativeLoadHandlers = stampThumbHandlers<8>(
    []<u32 sub>() -> InstructionHandler { return &thumbPcRelativeLoad<sub>; });

constinit const std::array<HandlerEntry, 64> thumbRegisterOffsetHandlers = stampThumbHandlers<64>(
    []<u32 sub>() -> InstructionHandler { return &thumbRegisterOffset<sub / 8, sub % 8>; });

constinit const std::array<HandlerEntry, 4> thumbImmediateOffsetHandlers =
    stampThumbHandlers<4>([]<u32 sub>() -> InstructionHandler {
        return &thumbImmediateOffset < (sub >> 1) != 0 ? 1 : 4, (sub & 1) != 0 > ;
    });

constinit const std::array<HandlerEntry, 2> thumbHalfwordImmediateHandlers = stampThumbHandlers<2>(
    []<u32 sub>() -> InstructionHandler { return &thumbImmediateOffset<2, sub != 0>; });

constinit const std::array<HandlerEntry, 16> thumbSpRelativeHandlers = stampThumbHandlers<16>(
    []<u32 sub>() -> InstructionHandler { return &thumbSpRelative<(sub >> 3) != 0, sub % 8>; });

constinit const std::array<HandlerEntry, 4> thumbPushPopHandlers = {
    thumbEntry<pushList>, thumbEntry<pushListAndLr>, thumbEntry<popList>, thumbEntry<popListAndPc>};

constinit const std::array<HandlerEntry, 16> thumbMultipleLoadStoreHandlers =
    stampThumbHandlers<16>([]<u32 sub>() -> InstructionHandler {
        return &thumbMultipleLoadStore<(sub >> 3) != 0, sub % 8>;
    });
