#include <gtest/gtest.h>

#include <map>
#include <set>

#include "cpu/dispatch.h"
#include "cpu/thumb_table.h"

namespace {

using F = ThumbFamily;

u32 indexOf(u32 opcode) {
    return thumbIndex(opcode);
}

TEST(ThumbTableTest, ClassifiesEachFormat) {
    struct Case {
        u32 opcode;
        ThumbFamily family;
    } cases[] = {
        {0x0000, F::ShiftImmediate},
        {0x17FF, F::ShiftImmediate},
        {0x1800, F::AddSubtract},
        {0x1FFF, F::AddSubtract},
        {0x2000, F::ImmediateOperation},
        {0x3FFF, F::ImmediateOperation},
        {0x4000, F::AluOperation},
        {0x43FF, F::AluOperation},
        {0x4440, F::HighRegisterOperation},
        {0x46FF, F::HighRegisterOperation},
        {0x4700, F::BranchExchange},
        {0x4778, F::BranchExchange},
        {0x4800, F::PcRelativeLoad},
        {0x4FFF, F::PcRelativeLoad},
        {0x5000, F::LoadStoreRegisterOffset},
        {0x5DFF, F::LoadStoreRegisterOffset},
        {0x5200, F::LoadStoreSignExtended},
        {0x5FFF, F::LoadStoreSignExtended},
        {0x6000, F::LoadStoreImmediate},
        {0x7FFF, F::LoadStoreImmediate},
        {0x8000, F::LoadStoreHalfword},
        {0x8FFF, F::LoadStoreHalfword},
        {0x9000, F::SpRelativeLoadStore},
        {0x9FFF, F::SpRelativeLoadStore},
        {0xA000, F::LoadAddress},
        {0xAFFF, F::LoadAddress},
        {0xB000, F::AdjustStack},
        {0xB0FF, F::AdjustStack},
        {0xB400, F::PushPop},
        {0xB5FF, F::PushPop},
        {0xBC00, F::PushPop},
        {0xBDFF, F::PushPop},
        {0xC000, F::MultipleLoadStore},
        {0xCFFF, F::MultipleLoadStore},
        {0xD000, F::ConditionalBranch},
        {0xDDFF, F::ConditionalBranch},
        {0xDF00, F::SoftwareInterrupt},
        {0xDFFF, F::SoftwareInterrupt},
        {0xE000, F::UnconditionalBranch},
        {0xE7FF, F::UnconditionalBranch},
        {0xF000, F::LongBranchLink},
        {0xFFFF, F::LongBranchLink},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classifyThumb(indexOf(c.opcode)), c.family) << std::hex << c.opcode;
    }
}

TEST(ThumbTableTest, LeavesTheUnassignedEncodingsUndefined) {
    for (u32 opcode : {
             0x4400u, 0x4500u, 0x4600u,                   // ADD, CMP, MOV with H1 = H2 = 0
             0x4780u, 0x47C0u,                            // BX with H1 set
             0xB100u, 0xB200u, 0xB600u, 0xBE00u, 0xBF00u, // gaps among the stack operations
             0xDE00u, 0xDEFFu,                            // condition 14
             0xE800u, 0xEFFFu,                            // 11101...
         }) {
        EXPECT_EQ(classifyThumb(indexOf(opcode)), F::Undefined) << std::hex << opcode;
    }
    u32 undefinedCount = 0;
    for (u32 index = 0; index < 1024; ++index) {
        undefinedCount += classifyThumb(index) == F::Undefined;
    }
    // 5 high-register slots, 44 in 1011xxxx, 4 for condition 14, 32 for 11101.
    EXPECT_EQ(undefinedCount, 85u);
}

// Where runs chain, every handler has a twin of its own, in every slot that holds the handler.
TEST(ThumbTableTest, EachHandlerHasOneChainedTwin) {
    fillThumbHandlers();
    std::map<InstructionHandler, ChainedHandler> twins;
    std::set<ChainedHandler> distinct;
    for (u32 index = 0; index < 1024; ++index) {
        EXPECT_EQ(thumbChainedHandlers[index] != nullptr, chainedDispatch) << index;
        const auto [twin, added] = twins.emplace(thumbHandlers[index], thumbChainedHandlers[index]);
        EXPECT_EQ(twin->second, thumbChainedHandlers[index]) << index;
        distinct.insert(thumbChainedHandlers[index]);
    }
    EXPECT_EQ(distinct.size(), chainedDispatch ? twins.size() : 1u);
}

TEST(ThumbTableTest, FillsEverySlotFromItsFamily) {
    fillThumbHandlers();
    std::set<InstructionHandler> distinct;
    for (u32 index = 0; index < 1024; ++index) {
        ASSERT_NE(thumbHandlers[index], nullptr) << index;
        EXPECT_EQ(thumbHandlers[index] == thumbUndefined, classifyThumb(index) == F::Undefined)
            << index;
        distinct.insert(thumbHandlers[index]);
    }
    // One handler per selecting combination: 96 shifts, 32 ADD/SUB, 32 immediate, 16 ALU,
    // 9 high-register, 2 BX, 8 PC-relative, 64 register-offset, 4 + 2 immediate-offset, 16
    // SP-relative, 16 address, 2 stack adjust, 4 push/pop, 16 multiple, 14 + 1 + 1 branches,
    // 2 BL halves, and the undefined handler.
    EXPECT_EQ(distinct.size(),
              96u + 32 + 32 + 16 + 9 + 2 + 8 + 64 + 6 + 16 + 16 + 2 + 4 + 16 + 16 + 2 + 1);
}

TEST(ThumbTableTest, SharesHandlersOnlyAcrossOperandBits) {
    fillThumbHandlers();
    auto handler = [](u32 opcode) { return thumbHandlers[indexOf(opcode)]; };
    // Immediate bits in the index share one handler...
    EXPECT_EQ(handler(0x2000), handler(0x20C0)); // MOV R0, #imm8
    EXPECT_EQ(handler(0x6000), handler(0x67C0)); // STR Rd, [Rb, #imm5]
    EXPECT_EQ(handler(0xB400), handler(0xB4C0)); // PUSH list bits 7-6
    EXPECT_EQ(handler(0xD000), handler(0xD0C0)); // BEQ offset bits 7-6
    EXPECT_EQ(handler(0xE000), handler(0xE7C0)); // B
    // ...while registers, operations and conditions in the index get their own.
    EXPECT_NE(handler(0x2000), handler(0x2100)); // MOV R0 / MOV R1
    EXPECT_NE(handler(0x1800), handler(0x1840)); // ADD Rd, Rs, R0 / R1
    EXPECT_NE(handler(0x0000), handler(0x0040)); // LSL #0 / #1
    EXPECT_NE(handler(0x4440), handler(0x4480)); // ADD H2 / H1
    EXPECT_NE(handler(0xD000), handler(0xD100)); // BEQ / BNE
    EXPECT_NE(handler(0xF000), handler(0xF800)); // BL halves
}

} // namespace
