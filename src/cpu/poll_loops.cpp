#include "cpu/poll_loops.h"

#include "cpu/registers.h"
#include "machine/io_registers.h"

namespace {

// Registers that change only between scheduler calls: the scanline, the display status and
// the keys. Everything else in the I/O area may change in any slice (timer counters, IF).
bool stableRegister(u32 offset) {
    return offset == io::DISPSTAT || offset == io::VCOUNT || offset == io::KEYINPUT;
}

// Plain memory that only the CPU, DMA and interrupt handlers write (work, internal, palette,
// video and sprite memory), or the stable registers.
bool stableWord(u32 address, u32 size) {
    switch (address >> 24) {
    case 0x2:
    case 0x3:
    case 0x5:
    case 0x6:
    case 0x7: return true;
    case 0x4:
        if (size == 4) {
            return stableRegister(address & 0x3FC) && stableRegister((address & 0x3FC) + 2);
        }
        return stableRegister(address & 0x3FE);
    default: return false;
    }
}

} // namespace

bool armPollLoopQualifies(FetchWindow& window, u32 branch) {
    const u32 start = branch - 8;
    if (!window.holds(start) || !window.holds(branch)) {
        return false;
    }
    const u32 load = fetchArmInline(window, start);
    const u32 compare = fetchArmInline(window, start + 4);
    const u32 rd = (load >> 12) & 15, rn = (load >> 16) & 15;
    // LDR, LDRB with an immediate offset, or LDRH with one, pre-indexed, no write-back, AL.
    const bool wordOrByte = (load & 0xFF300000) == 0xE5100000;
    const bool half = (load & 0xFF7000F0) == 0xE15000B0;
    if (!(wordOrByte || half) || rd == 15 || rn == 15 || rd == rn) {
        return false;
    }
    const u32 offset = wordOrByte ? load & 0xFFF : ((load >> 4) & 0xF0) | (load & 0xF);
    const u32 address = (load & (1u << 23)) ? reg(rn) + offset : reg(rn) - offset;
    const u32 size = half ? 2 : (load & (1u << 22)) ? 1 : 4;
    // TST, TEQ, CMP or CMN of Rd with an immediate, AL.
    return stableWord(address, size) && (compare & 0xFF900000) == 0xE3100000 &&
           ((compare >> 16) & 15) == rd;
}

bool thumbPollLoopQualifies(FetchWindow& window, u32 branch) {
    const u32 start = branch - 4;
    if (!window.holds(start) || !window.holds(branch)) {
        return false;
    }
    const u32 load = fetchThumbInline(window, start);
    const u32 compare = fetchThumbInline(window, start + 2);
    const u32 rd = load & 7, rb = (load >> 3) & 7, immediate = (load >> 6) & 31;
    // LDR, LDRB, LDRH Rd, [Rb, #immediate]: the immediate counts words, bytes, halfwords.
    u32 size;
    switch (load & 0xF800) {
    case 0x6800: size = 4; break;
    case 0x7800: size = 1; break;
    case 0x8800: size = 2; break;
    default: return false;
    }
    // CMP Rd, #immediate.
    return rd != rb && stableWord(reg(rb) + immediate * size, size) &&
           (compare & 0xFF00) == (0x2800 | (rd << 8));
}

void spinPollLoop() {
    CpuState& cpu = gba.cpu;
    if (!pollLoopHoldsCpu(cpu.registers[15], cpu.armState)) {
        disarmPollLoop();
        return;
    }
    const PollLoop& pollLoop = executionNotes.pollLoop;
    const u32 unit = pollLoop.thumb ? 2 : 4;
    const u32 length = pollLoop.length;
    u32 index = (cpu.registers[15] - pollLoop.start) / unit;
    const s32* costs = pollLoop.costs;
    const s32 turn = costs[0] + costs[1] + costs[2];
    s32 balance = cpu.cycleBalance;
    // The rest of the turn in progress, then whole turns while the balance stays above 0, then
    // instruction by instruction until it runs out, as the loop of the slice would.
    while (balance > 0 && index != 0) {
        balance -= costs[index];
        index = index + 1 == length ? 0 : index + 1;
    }
    if (balance > 0) {
        balance -= (balance - 1) / turn * turn;
    }
    while (balance > 0) {
        balance -= costs[index];
        index = index + 1 == length ? 0 : index + 1;
    }
    cpu.cycleBalance = balance;
    cpu.registers[15] = pollLoop.start + index * unit;
}
