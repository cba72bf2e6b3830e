// ARM block transfers (LDM, STM), with and without the S bit. Registers always go lowest
// first to the lowest address; the first access of a block is non-sequential.
#include <bit>

#include "cpu/arm_handlers.h"
#include "cpu/data_access.h"
#include "cpu/register_list.h"

namespace {

// Lowest address of the block and the base after write-back, for count registers.
template <bool preIndexed, bool up>
u32 firstAddress(u32 base, u32 count) {
    if constexpr (up) {
        return preIndexed ? base + 4 : base;
    } else {
        return preIndexed ? base - 4 * count : base - 4 * count + 4;
    }
}

template <bool up>
u32 finalBase(u32 base, u32 count) {
    return up ? base + 4 * count : base - 4 * count;
}

// The cost of the COUNT words of a block from FIRST: FIRSTCOSTS for the first, S for each
// further one, each by the region of its own address. A block in one region (one top address
// byte), as nearly all are, is summed in one step.
u32 blockCost(u32 first, u32 count, const u16* firstCosts) {
    const u32 top = first >> 24;
    if (top == (first + 4 * (count - 1)) >> 24) {
        return firstCosts[top] + (count - 1) * accessCyclesS32[top];
    }
    u32 cost = firstCosts[top];
    for (u32 i = 1; i < count; ++i) {
        cost += accessCyclesS32[(first + 4 * i) >> 24];
    }
    return cost;
}

// With S and without R15 the registers go to the User bank directly, whatever the mode, and
// no write-back happens. With S and R15, the mode's own registers are loaded and the SPSR is
// restored before the write-back, which therefore reaches the base of the mode returned to.
// Everything from the first access on; the list is not empty.
template <bool ram, bool up, bool userBank, bool writeBack>
[[gnu::always_inline]] inline void loadBlock(u32 opcode, u32 base, u32 first, u32 count,
                                             BlockAccess<ram> access) {
    CpuState& cpu = gba.cpu;
    const u32 list = opcode & 0xFFFF;
    const u32 rn = (opcode >> 16) & 15;
    const bool loadsPc = list & 0x8000;
    const bool intoUserBank = userBank && !loadsPc;
    // The first access is non-sequential.
    const s32 cost = 1 + static_cast<s32>(blockCost(first, count, refillCycles32));
    u32 address = first;
    for (u32 remaining = list & 0x7FFF; remaining != 0; remaining &= remaining - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(remaining));
        const u32 value = access.read(address);
        if (intoUserBank) {
            bankedRegister(modeUser, n) = value;
        } else {
            reg(n) = value;
        }
        address += 4;
    }

    // R15's word is read, as the others, before the block is charged.
    const u32 target = loadsPc ? access.read(address) : 0;
    cpu.cycleBalance -= cost;
    if (loadsPc) {
        if constexpr (userBank) {
            restoreCpsrFromSpsr();
        }
        armBranchTo(target);
    }

    if constexpr (writeBack) {
        // A base that was loaded keeps the loaded value.
        if (!intoUserBank && !(list & (1u << rn))) {
            reg(rn) = finalBase<up>(base, count);
        }
    }
}

template <bool preIndexed, bool up, bool userBank, bool writeBack>
void armLoadMultiple(u32 opcode) {
    const u32 list = opcode & 0xFFFF;
    if (list == 0) {
        gba.cpu.cycleBalance -= 1;
        return;
    }
    const u32 base = reg((opcode >> 16) & 15);
    const u32 count = registerCount(list);
    const u32 first = firstAddress<preIndexed, up>(base, count);
    if (const data_access::RamView ram = ramBlockAt(first, count); ram.memory) [[likely]] {
        loadBlock<true, up, userBank, writeBack>(opcode, base, first, count, {ram});
    } else {
        outOfLine<loadBlock<false, up, userBank, writeBack>>(opcode, base, first, count,
                                                             BlockAccess<false>{});
    }
}

// With S the User-bank registers are stored whatever the mode, and there is no write-back.
// Everything from the first access on; R15 reads as the instruction address + 12.
template <bool ram, bool up, bool userBank, bool writeBack>
[[gnu::always_inline]] inline void storeBlock(u32 opcode, u32 base, u32 first, u32 count,
                                              BlockAccess<ram> access) {
    CpuState& cpu = gba.cpu;
    const u32 rn = (opcode >> 16) & 15;
    s32 cost = 1 + static_cast<s32>(blockCost(first, count, accessCyclesN32));
    u32 address = first;
    u32 remaining = opcode & 0xFFFF;
    do {
        const u32 n = static_cast<u32>(std::countr_zero(remaining));
        access.write(address, userBank ? bankedRegister(modeUser, n) : reg(n));
        if constexpr (writeBack && !userBank) {
            // Written right after the first store: a base that is the lowest register
            // of the list is stored old, one further up the list is stored updated.
            if (address == first) {
                reg(rn) = finalBase<up>(base, count);
            }
        }
        address += 4;
        remaining &= remaining - 1;
    } while (remaining != 0);

    u32& pc = programCounter();
    pc -= 8;
    cost += accessCyclesN32[pc >> 24];
    cpu.cycleBalance -= cost;
}

template <bool preIndexed, bool up, bool userBank, bool writeBack>
void armStoreMultiple(u32 opcode) {
    const u32 list = opcode & 0xFFFF;
    u32& pc = programCounter();
    if (list == 0) {
        gba.cpu.cycleBalance -= 1 + accessCyclesN32[pc >> 24];
        return;
    }
    pc += 8; // a stored R15 reads as the instruction address + 12
    const u32 base = reg((opcode >> 16) & 15);
    const u32 count = registerCount(list);
    const u32 first = firstAddress<preIndexed, up>(base, count);
    if (const data_access::RamView ram = ramBlockAt(first, count); ram.memory) [[likely]] {
        storeBlock<true, up, userBank, writeBack>(opcode, base, first, count, {ram});
    } else {
        outOfLine<storeBlock<false, up, userBank, writeBack>>(opcode, base, first, count,
                                                              BlockAccess<false>{});
    }
}

} // namespace

HandlerEntry selectBlockTransfer(u32 index) {
    // Key: bit 0 L, bit 1 W, bit 2 S, bit 3 U, bit 4 P (opcode bits 20-24).
    static constexpr auto handlers = stampArmHandlers<32>([]<u32 key>() -> InstructionHandler {
        constexpr bool load = key & 1, userBank = key & 4, up = key & 8, pre = key & 16;
        if constexpr (load) {
            return armLoadMultiple<pre, up, userBank, (key & 2) != 0>;
        } else {
            // STM with S never writes back, so its W = 1 slots share the W = 0 handler.
            return armStoreMultiple < pre, up, userBank, (key & 2) != 0 && !userBank > ;
        }
    });
    return handlers[index & 0x1F];
}
