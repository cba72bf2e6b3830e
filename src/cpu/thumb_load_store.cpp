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

u32 signExtend16(u32 value) {
    return static_cast<u32>(static_cast<s32>(static_cast<s16>(value)));
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

template <u32 rd>
void thumbPcRelativeLoad(u32 opcode) {
    u32 address = ((programCounter() + 2) & ~2u) + (opcode & 0xFF) * 4;
    lowReg(rd) = cpuRead32(address);
    // Deliberately cheaper than the console: only the fetch is charged, not the data access.
    chargeCycles(accessCyclesS16[codeRegion()]);
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

template <u32 op, u32 ro>
void thumbRegisterOffset(u32 opcode) {
    u32 address = lowReg(lowRegister(opcode, 3)) + lowReg(ro);
    u32& rd = lowReg(lowRegister(opcode, 0));
    if constexpr (op == storeWord || op == storeHalfword || op == storeByte) {
        if constexpr (op == storeWord) {
            cpuWrite32(address, rd);
        } else if constexpr (op == storeHalfword) {
            cpuWrite16(address, rd & 0xFFFF);
        } else {
            cpuWrite8(address, rd & 0xFF);
        }
        chargeCycles(storeCost(address));
    } else if constexpr (op == loadWord) {
        // Only this word load rotates a misaligned word, and it pays the 32-bit refill.
        rd = std::rotr(cpuRead32(address), static_cast<int>(8 * (address & 3)));
        chargeCycles(1 + refillCycles32[address >> 24]);
    } else {
        if constexpr (op == loadHalfword) {
            rd = cpuRead16(address);
        } else if constexpr (op == loadByte) {
            rd = cpuRead8(address);
        } else if constexpr (op == loadSignedByte) {
            rd = signExtend8(cpuRead8(address));
        } else {
            rd = signExtend16(cpuRead16(address));
        }
        chargeCycles(loadCost(address));
    }
}

// --- Immediate offset [Rb, #imm5 (x 4 for words)]: STR, LDR, STRB, LDRB

template <bool byte, bool load>
void thumbImmediateOffset(u32 opcode) {
    u32 offset = (opcode >> 6) & 31;
    u32 address = lowReg(lowRegister(opcode, 3)) + (byte ? offset : offset * 4);
    u32& rd = lowReg(lowRegister(opcode, 0));
    if constexpr (load) {
        if constexpr (byte) {
            rd = cpuRead8(address);
        } else {
            // Deliberately unlike the console: a misaligned word is not rotated.
            rd = cpuRead32(address);
        }
        chargeCycles(loadCost(address));
    } else {
        if constexpr (byte) {
            cpuWrite8(address, rd & 0xFF);
        } else {
            cpuWrite32(address, rd);
        }
        chargeCycles(storeCost(address));
    }
}

// --- STRH / LDRH Rd, [Rb, #imm5 x 2]

template <bool load>
void thumbHalfwordImmediate(u32 opcode) {
    u32 address = lowReg(lowRegister(opcode, 3)) + ((opcode >> 6) & 31) * 2;
    u32& rd = lowReg(lowRegister(opcode, 0));
    if constexpr (load) {
        rd = cpuRead16(address);
        chargeCycles(loadCost(address));
    } else {
        cpuWrite16(address, rd & 0xFFFF);
        chargeCycles(storeCost(address));
    }
}

// --- STR / LDR Rd, [SP, #imm8 x 4]

template <bool load, u32 rd>
void thumbSpRelative(u32 opcode) {
    u32 address = reg(13) + (opcode & 0xFF) * 4;
    if constexpr (load) {
        // Deliberately unlike the console: a misaligned word is not rotated.
        lowReg(rd) = cpuRead32(address);
        chargeCycles(loadCost(address));
    } else {
        cpuWrite32(address, lowReg(rd));
        chargeCycles(storeCost(address));
    }
}

// --- Block transfers. Registers go lowest first to the lowest address.

// Stores the registers of LIST upward from ADDRESS; WRITEBACK runs right after the first
// store. Returns the cost of the stores: 1 + N16 of the second address for the first one,
// S16 of its own address for each further one.
template <typename AfterFirst>
u32 storeList(u32 list, u32 address, AfterFirst afterFirst) {
    u32 first = static_cast<u32>(std::countr_zero(list));
    list &= list - 1;
    cpuWrite32(address, lowReg(first));
    afterFirst();
    u32 cost = 1 + accessCyclesN16[(address + 4) >> 24];
    while (list != 0) {
        address += 4;
        u32 n = static_cast<u32>(std::countr_zero(list));
        list &= list - 1;
        cpuWrite32(address, lowReg(n));
        cost += accessCyclesS16[address >> 24];
    }
    return cost;
}

// Loads the registers of LIST upward from ADDRESS. Returns the cost: 1 + R16 for the first
// load, S16 for each further one, each by the region of its own address.
u32 loadList(u32 list, u32 address) {
    u32 cost = 1;
    const u16* table = refillCycles16;
    while (list != 0) {
        u32 n = static_cast<u32>(std::countr_zero(list));
        list &= list - 1;
        lowReg(n) = cpuRead32(address);
        cost += table[address >> 24];
        table = accessCyclesS16;
        address += 4;
    }
    return cost;
}

void pushList(u32 opcode) {
    u32 list = opcode & 0xFF;
    if (list == 0) {
        chargeCycles(1 + accessCyclesN16[codeRegion()]);
        return;
    }
    u32& sp = reg(13);
    sp -= 4 * registerCount(list);
    u32 cost = storeList(list, sp, [] {});
    chargeCycles(cost + accessCyclesN16[codeRegion()]);
}

void pushListAndLr(u32 opcode) {
    u32 list = opcode & 0xFF;
    u32& sp = reg(13);
    sp -= 4 * (registerCount(list) + 1);
    u32 address = sp;
    u32 cost = 1;
    for (u32 rest = list; rest != 0; rest &= rest - 1) {
        cpuWrite32(address, lowReg(static_cast<u32>(std::countr_zero(rest))));
        if (rest != list) {
            cost += accessCyclesS16[address >> 24];
        }
        address += 4;
    }
    cpuWrite32(address, reg(14));
    chargeCycles(cost + longRefillCycles16[address >> 24]);
}

void popList(u32 opcode) {
    u32 list = opcode & 0xFF;
    u32& sp = reg(13);
    u32 cost = loadList(list, sp);
    sp += 4 * registerCount(list);
    chargeCycles(cost);
}

void popListAndPc(u32 opcode) {
    u32 list = opcode & 0xFF;
    u32& sp = reg(13);
    u32 cost = loadList(list, sp);
    u32 pcAddress = sp + 4 * registerCount(list);
    sp = pcAddress + 4;
    // The instruction set does not change: bit 0 of the loaded word is dropped.
    u32 target = cpuRead32(pcAddress) & ~1u;
    thumbBranchTo(target, cost + refillCycles16[pcAddress >> 24]);
}

template <bool load, u32 rb>
void thumbMultipleLoadStore(u32 opcode) {
    u32 list = opcode & 0xFF;
    u32& base = lowReg(rb);
    u32 address = base;
    u32 end = address + 4 * registerCount(list);
    if constexpr (load) {
        u32 cost = loadList(list, address);
        // A base that is in the list keeps the loaded value.
        if ((list & (1u << rb)) == 0) {
            base = end;
        }
        chargeCycles(cost);
    } else {
        if (list == 0) {
            chargeCycles(1 + accessCyclesN16[codeRegion()]);
            return;
        }
        // The base is written back after the first store, so a base that is the lowest
        // register of the list is stored with its old value and any other with the new one.
        u32 cost = storeList(list, address, [&base, end] { base = end; });
        chargeCycles(cost + accessCyclesN16[codeRegion()]);
    }
}

} // namespace

constinit const std::array<InstructionHandler, 8> thumbPcRelativeLoadHandlers =
    stampHandlers<8>([]<u32 sub>() -> InstructionHandler { return &thumbPcRelativeLoad<sub>; });

constinit const std::array<InstructionHandler, 64> thumbRegisterOffsetHandlers = stampHandlers<64>(
    []<u32 sub>() -> InstructionHandler { return &thumbRegisterOffset<sub / 8, sub % 8>; });

constinit const std::array<InstructionHandler, 4> thumbImmediateOffsetHandlers =
    stampHandlers<4>([]<u32 sub>() -> InstructionHandler {
        return &thumbImmediateOffset<(sub >> 1) != 0, (sub & 1) != 0>;
    });

constinit const std::array<InstructionHandler, 2> thumbHalfwordImmediateHandlers = stampHandlers<2>(
    []<u32 sub>() -> InstructionHandler { return &thumbHalfwordImmediate<sub != 0>; });

constinit const std::array<InstructionHandler, 16> thumbSpRelativeHandlers = stampHandlers<16>(
    []<u32 sub>() -> InstructionHandler { return &thumbSpRelative<(sub >> 3) != 0, sub % 8>; });

constinit const std::array<InstructionHandler, 4> thumbPushPopHandlers = {pushList, pushListAndLr,
                                                                          popList, popListAndPc};

constinit const std::array<InstructionHandler, 16> thumbMultipleLoadStoreHandlers =
    stampHandlers<16>([]<u32 sub>() -> InstructionHandler {
        return &thumbMultipleLoadStore<(sub >> 3) != 0, sub % 8>;
    });
