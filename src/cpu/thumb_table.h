// Which THUMB instruction family an entry of thumbHandlers (index = opcode bits 15-6) holds.
// The classification is kept apart from filling the table so that tests and debugging tools
// can ask it directly.
#pragma once

#include "common/types.h"

enum class ThumbFamily {
    Undefined,
    ShiftImmediate,          // LSL, LSR, ASR Rd, Rs, #n
    AddSubtract,             // ADD, SUB Rd, Rs, Rn / #imm3
    ImmediateOperation,      // MOV, CMP, ADD, SUB Rd, #imm8
    AluOperation,            // the sixteen register-to-register operations
    HighRegisterOperation,   // ADD, CMP, MOV with at least one of R8-R15
    BranchExchange,          // BX Rs / Hs
    PcRelativeLoad,          // LDR Rd, [PC, #imm]
    LoadStoreRegisterOffset, // STR, STRB, LDR, LDRB Rd, [Rb, Ro]
    LoadStoreSignExtended,   // STRH, LDSB, LDRH, LDSH Rd, [Rb, Ro]
    LoadStoreImmediate,      // STR, LDR, STRB, LDRB Rd, [Rb, #imm]
    LoadStoreHalfword,       // STRH, LDRH Rd, [Rb, #imm]
    SpRelativeLoadStore,     // STR, LDR Rd, [SP, #imm]
    LoadAddress,             // ADD Rd, PC / SP, #imm
    AdjustStack,             // ADD / SUB SP, #imm
    PushPop,                 // PUSH {list[, LR]}, POP {list[, PC]}
    MultipleLoadStore,       // STMIA, LDMIA Rb!, {list}
    ConditionalBranch,       // B<cond>, conditions 0-13
    SoftwareInterrupt,       // SWI
    UnconditionalBranch,     // B
    LongBranchLink,          // BL, either half
};

// Family of table index INDEX (0-1023).
ThumbFamily classifyThumb(u32 index);

// Every unassigned encoding: costs 1024 cycles and does nothing else (no exception).
void thumbUndefined(u32 opcode);
