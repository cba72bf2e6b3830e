// The THUMB handler families, each stamped out once per combination of the table-index bits
// that select its behaviour. Each array is indexed by the sub-index noted beside it, taken
// from the table index (opcode bits 15-6); thumb_table.cpp places them.
#pragma once

#include <array>

#include "cpu/dispatch.h"

// thumb_alu.cpp
extern const std::array<HandlerEntry, 96> thumbShiftImmediateHandlers; // op*32 + n
extern const std::array<HandlerEntry, 32> thumbAddSubtractHandlers;    // I, op, Rn/imm3
extern const std::array<HandlerEntry, 32> thumbImmediateHandlers;      // op*8 + Rd
extern const std::array<HandlerEntry, 16> thumbAluHandlers;            // op
// op*4 + H1*2 + H2; op 3 is BX; nullptr where unassigned
extern const std::array<HandlerEntry, 16> thumbHighRegisterHandlers;
extern const std::array<HandlerEntry, 16> thumbLoadAddressHandlers; // SP*8 + Rd
extern const std::array<HandlerEntry, 2> thumbAdjustStackHandlers;  // subtract

// thumb_load_store.cpp
extern const std::array<HandlerEntry, 8> thumbPcRelativeLoadHandlers;     // Rd
extern const std::array<HandlerEntry, 64> thumbRegisterOffsetHandlers;    // L,B,H*8 + Ro
extern const std::array<HandlerEntry, 4> thumbImmediateOffsetHandlers;    // B*2 + L
extern const std::array<HandlerEntry, 2> thumbHalfwordImmediateHandlers;  // L
extern const std::array<HandlerEntry, 16> thumbSpRelativeHandlers;        // L*8 + Rd
extern const std::array<HandlerEntry, 4> thumbPushPopHandlers;            // L*2 + R
extern const std::array<HandlerEntry, 16> thumbMultipleLoadStoreHandlers; // L*8 + Rb

// thumb_branch.cpp
extern const std::array<HandlerEntry, 14> thumbConditionalBranchHandlers; // condition
extern const std::array<HandlerEntry, 2> thumbLongBranchHandlers;         // H
void thumbSoftwareInterrupt(u32 opcode);
void thumbBranch(u32 opcode);
