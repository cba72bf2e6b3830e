// Idle loops: a branch to itself, and poll loops (a load, a compare of the loaded register with
// an immediate, and a conditional branch back to the load), as programs wait for an interrupt,
// a scanline, a display flag or a button. A branch to itself reads nothing; a poll loop
// qualifies when the loaded word can change only between calls of the scheduler (VCOUNT,
// DISPSTAT, KEYINPUT) or through an interrupt or a DMA transfer (work, internal, palette,
// video and sprite memory). Then every turn does and costs the same until one of those
// happens. Once one turn has been run and timed instruction by instruction, the loop is armed
// and the CPU's slices are charged by arithmetic instead of by executing it. Whatever may
// change the loaded word or move the CPU out of the loop disarms it: the next scheduler call,
// a DMA slice, an interrupt entry, a reset.
#pragma once

#include "common/types.h"
#include "cpu/cpu_state.h"
#include "cpu/execution_notes.h"
#include "cpu/fetch.h"
#include "machine/gba_system.h"

inline void disarmPollLoop() {
    executionNotes.pollLoop.armed = false;
}

// Whether the loop closed by the poll branch at BRANCH, just taken back to BRANCH minus two
// instructions, has the shape of a poll loop and loads from a word that qualifies. The code
// must lie in plain memory, read through WINDOW.
bool armPollLoopQualifies(FetchWindow& window, u32 branch);
bool thumbPollLoopQualifies(FetchWindow& window, u32 branch);

// B<cond> (or B) to itself.
constexpr bool isArmSelfBranch(u32 opcode) {
    return (opcode & 0x0FFFFFFF) == 0x0AFFFFFE;
}

// B and B<cond> with the offset -2 halfwords; 0xDEFE and 0xDFFE are not branches.
constexpr bool isThumbSelfBranch(u32 opcode) {
    return opcode == 0xE7FE || ((opcode & 0xF0FF) == 0xD0FE && opcode < 0xDEFE);
}

// B<cond> back over two instructions, AL excluded.
constexpr bool isArmPollBranch(u32 opcode) {
    return (opcode & 0x0FFFFFFF) == 0x0AFFFFFC && opcode >> 28 < 14;
}

constexpr bool isThumbPollBranch(u32 opcode) {
    return (opcode & 0xF0FF) == 0xD0FC && opcode < 0xDE00;
}

// One mask test per branch that lets through every self or poll branch (and few other
// words): the B encodings with the offsets -2 and -4 words, and, in THUMB, the words of
// 0xC000-0xFFFF ending in 0xFC or 0xFE. The exact tests above follow for those.
constexpr bool mayCloseArmLoop(u32 opcode) {
    return (opcode & 0x0FFFFFFD) == 0x0AFFFFFC;
}

constexpr bool mayCloseThumbLoop(u32 opcode) {
    return (opcode & 0xC0FD) == 0xC0FC;
}

// Notes the ARM branch OPCODE at ADDRESS when it may close an idle loop. Stores only, so that
// the branch handlers stay free of calls.
inline void noteArmLoopBranch(u32 opcode, u32 address) {
    if (mayCloseArmLoop(opcode) && (isArmSelfBranch(opcode) || isArmPollBranch(opcode)))
        [[unlikely]] {
        executionNotes.loopBranchNote = {true, opcode, address};
        gba.cpu.runStopLevel = stopRun;
    }
}

inline void noteThumbLoopBranch(u32 opcode, u32 address) {
    if (mayCloseThumbLoop(opcode) && (isThumbSelfBranch(opcode) || isThumbPollBranch(opcode)))
        [[unlikely]] {
        executionNotes.loopBranchNote = {true, opcode, address};
        gba.cpu.runStopLevel = stopRun;
    }
}

// Whether the loop is armed and R15 stands in it, so that spinPollLoop charges its turns.
inline bool pollLoopHoldsCpu(u32 pc, bool armState) {
    const PollLoop& loop = executionNotes.pollLoop;
    const u32 unit = loop.thumb ? 2 : 4;
    return loop.armed && pc - loop.start < loop.length * unit && armState != loop.thumb;
}

// Charges the armed loop's turns from where R15 stands in it until the balance runs out, and
// leaves R15 at the instruction the slice ends before. Disarms instead when R15 is not in the
// loop.
void spinPollLoop();
