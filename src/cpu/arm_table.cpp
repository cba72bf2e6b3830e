#include "cpu/arm_table.h"

#include "cpu/arm_handlers.h"
#include "cpu/dispatch.h"

ArmFamily classifyArm(u32 index) {
    const u32 high = index & 0xFF;      // opcode bits 27-20
    const u32 low = (index >> 8) & 0xF; // opcode bits 7-4

    // Multiplies, swaps, halfword transfers and BX hide in the data-processing rows, told
    // apart by bits 7-4.
    if (low == 0x9) {
        if (high <= 0x03) {
            return ArmFamily::multiply;
        }
        if (high >= 0x08 && high <= 0x0F) {
            return ArmFamily::multiplyLong;
        }
        if (high == 0x10 || high == 0x14) {
            return ArmFamily::swap;
        }
    }
    if (high <= 0x1F) {
        const bool load = high & 1;
        if (low == 0xB) {
            return ArmFamily::halfwordTransfer;
        }
        if (low == 0xD && load) {
            return ArmFamily::signedByteLoad;
        }
        if (low == 0xF && load) {
            return ArmFamily::signedHalfwordLoad;
        }
        if (low == 0x1 && high == 0x12) {
            return ArmFamily::branchExchange;
        }
    }

    // The compare slots without S carry the status register transfers.
    if (high == 0x10 || high == 0x14) {
        return ArmFamily::statusRead;
    }
    if (high == 0x12 || high == 0x16 || high == 0x32 || high == 0x36) {
        return ArmFamily::statusWrite;
    }
    if (high == 0x30 || high == 0x34) {
        return ArmFamily::noOperation;
    }

    if (high <= 0x1F) {
        return ArmFamily::dataProcessingRegister;
    }
    if (high <= 0x3F) {
        return ArmFamily::dataProcessingImmediate;
    }
    if (high <= 0x7F) {
        return ArmFamily::singleTransfer;
    }
    if (high <= 0x9F) {
        return ArmFamily::blockTransfer;
    }
    if (high <= 0xAF) {
        return ArmFamily::branch;
    }
    if (high <= 0xBF) {
        return ArmFamily::branchWithLink;
    }
    if (high >= 0xF0) {
        return ArmFamily::softwareInterrupt;
    }
    return ArmFamily::undefined; // 0xC0-0xEF: coprocessor space
}

namespace {

HandlerEntry selectHandler(ArmFamily family, u32 index) {
    switch (family) {
    case ArmFamily::dataProcessingRegister:
    case ArmFamily::dataProcessingImmediate: return selectDataProcessing(index);
    case ArmFamily::statusRead:
    case ArmFamily::statusWrite: return selectPsrTransfer(index);
    case ArmFamily::noOperation: return selectNoOperation(index);
    case ArmFamily::singleTransfer: return selectSingleTransfer(index);
    case ArmFamily::halfwordTransfer:
    case ArmFamily::signedByteLoad:
    case ArmFamily::signedHalfwordLoad: return selectHalfwordTransfer(index);
    case ArmFamily::swap: return selectSwap(index);
    case ArmFamily::blockTransfer: return selectBlockTransfer(index);
    case ArmFamily::multiply:
    case ArmFamily::multiplyLong: return selectMultiply(index);
    case ArmFamily::branch:
    case ArmFamily::branchWithLink: return selectBranch(index);
    case ArmFamily::branchExchange: return selectBranchExchange(index);
    case ArmFamily::softwareInterrupt: return selectSoftwareInterrupt(index);
    case ArmFamily::undefined: break;
    }
    return armEntry<armUndefined>;
}

} // namespace

void fillArmHandlers() {
    for (u32 index = 0; index < 4096; ++index) {
        const HandlerEntry entry = selectHandler(classifyArm(index), index);
        armHandlers[index] = entry.handler;
        armChainedHandlers[index] = entry.chained;
    }
}

void armUndefined(u32) {
    gba.cpu.cycleBalance -= 64;
}
