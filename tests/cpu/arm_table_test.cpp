#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "cpu/arm_table.h"
#include "cpu/dispatch.h"
#include "machine/gba_system.h"
#include "support/test_support.h"

namespace {

class ArmTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetMachine();
    }
};

InstructionHandler handlerOf(u32 opcode) {
    return armHandlers[armIndex(opcode)];
}

TEST(ArmClassification, RealEncodingsLandInTheirFamilies) {
    struct Sample {
        u32 opcode;
        ArmFamily family;
    };
    const Sample samples[] = {
        {0xE08F0211, ArmFamily::dataProcessingRegister},  // add r0, pc, r1, lsl r2
        {0xE2110102, ArmFamily::dataProcessingImmediate}, // ands r0, r1, #0x80000000
        {0xE1500001, ArmFamily::dataProcessingRegister},  // cmp r0, r1
        {0xE10F0000, ArmFamily::statusRead},              // mrs r0, cpsr
        {0xE14F0000, ArmFamily::statusRead},              // mrs r0, spsr
        {0xE129F000, ArmFamily::statusWrite},             // msr cpsr_fc, r0
        {0xE169F000, ArmFamily::statusWrite},             // msr spsr_fc, r0
        {0xE328F20F, ArmFamily::statusWrite},             // msr cpsr_f, #0xF0000000
        {0xE368F205, ArmFamily::statusWrite},             // msr spsr_f, #0x50000000
        {0xE3000000, ArmFamily::noOperation},             // bits 27-20 = 0x30
        {0xE3400000, ArmFamily::noOperation},             // bits 27-20 = 0x34
        {0xE5910001, ArmFamily::singleTransfer},          // ldr r0, [r1, #1]
        {0xE79F0001, ArmFamily::singleTransfer},          // ldr r0, [pc, r1]
        {0xE1D100B2, ArmFamily::halfwordTransfer},        // ldrh r0, [r1, #2]
        {0xE0C100B2, ArmFamily::halfwordTransfer},        // strh r0, [r1], #2
        {0xE1D100D0, ArmFamily::signedByteLoad},          // ldrsb r0, [r1]
        {0xE1D100F1, ArmFamily::signedHalfwordLoad},      // ldrsh r0, [r1, #1]
        {0xE1020091, ArmFamily::swap},                    // swp r0, r1, [r2]
        {0xE1420091, ArmFamily::swap},                    // swpb r0, r1, [r2]
        {0xE8A00003, ArmFamily::blockTransfer},           // stmia r0!, {r0, r1}
        {0xE8FD8001, ArmFamily::blockTransfer},           // ldmfd sp!, {r0, pc}^
        {0xE0000291, ArmFamily::multiply},                // mul r0, r1, r2
        {0xE0203291, ArmFamily::multiply},                // mla r0, r1, r2, r3
        {0xE0810392, ArmFamily::multiplyLong},            // umull r0, r1, r2, r3
        {0xE0F10392, ArmFamily::multiplyLong},            // smlals r0, r1, r2, r3
        {0xEAFFFFFE, ArmFamily::branch},                  // b .
        {0xEB000002, ArmFamily::branchWithLink},          // bl
        {0xE12FFF10, ArmFamily::branchExchange},          // bx r0
        {0xEF000012, ArmFamily::softwareInterrupt},       // swi 0x12
        {0xEE000000, ArmFamily::undefined},               // coprocessor data operation
        {0xEC000000, ArmFamily::undefined},               // coprocessor transfer
        {0xE0400090, ArmFamily::dataProcessingRegister},  // multiply row, not a multiply
        {0xE00000D0, ArmFamily::dataProcessingRegister},  // 1101 with L = 0 stays
        {0xE12FFF30, ArmFamily::statusWrite},             // BX slot with bits 7-4 = 0011
    };
    for (const Sample& sample : samples) {
        EXPECT_EQ(classifyArm(armIndex(sample.opcode)), sample.family)
            << std::hex << "opcode " << sample.opcode;
    }
}

