#include "cpu/thumb_table.h"

#include <cassert>

#include "cpu/dispatch.h"
#include "cpu/thumb_handlers.h"

// Index bit k is opcode bit k + 6.
ThumbFamily classifyThumb(u32 index) {
    index &= 0x3FF;
    u32 top3 = index >> 7; // opcode bits 15-13
    u32 bit12 = (index >> 6) & 1;
    switch (top3) {
    case 0: // 000: shifts, or ADD/SUB where bits 12-11 are 11
        return ((index >> 5) & 3) == 3 ? ThumbFamily::AddSubtract : ThumbFamily::ShiftImmediate;
    case 1: return ThumbFamily::ImmediateOperation;
    case 2: {
        u32 bits12to10 = (index >> 4) & 7;
        if (bits12to10 == 0) {
            return ThumbFamily::AluOperation;
        }
        if (bits12to10 == 1) {
            u32 op = (index >> 2) & 3, h1 = (index >> 1) & 1, h2 = index & 1;
            if (op == 3) {
                return h1 == 0 ? ThumbFamily::BranchExchange : ThumbFamily::Undefined;
            }
            return (h1 | h2) != 0 ? ThumbFamily::HighRegisterOperation : ThumbFamily::Undefined;
        }
        if (bits12to10 <= 3) {
            return ThumbFamily::PcRelativeLoad;
        }
        // 0101: opcode bit 9 tells the word/byte forms from the halfword/signed ones.
        return ((index >> 3) & 1) ? ThumbFamily::LoadStoreSignExtended
                                  : ThumbFamily::LoadStoreRegisterOffset;
    }
    case 3: return ThumbFamily::LoadStoreImmediate;
    case 4: return bit12 ? ThumbFamily::SpRelativeLoadStore : ThumbFamily::LoadStoreHalfword;
    case 5: {
        if (!bit12) {
            return ThumbFamily::LoadAddress;
        }
        u32 bits11to8 = (index >> 2) & 0xF;
        if (bits11to8 == 0) {
            return ThumbFamily::AdjustStack;
        }
        // 1011 L10R: PUSH and POP.
        return (bits11to8 & 6) == 4 ? ThumbFamily::PushPop : ThumbFamily::Undefined;
    }
    case 6: {
        if (!bit12) {
            return ThumbFamily::MultipleLoadStore;
        }
        u32 condition = (index >> 2) & 0xF;
        if (condition == 15) {
            return ThumbFamily::SoftwareInterrupt;
        }
        return condition == 14 ? ThumbFamily::Undefined : ThumbFamily::ConditionalBranch;
    }
    default: { // 111: bits 12-11 = 00 B, 01 unassigned, 10 and 11 the BL halves
        u32 bits12to11 = (index >> 5) & 3;
        if (bits12to11 == 0) {
            return ThumbFamily::UnconditionalBranch;
        }
        return bits12to11 == 1 ? ThumbFamily::Undefined : ThumbFamily::LongBranchLink;
    }
    }
}

namespace {

// The handler for INDEX, chosen by its family and the index bits that select behaviour.
HandlerEntry thumbHandlerFor(u32 index) {
    switch (classifyThumb(index)) {
    case ThumbFamily::Undefined: return thumbEntry<thumbUndefined>;
    case ThumbFamily::ShiftImmediate: return thumbShiftImmediateHandlers[index & 0x7F];
    case ThumbFamily::AddSubtract: return thumbAddSubtractHandlers[index & 0x1F];
    case ThumbFamily::ImmediateOperation: return thumbImmediateHandlers[(index >> 2) & 0x1F];
    case ThumbFamily::AluOperation: return thumbAluHandlers[index & 0xF];
    case ThumbFamily::HighRegisterOperation:
    case ThumbFamily::BranchExchange: return thumbHighRegisterHandlers[index & 0xF];
    case ThumbFamily::PcRelativeLoad: return thumbPcRelativeLoadHandlers[(index >> 2) & 7];
    case ThumbFamily::LoadStoreRegisterOffset:
    case ThumbFamily::LoadStoreSignExtended: return thumbRegisterOffsetHandlers[index & 0x3F];
    case ThumbFamily::LoadStoreImmediate: return thumbImmediateOffsetHandlers[(index >> 5) & 3];
    case ThumbFamily::LoadStoreHalfword: return thumbHalfwordImmediateHandlers[(index >> 5) & 1];
    case ThumbFamily::SpRelativeLoadStore: return thumbSpRelativeHandlers[(index >> 2) & 0xF];
    case ThumbFamily::LoadAddress: return thumbLoadAddressHandlers[(index >> 2) & 0xF];
    case ThumbFamily::AdjustStack: return thumbAdjustStackHandlers[(index >> 1) & 1];
    case ThumbFamily::PushPop: return thumbPushPopHandlers[((index >> 4) & 2) | ((index >> 2) & 1)];
    case ThumbFamily::MultipleLoadStore: return thumbMultipleLoadStoreHandlers[(index >> 2) & 0xF];
    case ThumbFamily::ConditionalBranch: return thumbConditionalBranchHandlers[(index >> 2) & 0xF];
    case ThumbFamily::SoftwareInterrupt: return thumbEntry<thumbSoftwareInterrupt>;
    case ThumbFamily::UnconditionalBranch: return thumbEntry<thumbBranch>;
    case ThumbFamily::LongBranchLink: return thumbLongBranchHandlers[(index >> 5) & 1];
    }
    return thumbEntry<thumbUndefined>;
}

} // namespace

void fillThumbHandlers() {
    for (u32 index = 0; index < 1024; ++index) {
        const HandlerEntry entry = thumbHandlerFor(index);
        assert(entry.handler != nullptr && (entry.chained != nullptr || !chainedDispatch));
        thumbHandlers[index] = entry.handler;
        thumbChainedHandlers[index] = entry.chained;
    }
}
