// The handler tables through which every instruction is dispatched. A handler takes the
// instruction word, acts on the CPU and the bus, and subtracts its own cost from
// gba.cpu.cycleBalance. The tables are filled once, by resetCpu.
//
// Each handler also has a chained twin for the runs of cpu/execution.cpp: the twin does the
// handler's work, then fetches the next instruction itself and jumps on to that one's twin,
// until the run is to stop. The jump is the call in tail position, which the optimiser turns
// into a plain jump, so a run does not grow the stack, and each twin has an indirect jump of
// its own, which the host's branch predictor learns per instruction: after this handler comes
// that one. Unoptimised and address-sanitised builds make no such jumps; there the run is a
// loop over the handlers themselves and the twins are left out.
#pragma once

#include "common/types.h"
#include "cpu/conditions.h"
#include "cpu/cpu_state.h"
#include "cpu/execution_notes.h"
#include "cpu/fetch.h"
#include "machine/gba_system.h"

#include <array>
#include <utility>

using InstructionHandler = void (*)(u32 opcode);
// A chained twin: PC is the address of the instruction OPCODE, as R15 will not tell it once the
// handler has run.
using ChainedHandler = void (*)(u32 opcode, u32 pc);

#if defined(__OPTIMIZE__) && !defined(__SANITIZE_ADDRESS__)
constexpr bool chainedDispatch = true;
#else
constexpr bool chainedDispatch = false;
#endif

// Index: ARM opcode bits 31-28.
extern InstructionHandler conditionHandlers[16];
// Index: (opcode bits 27-20) + 256 x (opcode bits 7-4).
extern InstructionHandler armHandlers[4096];
extern ChainedHandler armChainedHandlers[4096];
// The ARM runs' jump table. Index: opcode bits 31-20 x 16 + opcode bits 7-4, so that the
// condition comes with the instruction: for AL the twin of the handler, for the other
// conditions a twin of the condition's own, which tests it before it jumps on to the handler's.
extern ChainedHandler armChainTable[65536];
// Index: THUMB opcode bits 15-6.
extern InstructionHandler thumbHandlers[1024];
extern ChainedHandler thumbChainedHandlers[1024];

// One multiply moves bits 7-4 up to bits 31-28, next to bits 27-20, which stay; the two fields
// do not overlap, so no carry disturbs them. The empty asm hides the factor from the compiler,
// which would otherwise turn the multiply into a shift and an add: two instructions more in
// each step of the loop that runs where runs do not chain.
inline u32 armIndex(u32 opcode) {
    u32 spread = 0x01000001u;
    asm("" : "+r"(spread));
    return ((opcode & 0x0FF000F0) * spread) >> 20;
}
// Index into armChainTable, by the same multiply: bits 7-4 go up to bits 19-16, under bits
// 31-20, which stay. On x86 the multiply takes its factor as an immediate.
inline u32 armChainIndex(u32 opcode) {
    u32 index = opcode & 0xFFF000F0;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm("imull $0x1001, %0, %0" : "+r"(index));
#else
    index *= 0x1001u;
#endif
    return index >> 16;
}
inline u32 thumbIndex(u32 opcode) {
    return (opcode >> 6) & 0x3FF;
}

// R15 after an instruction at PC of WIDTH bytes: PC + WIDTH unless the handler jumped. The
// comparison is a predicted branch, so the next fetch need not wait for the handler's store of
// R15 to reach the load: the address comes from the register, as computed. The empty asm keeps
// the compiler from taking the loaded value on both paths.
template <u32 width>
inline u32 followingInstruction(const CpuState& cpu, u32 pc) {
    u32 next = pc + width;
    const u32 stored = cpu.registers[15];
    if (stored != next) [[unlikely]] {
        return stored;
    }
    asm("" : "+r"(next));
    return next;
}

// The chained runs. Every step ends in a call in tail position, and what is rare (a fetch from
// outside the window) is a function of its own, reached the same way: so the twins keep no
// values across calls and save no registers.
// They take the twins' arguments (the first unused): on a host that passes arguments on the
// stack, a call in tail position can become a jump only to a function that takes no more. They
// stay out of line also where twins take everything they call inline.
[[gnu::noinline]] void continueArmRunElsewhere(u32, u32 pc);
[[gnu::noinline]] void continueThumbRunElsewhere(u32, u32 pc);

// The ARM instruction OPCODE at PC, fetched: the twin for its condition and handler jumped to,
// which moves R15 on itself.
[[gnu::always_inline]] inline void dispatchArm(u32 opcode, u32 pc) {
    return armChainTable[armChainIndex(opcode)](opcode, pc);
}

[[gnu::always_inline]] inline void dispatchThumb(u32 opcode, u32 pc) {
    return thumbChainedHandlers[thumbIndex(opcode)](opcode, pc);
}

