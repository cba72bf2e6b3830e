// What the instruction runs note for later: the fetch windows of the ARM and THUMB runs, the
// armed idle loop and a branch of loop shape waiting to be looked at. None of it is the
// machine's state: it all follows from CpuState and the memories, so a saved state leaves it
// out and forgetExecutionNotes empties it after a reset or a load. Owned by cpu/execution.cpp
// and cpu/poll_loops.cpp.
#pragma once

#include "common/types.h"
#include "cpu/fetch.h"

// An idle loop timed once and then charged by arithmetic (cpu/poll_loops.h).
struct PollLoop {
    bool armed = false;
    bool thumb = false;
    u32 start = 0;     // address of the load, or of a branch to itself
    u32 length = 0;    // instructions: 3, or 1 for a branch to itself
    s32 costs[3] = {}; // cycles of the load, the compare and the taken branch
};

// A taken or untaken branch of loop shape, noted by the branch handlers (the only ones that can
// close an idle loop); the run of instructions stops after it and looks at the loop.
struct LoopBranchNote {
    bool pending = false;
    u32 opcode = 0;
    u32 address = 0;
};

struct ExecutionNotes {
    // Kept from run to run: where a window lies and what backs it depend on the address alone.
    FetchWindow armWindow;
    FetchWindow thumbWindow;
    PollLoop pollLoop;
    LoopBranchNote loopBranchNote;
};

extern ExecutionNotes executionNotes;

// Empty windows, no armed loop, no branch waiting.
void forgetExecutionNotes();
