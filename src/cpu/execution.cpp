#include "cpu/execution.h"

#include "cpu/conditions.h"
#include "cpu/dispatch.h"
#include "cpu/fetch.h"
#include "cpu/interrupts.h"
#include "cpu/poll_loops.h"

#include "machine/bus.h"
#include "machine/gba_system.h"
#include <utility>

ExecutionNotes executionNotes;
InstructionHandler conditionHandlers[16];
InstructionHandler armHandlers[4096];
InstructionHandler thumbHandlers[1024];
ChainedHandler armChainedHandlers[4096];
ChainedHandler armChainTable[65536];
ChainedHandler thumbChainedHandlers[1024];

namespace {

// A failed condition costs one cycle; R15 already points at the next instruction.
template <u32 condition>
void conditionHandler(u32 opcode) {
    if (conditionPasses<condition>(gba.cpu.cpsr)) {
        armHandlers[armIndex(opcode)](opcode);
    } else {
        gba.cpu.cycleBalance -= 1;
    }
}

void alwaysHandler(u32 opcode) {
    armHandlers[armIndex(opcode)](opcode);
}

// Condition 15 does nothing and costs nothing.
void neverHandler(u32) {}

template <u32... conditions>
void fillConditions(std::integer_sequence<u32, conditions...>) {
    ((conditionHandlers[conditions] = conditionHandler<conditions>), ...);
}

// One ARM instruction at PC, as a step of the loop that runs where runs do not chain: fetched
// through the window, R15 moved on, the condition tested, the handler. Returns the address of
// the next instruction.
inline u32 executeArm(CpuState& cpu, FetchWindow& window, u32 pc) {
    const u32 opcode = fetchArmInline(window, pc);
    cpu.registers[15] = pc + 4;
    if (armConditionPasses(opcode, cpu.cpsr)) {
        armHandlers[armIndex(opcode)](opcode);
        return followingInstruction<4>(cpu, pc);
    }
    cpu.cycleBalance -= armConditionCost(opcode);
    return pc + 4;
}

inline u32 executeThumb(CpuState& cpu, FetchWindow& window, u32 pc) {
    const u32 opcode = fetchThumbInline(window, pc);
    cpu.registers[15] = pc + 2;
    thumbHandlers[thumbIndex(opcode)](opcode);
    return followingInstruction<2>(cpu, pc);
}

} // namespace

void continueArmRunElsewhere(u32, u32 pc) {
    dispatchArm(fetchArm(executionNotes.armWindow, pc), pc);
}

void continueThumbRunElsewhere(u32, u32 pc) {
    dispatchThumb(fetchThumb(executionNotes.thumbWindow, pc), pc);
}