// Counted from the assignment of the slots, independently of the classifier's order of tests.
TEST(ArmClassification, EverySlotBelongsToExactlyTheExpectedNumberOfFamilies) {
    std::map<ArmFamily, u32> counts;
    for (u32 index = 0; index < 4096; ++index) {
        ++counts[classifyArm(index)];
    }
    EXPECT_EQ(counts[ArmFamily::multiply], 4u);
    EXPECT_EQ(counts[ArmFamily::multiplyLong], 8u);
    EXPECT_EQ(counts[ArmFamily::swap], 2u);
    EXPECT_EQ(counts[ArmFamily::halfwordTransfer], 32u);
    EXPECT_EQ(counts[ArmFamily::signedByteLoad], 16u);
    EXPECT_EQ(counts[ArmFamily::signedHalfwordLoad], 16u);
    EXPECT_EQ(counts[ArmFamily::branchExchange], 1u);
    EXPECT_EQ(counts[ArmFamily::statusRead], 28u);
    EXPECT_EQ(counts[ArmFamily::statusWrite], 61u);
    EXPECT_EQ(counts[ArmFamily::noOperation], 32u);
    EXPECT_EQ(counts[ArmFamily::dataProcessingRegister], 376u);
    EXPECT_EQ(counts[ArmFamily::dataProcessingImmediate], 448u);
    EXPECT_EQ(counts[ArmFamily::singleTransfer], 1024u);
    EXPECT_EQ(counts[ArmFamily::blockTransfer], 512u);
    EXPECT_EQ(counts[ArmFamily::branch], 256u);
    EXPECT_EQ(counts[ArmFamily::branchWithLink], 256u);
    EXPECT_EQ(counts[ArmFamily::softwareInterrupt], 256u);
    EXPECT_EQ(counts[ArmFamily::undefined], 768u);
}

TEST_F(ArmTableTest, NoSlotIsLeftEmptyAndOnlyUndefinedSlotsShareTheUndefinedHandler) {
    const InstructionHandler undefinedHandler = handlerOf(0xEE000000);
    for (u32 index = 0; index < 4096; ++index) {
        ASSERT_NE(armHandlers[index], nullptr) << "slot " << index;
        const bool undefinedSlot = classifyArm(index) == ArmFamily::undefined;
        EXPECT_EQ(armHandlers[index] == undefinedHandler, undefinedSlot) << "slot " << index;
    }
}

// Where runs chain, every handler has a twin of its own, in every slot that holds the handler.
TEST_F(ArmTableTest, EachHandlerHasOneChainedTwin) {
    std::map<InstructionHandler, ChainedHandler> twins;
    std::set<ChainedHandler> distinct;
    for (u32 index = 0; index < 4096; ++index) {
        EXPECT_EQ(armChainedHandlers[index] != nullptr, chainedDispatch) << "slot " << index;
        const auto [twin, added] = twins.emplace(armHandlers[index], armChainedHandlers[index]);
        EXPECT_EQ(twin->second, armChainedHandlers[index]) << "slot " << index;
        distinct.insert(armChainedHandlers[index]);
    }
    EXPECT_EQ(distinct.size(), chainedDispatch ? twins.size() : 1u);
}

// An AL instruction's entry in the runs' jump table is its handler's twin; each other condition
// has one entry of its own for every instruction.
TEST_F(ArmTableTest, TheChainTableTakesTheConditionWithTheInstruction) {
    std::set<ChainedHandler> conditionTwins;
    for (u32 condition = 0; condition < 16; ++condition) {
        const ChainedHandler first = armChainTable[armChainIndex(condition << 28)];
        for (u32 index = 0; index < 4096; ++index) {
            const u32 opcode = condition << 28 | (index & 0xFF) << 20 | (index >> 8) << 4;
            const ChainedHandler entry = armChainTable[armChainIndex(opcode)];
            EXPECT_EQ(entry, condition == 14 ? armChainedHandlers[index] : first)
                << "condition " << condition << " slot " << index;
        }
        if (condition != 14) {
            conditionTwins.insert(first);
            EXPECT_EQ(std::count(armChainedHandlers, armChainedHandlers + 4096, first), 0);
        }
    }
    EXPECT_EQ(conditionTwins.size(), 15u);
}