// The chained run of the instructions of WIDTH bytes (4 ARM, 2 THUMB) from PC, fetched through
// the run's window, until the balance is down to the run's stop level. ONWARD: PC follows the
// instruction just run, which was in the window, so only the window's end is to be checked.
template <u32 width, bool onward>
[[gnu::always_inline]] inline void continueRun(u32 pc) {
    if (gba.cpu.cycleBalance <= gba.cpu.runStopLevel) {
        return;
    }
    const FetchWindow& window = width == 4 ? executionNotes.armWindow : executionNotes.thumbWindow;
    const bool inWindow = onward ? window.stillHolds(pc) : window.holds(pc);
    if constexpr (width == 4) {
        if (!inWindow) [[unlikely]] {
            return continueArmRunElsewhere(0, pc);
        }
        return dispatchArm(load32(window.at(pc & ~3u)), pc);
    } else {
        if (!inWindow) [[unlikely]] {
            return continueThumbRunElsewhere(0, pc);
        }
        return dispatchThumb(load16(window.at(pc & ~1u)), pc);
    }
}

// The run after the instruction at PC of WIDTH bytes: onward to PC + WIDTH unless the handler
// jumped. As in followingInstruction, the comparison is a predicted branch and the empty asm
// keeps the next address the one computed.
template <u32 width>
[[gnu::always_inline]] inline void continueRunAfter(u32 pc) {
    u32 next = pc + width;
    const u32 stored = gba.cpu.registers[15];
    if (stored != next) [[unlikely]] {
        return continueRun<width, false>(stored);
    }
    asm("" : "+r"(next));
    return continueRun<width, true>(next);
}

// A twin takes its handler whole, with what the handler calls inline: left to itself, the
// compiler keeps the larger handlers as calls, and runs lose a quarter of their speed. The
// profile-guided build inlines by the profile instead, which is faster still; there the
// attribute would only make the twins larger.
#if defined(QUARVEND_PROFILE_GUIDED)
#define QUARVEND_TWIN
#else
#define QUARVEND_TWIN [[gnu::flatten]]
#endif

// R15 is moved on here, where the compiler sees the value the handler then reads back.
template <InstructionHandler handler>
QUARVEND_TWIN void chainedArm(u32 opcode, u32 pc) {
    gba.cpu.registers[15] = pc + 4;
    handler(opcode);
    continueRunAfter<4>(pc);
}

template <InstructionHandler handler>
QUARVEND_TWIN void chainedThumb(u32 opcode, u32 pc) {
    gba.cpu.registers[15] = pc + 2;
    handler(opcode);
    continueRunAfter<2>(pc);
}

// A table entry: the handler and, where runs chain, its twin.
struct HandlerEntry {
    InstructionHandler handler;
    ChainedHandler chained;
};

template <bool thumb, InstructionHandler handler>
consteval ChainedHandler twinOf() {
    if constexpr (!chainedDispatch) {
        return nullptr;
    } else if constexpr (thumb) {
        return chainedThumb<handler>;
    } else {
        return chainedArm<handler>;
    }
}

template <bool thumb, InstructionHandler handler>
struct EntryOf {
    static constexpr HandlerEntry entry = {handler, twinOf<thumb, handler>()};
};

// An unassigned key (told apart by the template, where a comparison of a function's address
// may not be a constant).
template <bool thumb>
struct EntryOf<thumb, nullptr> {
    static constexpr HandlerEntry entry = {nullptr, nullptr};
};

template <InstructionHandler handler>
constexpr HandlerEntry armEntry = EntryOf<false, handler>::entry;
template <InstructionHandler handler>
constexpr HandlerEntry thumbEntry = EntryOf<true, handler>::entry;

// Stamps out a family's entries at compile time, for ARM or THUMB (THUMB set): entry key holds
// Pick's operator()<key>() (one template instantiation, or nullptr where the key is unassigned)
// and its twin.
template <bool thumb, u32 count, typename Pick>
consteval std::array<HandlerEntry, count> stampHandlers(Pick) {
    return []<u32... key>(std::integer_sequence<u32, key...>) {
        return std::array<HandlerEntry, count>{
            EntryOf<thumb, Pick{}.template operator()<key>()>::entry...};
    }
    (std::make_integer_sequence<u32, count>{});
}

template <u32 count, typename Pick>
consteval std::array<HandlerEntry, count> stampArmHandlers(Pick pick) {
    return stampHandlers<false, count>(pick);
}

template <u32 count, typename Pick>
consteval std::array<HandlerEntry, count> stampThumbHandlers(Pick pick) {
    return stampHandlers<true, count>(pick);
}

// Calls FUNCTION out of line: the rare half of a handler (a transfer through the bus, a write
// to R15 that may switch modes), so that the common path stays free of calls and of the
// register saves a call needs.
template <auto function, typename... Args>
[[gnu::noinline]] void outOfLine(Args... args) {
    function(args...);
}

void fillConditionHandlers(); // cpu/execution.cpp
void fillArmHandlers();       // cpu/arm_table.cpp
void fillThumbHandlers();     // cpu/thumb_table.cpp

void buildHandlerTables();