namespace {

// Runs the turn of the idle loop of LENGTH instructions at START instruction by instruction,
// timing each, and arms the loop when the turn ends back at START with nothing due. Gives up,
// unarmed, where the slice runs out first.
bool timeLoopTurn(CpuState& cpu, FetchWindow& window, u32 start, u32 length, bool thumb) {
    const u32 unit = thumb ? 2 : 4;
    PollLoop loop{true, thumb, start, length, {}};
    for (u32 k = 0; k < length; ++k) {
        if (cpu.cycleBalance <= 0 || cpu.irqEntryDue || cpu.registers[15] != start + k * unit) {
            return false;
        }
        const s32 before = cpu.cycleBalance;
        if (thumb) {
            executeThumb(cpu, window, cpu.registers[15]);
        } else {
            executeArm(cpu, window, cpu.registers[15]);
        }
        loop.costs[k] = before - cpu.cycleBalance;
    }
    if (cpu.irqEntryDue || cpu.registers[15] != start) {
        return false;
    }
    executionNotes.pollLoop = loop;
    return true;
}

// After a branch of loop shape at PC (opcode OPCODE) was taken: a branch to itself in plain
// memory, or a qualifying poll loop, is timed and armed. Returns true when the loop was armed,
// so that the slice goes on by arithmetic.
[[gnu::noinline]] bool afterLoopBranch(CpuState& cpu, FetchWindow& window, u32 opcode, u32 pc,
                                       bool thumb) {
    if (thumb ? isThumbSelfBranch(opcode) : isArmSelfBranch(opcode)) {
        return cpu.registers[15] == pc && window.holds(pc) &&
               timeLoopTurn(cpu, window, pc, 1, thumb);
    }
    const u32 start = pc - (thumb ? 4 : 8);
    if (cpu.registers[15] != start) {
        return false;
    }
    const bool qualifies =
        thumb ? thumbPollLoopQualifies(window, pc) : armPollLoopQualifies(window, pc);
    return qualifies && timeLoopTurn(cpu, window, start, 3, thumb);
}

// The instructions of one set until the balance is down to the stop level.
template <bool thumb>
void runInstructions(CpuState& cpu, FetchWindow& window) {
    if constexpr (chainedDispatch && thumb) {
        continueRun<2, false>(cpu.registers[15]);
    } else if constexpr (chainedDispatch) {
        continueRun<4, false>(cpu.registers[15]);
    } else {
        // The window in a local, which the compiler can keep in registers.
        FetchWindow local = window;
        u32 pc = cpu.registers[15];
        while (cpu.cycleBalance > cpu.runStopLevel) {
            pc = thumb ? executeThumb(cpu, local, pc) : executeArm(cpu, local, pc);
        }
        window = local;
    }
}

// The instructions of one set until the slice runs out, the state changes or an idle loop is
// armed. A branch of loop shape stops the run (the stop level) to have its loop looked at.
template <bool thumb>
void runInstructionSet() {
    CpuState& cpu = gba.cpu;
    FetchWindow& window = thumb ? executionNotes.thumbWindow : executionNotes.armWindow;
    LoopBranchNote& branchNote = executionNotes.loopBranchNote;
    branchNote.pending = false;
    for (;;) {
        cpu.runStopLevel = 0;
        runInstructions<thumb>(cpu, window);
        if (!branchNote.pending) {
            break;
        }
        const LoopBranchNote note = branchNote;
        branchNote.pending = false;
        const bool armed = afterLoopBranch(cpu, window, note.opcode, note.address, thumb);
        // Timing the loop's turn ran its branch again.
        branchNote.pending = false;
        if (armed || cpu.armState == thumb || cpu.irqEntryDue) {
            break;
        }
    }
}

// The twin of condition CONDITION (0-13) in a run: on to the handler's twin when the condition
// passes, on to the next instruction for a cycle when it fails.
template <u32 condition>
void chainedCondition(u32 opcode, u32 pc) {
    CpuState& cpu = gba.cpu;
    if (conditionPasses<condition>(cpu.cpsr)) {
        return armChainTable[(armChainIndex(opcode) & 0xFFF) | 14u << 12](opcode, pc);
    }
    cpu.registers[15] = pc + 4;
    cpu.cycleBalance -= 1;
    continueRun<4, true>(pc + 4);
}

// Condition 15: on to the next instruction, for nothing.
void chainedNever(u32, u32 pc) {
    gba.cpu.registers[15] = pc + 4;
    continueRun<4, true>(pc + 4);
}

// A slot here is opcode bits 27-20 x 16 + bits 7-4; armChainedHandlers has the two fields the
// other way round.
template <u32... conditions>
void fillChainConditions(std::integer_sequence<u32, conditions...>) {
    for (u32 slot = 0; slot < 4096; ++slot) {
        ((armChainTable[conditions << 12 | slot] = chainedCondition<conditions>), ...);
        armChainTable[14u << 12 | slot] = armChainedHandlers[(slot >> 4) | (slot & 15) << 8];
        armChainTable[15u << 12 | slot] = chainedNever;
    }
}

} // namespace

void fillConditionHandlers() {
    fillConditions(std::make_integer_sequence<u32, 14>{});
    conditionHandlers[14] = alwaysHandler;
    conditionHandlers[15] = neverHandler;
    fillChainConditions(std::make_integer_sequence<u32, 14>{});
}

void buildHandlerTables() {
    fillArmHandlers();
    fillThumbHandlers();
    fillConditionHandlers();
}

void forgetExecutionNotes() {
    executionNotes = {};
}

void executeOneInstruction() {
    CpuState& cpu = gba.cpu;
    cpu.insideRun = true;
    u32 pc = cpu.registers[15];
    if (cpu.armState) {
        const u32 opcode = busRead32(pc);
        cpu.registers[15] = pc + 4;
        conditionHandlers[opcode >> 28](opcode);
    } else {
        const u32 opcode = busRead16(pc);
        cpu.registers[15] = pc + 2;
        thumbHandlers[thumbIndex(opcode)](opcode);
    }
    cpu.insideRun = false;
    if (cpu.irqEntryDue) {
        takeDueInterrupt();
    }
}

void runCpuSlices(u32 count) {
    CpuState& cpu = gba.cpu;
    cpu.cycleBalance += 64 * static_cast<s32>(count);
    cpu.insideRun = true;
    while (cpu.cycleBalance > 0) {
        if (executionNotes.pollLoop.armed) {
            spinPollLoop();
        } else if (cpu.armState) {
            runInstructionSet<false>();
        } else {
            runInstructionSet<true>();
        }
        if (cpu.irqEntryDue) {
            takeDueInterrupt();
        }
    }
    cpu.insideRun = false;
}

void runCpuSlice() {
    runCpuSlices(1);
}