// One handler per combination of the bits that select behaviour, and no more.
TEST_F(ArmTableTest, EachFamilyHasOneHandlerPerBehaviour) {
    std::map<ArmFamily, std::set<InstructionHandler>> handlers;
    for (u32 index = 0; index < 4096; ++index) {
        handlers[classifyArm(index)].insert(armHandlers[index]);
    }
    // 28 pairs of operation and S (the comparisons only with S) x 9 operand forms (immediate,
    // Rm shifted by each type by an amount or by Rs), and the 0 operand of the 22 pairs whose
    // slots with bits 7 and 4 set still hold data processing.
    EXPECT_EQ(handlers[ArmFamily::dataProcessingRegister].size() +
                  handlers[ArmFamily::dataProcessingImmediate].size(),
              28u * 9 + 22);
    EXPECT_EQ(handlers[ArmFamily::statusRead].size(), 2u);
    EXPECT_EQ(handlers[ArmFamily::statusWrite].size(), 4u);
    EXPECT_EQ(handlers[ArmFamily::noOperation].size(), 1u);
    // 32 combinations of P, U, B, W, L, the 8 post-indexed W = 1 ones shared: once with an
    // immediate offset and once per shift type of a register offset.
    EXPECT_EQ(handlers[ArmFamily::singleTransfer].size(), 24u * 5);
    EXPECT_EQ(handlers[ArmFamily::halfwordTransfer].size(), 24u);
    EXPECT_EQ(handlers[ArmFamily::signedByteLoad].size(), 12u);
    EXPECT_EQ(handlers[ArmFamily::signedHalfwordLoad].size(), 12u);
    // 32 combinations of P, U, S, W, L; STM with S shares W = 1 with W = 0.
    EXPECT_EQ(handlers[ArmFamily::blockTransfer].size(), 28u);
    EXPECT_EQ(handlers[ArmFamily::multiply].size(), 4u);
    EXPECT_EQ(handlers[ArmFamily::multiplyLong].size(), 8u);
    EXPECT_EQ(handlers[ArmFamily::swap].size(), 2u);
    EXPECT_EQ(handlers[ArmFamily::branch].size(), 1u);
    EXPECT_EQ(handlers[ArmFamily::branchWithLink].size(), 1u);
    EXPECT_EQ(handlers[ArmFamily::softwareInterrupt].size(), 1u);
}

TEST_F(ArmTableTest, SharedSlotsShareOnPurpose) {
    // ldr r0, [r1], #4 and ldrt r0, [r1], #4
    EXPECT_EQ(handlerOf(0xE4910004), handlerOf(0xE4B10004));
    // ldr r0, [r1, #4] and ldr r0, [r1, #4]!
    EXPECT_NE(handlerOf(0xE5910004), handlerOf(0xE5B10004));
    // strh r0, [r1], #2 with and without W
    EXPECT_EQ(handlerOf(0xE0C100B2), handlerOf(0xE0E100B2));
    // ldrsh r0, [r1], #2 with and without W
    EXPECT_EQ(handlerOf(0xE0D100F2), handlerOf(0xE0F100F2));
    // stmdb sp, {r0}^ and stmdb sp!, {r0}^
    EXPECT_EQ(handlerOf(0xE94D0001), handlerOf(0xE96D0001));
    // ldmia sp, {r0, pc}^ and ldmia sp!, {r0, pc}^ differ: the latter writes back
    EXPECT_NE(handlerOf(0xE8DD8001), handlerOf(0xE8FD8001));
    // A data-processing handler serves one shift form of its opcode and S, whatever the
    // amount: add r0, r1, r2 and add r0, r1, r2, lsl #1 share; lsl r3 has its own.
    EXPECT_EQ(handlerOf(0xE0810002), handlerOf(0xE0810082));
    EXPECT_NE(handlerOf(0xE0810002), handlerOf(0xE0810312));
    EXPECT_NE(handlerOf(0xE0810002), handlerOf(0xE0910002));
}

} // namespace
