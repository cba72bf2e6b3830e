// ARM block transfers (LDM, STM), with and without the S bit. Registers always go lowest
// first to the lowest address; the first access of a block is non-sequential.
#include <bit>

#include "cpu/arm_handlers.h"
#include "cpu/data_access.h"

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

// With S and without R15 the registers go to the User bank directly, whatever the mode, and
// no write-back happens. With S and R15, the mode's own registers are loaded and the SPSR is
// restored before the write-back, which therefore reaches the base of the mode returned to.
template <bool preIndexed, bool up, bool userBank, bool writeBack>
void armLoadMultiple(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const u32 list = opcode & 0xFFFF;
    s32 cost = 1;
    if (list == 0) {
        cpu.cycleBalance -= cost;
        return;
    }
    const u32 rn = (opcode >> 16) & 15;
    const u32 base = reg(rn);
    const u32 count = static_cast<u32>(std::popcount(list));
    const bool loadsPc = list & 0x8000;
    const bool intoUserBank = userBank && !loadsPc;

    u32 address = firstAddress<preIndexed, up>(base, count);
    u32 nextCost = refillCycles32[address >> 24]; // the first access is non-sequential
    for (u32 remaining = list & 0x7FFF; remaining != 0; remaining &= remaining - 1) {
        const u32 n = static_cast<u32>(std::countr_zero(remaining));
        const u32 value = cpuRead32(address);
        if (intoUserBank) {
            cpu.userBank[n] = value;
        } else {
            reg(n) = value;
        }
        cost += nextCost;
        address += 4;
        nextCost = accessCyclesS32[address >> 24];
    }

    if (loadsPc) {
        const u32 target = cpuRead32(address);
        cost += nextCost;
        cpu.cycleBalance -= cost;
        if constexpr (userBank) {
            restoreCpsrFromSpsr();
        }
        armBranchTo(target);
    } else {
        cpu.cycleBalance -= cost;
    }

    if constexpr (writeBack) {
        // A base that was loaded keeps the loaded value.
        if (!intoUserBank && !(list & (1u << rn))) {
            reg(rn) = finalBase<up>(base, count);
        }
    }
}

// With S the User-bank registers are stored whatever the mode, and there is no write-back.
template <bool preIndexed, bool up, bool userBank, bool writeBack>
void armStoreMultiple(u32 opcode) {
    CpuState& cpu = gba.cpu;
    const u32 list = opcode & 0xFFFF;
    u32& pc = programCounter();
    pc += 8; // a stored R15 reads as the instruction address + 12
    s32 cost = 1;

    if (list != 0) {
        const u32 rn = (opcode >> 16) & 15;
        const u32 base = reg(rn);
        const u32 count = static_cast<u32>(std::popcount(list));
        u32 address = firstAddress<preIndexed, up>(base, count);
        u32 nextCost = accessCyclesN32[address >> 24];
        u32 remaining = list;
        bool first = true;
        do {
            const u32 n = static_cast<u32>(std::countr_zero(remaining));
            if constexpr (userBank) {
                cpuWrite32(address, cpu.userBank[n]);
            } else {
                cpuWrite32(address, reg(n));
            }
            if constexpr (writeBack && !userBank) {
                // Written right after the first store: a base that is the lowest register of
                // the list is stored old, one further up the list is stored updated.
                if (first) {
                    reg(rn) = finalBase<up>(base, count);
                    first = false;
                }
            }
            cost += nextCost;
            address += 4;
            nextCost = accessCyclesS32[address >> 24];
            remaining &= remaining - 1;
        } while (remaining != 0);
    }

    pc -= 8;
    cost += accessCyclesN32[pc >> 24];
    cpu.cycleBalance -= cost;
}

} // namespace

InstructionHandler selectBlockTransfer(u32 index) {
    // Key: bit 0 L, bit 1 W, bit 2 S, bit 3 U, bit 4 P (opcode bits 20-24).
    static constexpr auto handlers = stampHandlers<32>([]<u32 key>() -> InstructionHandler {
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
