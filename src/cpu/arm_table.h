// Which instruction family each armHandlers slot belongs to. The classification is a pure
// procedure of the slot index, kept apart from filling the table so that tests and debugging
// tools can use it on its own.
#pragma once

#include "common/types.h"

enum class ArmFamily : u8 {
    undefined,               // coprocessor space and unassigned encodings
    dataProcessingRegister,  // bits 27-20 = 0x00-0x1F
    dataProcessingImmediate, // bits 27-20 = 0x20-0x3F
    statusRead,              // MRS (0x10, 0x14)
    statusWrite,             // MSR, register or immediate operand (0x12, 0x16, 0x32, 0x36)
    noOperation,             // 0x30, 0x34
    singleTransfer,          // LDR, STR, LDRB, STRB
    halfwordTransfer,        // LDRH, STRH
    signedByteLoad,          // LDRSB
    signedHalfwordLoad,      // LDRSH
    swap,                    // SWP, SWPB
    blockTransfer,           // LDM, STM
    multiply,                // MUL, MLA
    multiplyLong,            // UMULL, UMLAL, SMULL, SMLAL
    branch,                  // B
    branchWithLink,          // BL
    branchExchange,          // BX
    softwareInterrupt,       // SWI
};

// Index as in armHandlers: bits 0-7 = opcode bits 27-20, bits 8-11 = opcode bits 7-4.
ArmFamily classifyArm(u32 index);
