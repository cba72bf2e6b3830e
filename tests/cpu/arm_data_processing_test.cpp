#include <iterator>
#include <random>
#include <vector>

#include "cpu/alu.h"
#include "cpu/arm_fixture.h"
#include "support/test_support.h"

namespace {

using ArmDataProcessingTest = ArmHandlerTest;

TEST_F(ArmDataProcessingTest, RegisterShiftReadsPcTwelveAheadAndCostsOneMore) {
    r(1) = 1;
    r(2) = 2;
    EXPECT_EQ(execute(0xE08F0211), s32At(armRomCode) + 1); // add r0, pc, r1, lsl r2
    EXPECT_EQ(r(0), armRomCode + 12 + 4);
    EXPECT_EQ(pc(), armRomCode + 4);

    EXPECT_EQ(execute(0xE08F0101), s32At(armRomCode)); // add r0, pc, r1, lsl #2
    EXPECT_EQ(r(0), armRomCode + 8 + 4);
    EXPECT_EQ(pc(), armRomCode + 4);
    EXPECT_GT(s32At(armRomCode), 0);
}

TEST_F(ArmDataProcessingTest, ShifterCarryOnlyFromTheFlagFormsOfLogicalOperations) {
    gba.cpu.cpsr |= flagC;
    r(1) = 0x80000001;
    execute(0xE2110102); // ands r0, r1, #0x80000000: immediate never touches C
    EXPECT_EQ(r(0), 0x80000000u);
    EXPECT_EQ(cpsr() & (flagN | flagZ | flagC), flagN | flagC);

    gba.cpu.cpsr &= ~flagC;
    execute(0xE1B00021); // movs r0, r1, lsr #32
    EXPECT_EQ(r(0), 0u);
    EXPECT_EQ(cpsr() & (flagN | flagZ | flagC), flagZ | flagC);

    execute(0xE1A00061); // mov r0, r1, rrx: C = 1 enters at bit 31, C stays
    EXPECT_EQ(r(0), 0xC0000000u);
    EXPECT_TRUE(cpsr() & flagC);

    gba.cpu.cpsr &= ~flagC;
    execute(0xE0810061); // add r0, r1, r1, rrx: arithmetic never takes the shifter carry
    EXPECT_EQ(r(0), 0x80000001u + 0x40000000u);
    EXPECT_FALSE(cpsr() & flagC);
}

TEST_F(ArmDataProcessingTest, AdcWithRrxUsesTheOldCarryTwice) {
    gba.cpu.cpsr |= flagC;
    r(1) = 5;
    r(2) = 3;            // RRX gives 0x80000001 with C = 1 going in
    execute(0xE0A10062); // adc r0, r1, r2, rrx
    EXPECT_EQ(r(0), 5u + 0x80000001u + 1u);
}

TEST_F(ArmDataProcessingTest, RegisterAmountsOf32AndMore) {
    r(1) = 0x80000001;
    r(2) = 32;
    execute(0xE1B00211); // movs r0, r1, lsl r2: 0, C = bit 0
    EXPECT_EQ(r(0), 0u);
    EXPECT_TRUE(cpsr() & flagC);
    r(2) = 33;
    execute(0xE1B00231); // movs r0, r1, lsr r2: 0, C = 0
    EXPECT_FALSE(cpsr() & flagC);
    r(2) = 0x100; // only the low byte counts: no shift, C unchanged
    gba.cpu.cpsr |= flagC;
    execute(0xE1B00251); // movs r0, r1, asr r2
    EXPECT_EQ(r(0), 0x80000001u);
    EXPECT_TRUE(cpsr() & flagC);
    r(2) = 64;
    gba.cpu.cpsr &= ~flagC;
    execute(0xE1B00271); // movs r0, r1, ror r2: unchanged value, C = bit 31
    EXPECT_EQ(r(0), 0x80000001u);
    EXPECT_TRUE(cpsr() & flagC);
}

TEST_F(ArmDataProcessingTest, ArithmeticFlags) {
    r(1) = 0x7FFFFFFF;
    r(2) = 1;
    execute(0xE0910002); // adds r0, r1, r2
    EXPECT_EQ(cpsr() & 0xF0000000, flagN | flagV);
    r(1) = 0;
    execute(0xE0510002); // subs r0, r1, r2: borrow clears C
    EXPECT_EQ(r(0), 0xFFFFFFFFu);
    EXPECT_EQ(cpsr() & 0xF0000000, flagN);
    execute(0xE0710002); // rsbs r0, r1, r2: 1 - 0, no borrow
    EXPECT_EQ(r(0), 1u);
    EXPECT_EQ(cpsr() & 0xF0000000, flagC);
    r(1) = 5;
    execute(0xE0D10002); // sbcs r0, r1, r2 with C set: 5 - 1
    EXPECT_EQ(r(0), 4u);
    gba.cpu.cpsr &= ~flagC;
    execute(0xE0F10002); // rscs r0, r1, r2 with C clear: 1 - 5 - 1
    EXPECT_EQ(r(0), static_cast<u32>(-5));
    r(0) = 77;
    execute(0xE1510002); // cmp r1, r2 leaves r0 alone
    EXPECT_EQ(r(0), 77u);
    EXPECT_EQ(cpsr() & 0xF0000000, flagC);
}

// ADD, SUB, CMP and CMN take their flags from the host's own; ADC and SBC compute them in 64
// bits. With the carry in fixed the two must agree on the result and on all four flags.
TEST_F(ArmDataProcessingTest, HostFlagArithmeticMatchesTheWideForm) {
    const u32 edges[] = {0,          1,          2,          0x7FFFFFFE, 0x7FFFFFFF,
                         0x80000000, 0x80000001, 0xFFFFFFFE, 0xFFFFFFFF};
    std::vector<u32> values(std::begin(edges), std::end(edges));
    std::mt19937 random(5);
    for (int i = 0; i < 40; ++i) {
        values.push_back(static_cast<u32>(random()));
    }
    for (u32 a : values) {
        for (u32 b : values) {
            SCOPED_TRACE(testing::Message() << std::hex << a << " " << b);
            gba.cpu.cpsr = 0x1F | (a & 0xF0000000); // mode bits kept, old flags of any kind
            const u32 sum = addWithFlags(a, b);
            const u32 sumFlags = gba.cpu.cpsr;
            EXPECT_EQ(sum, addWithFlags(a, b, 0));
            EXPECT_EQ(sumFlags, gba.cpu.cpsr);
            const u32 difference = subWithFlags(a, b);
            const u32 differenceFlags = gba.cpu.cpsr;
            EXPECT_EQ(difference, subWithFlags(a, b, 1));
            EXPECT_EQ(differenceFlags, gba.cpu.cpsr);
        }
    }
}

TEST_F(ArmDataProcessingTest, WritingPcCostsTheRefillAndIsNotAligned) {
    r(0) = 0x02000102;
    EXPECT_EQ(execute(0xE1A0F000), s32At(armRomCode) + refillAt(0x02000102)); // mov pc, r0
    EXPECT_EQ(pc(), 0x02000102u);
    EXPECT_EQ(gba.cpu.armState, 1u);
}

TEST_F(ArmDataProcessingTest, JumpsWithinInternalRamCostAtLeastOneCycle) {
    r(0) = armRamCode;
    EXPECT_EQ(execute(0xE1A0F000, armRamCode), 1); // mov pc, r0
    r(1) = 0;
    r(2) = 0;
    // mov pc, r0, lsl r2 already pays the internal cycle: no more is added.
    EXPECT_EQ(execute(0xE1A0F210, armRamCode), 1);
    EXPECT_EQ(execute(0xE1A00000, armRamCode), 0); // mov r0, r0 costs nothing there
}

TEST_F(ArmDataProcessingTest, MovsPcLrRestoresTheSavedStatus) {
    switchMode(modeIrq);
    gba.cpu.spsrIrq = 0x8000003F; // System mode, THUMB, N set
    r(14) = 0x08000201;
    execute(0xE1B0F00E); // movs pc, lr
    EXPECT_EQ(cpsr(), 0x8000003Fu);
    EXPECT_EQ(gba.cpu.cpuMode, modeSystem);
    EXPECT_EQ(gba.cpu.armState, 0u);
    EXPECT_EQ(pc(), 0x08000201u);
    EXPECT_EQ(r(13), 0x03007F00u);

    // In System mode there is no SPSR: only N and Z follow the result.
    r(14) = 0x08000300;
    gba.cpu.spsrPlaceholder = 0x1F;
    execute(0xE1B0F00E);
    EXPECT_EQ(cpsr(), 0x0000003Fu);
    EXPECT_EQ(gba.cpu.cpuMode, modeSystem);
}

TEST_F(ArmDataProcessingTest, MrsReadsTheModesStatusWords) {
    startAtResetVector();
    gba.cpu.spsrSvc = 0x1234;
    execute(0xE14F0000); // mrs r0, spsr
    EXPECT_EQ(r(0), 0x1234u);
    execute(0xE10F0000); // mrs r0, cpsr
    EXPECT_EQ(r(0), 0xD3u);
    switchMode(modeUser);
    gba.cpu.spsrPlaceholder = 0x5678;
    execute(0xE14F0000);
    EXPECT_EQ(r(0), 0x5678u);
}

TEST_F(ArmDataProcessingTest, MsrFieldAndModeRules) {
    r(0) = 0xF000003F;   // System mode with the T bit
    execute(0xE129F000); // msr cpsr_fc, r0
    EXPECT_EQ(cpsr(), 0xF000003Fu);
    EXPECT_EQ(gba.cpu.cpuMode, modeSystem);
    EXPECT_EQ(gba.cpu.armState, 1u); // MSR never switches the instruction set
    EXPECT_EQ(r(13), 0x03007F00u);

    r(0) = 0x00000012;
    execute(0xE128F000); // msr cpsr_f, r0: flags only
    EXPECT_EQ(cpsr(), 0x0000003Fu);

    gba.cpu.spsrPlaceholder = 0;
    execute(0xE161F000); // msr spsr_c, r0 without the flag field is ignored
    EXPECT_EQ(gba.cpu.spsrPlaceholder, 0u);
    execute(0xE169F000); // msr spsr_fc, r0 in System mode writes the placeholder
    EXPECT_EQ(gba.cpu.spsrPlaceholder, 0x12u);

    switchMode(modeUser);
    r(0) = 0xA0000013;
    execute(0xE121F000); // msr cpsr_c, r0 in User mode: only the flags
    EXPECT_EQ(cpsr(), 0xA0000030u);
    EXPECT_EQ(gba.cpu.cpuMode, modeUser);
    gba.cpu.spsrPlaceholder = 0;
    execute(0xE169F000); // nothing at all in User mode
    EXPECT_EQ(gba.cpu.spsrPlaceholder, 0u);

    execute(0xE328F20F); // msr cpsr_f, #0xF0000000 works in every mode
    EXPECT_EQ(cpsr(), 0xF0000030u);
}

TEST_F(ArmDataProcessingTest, MsrImmediateFollowsTheFieldsAsTheRegisterFormDoes) {
    startAtResetVector();
    execute(0xE368F205); // msr spsr_f, #0x50000000
    EXPECT_EQ(gba.cpu.spsrSvc, 0x50000000u);
    execute(0xE369F01F); // msr spsr_fc, #0x1F
    EXPECT_EQ(gba.cpu.spsrSvc, 0x1Fu);
    execute(0xE321F0D2); // msr cpsr_c, #0xD2: into IRQ mode
    EXPECT_EQ(cpsr(), 0xD2u);
    EXPECT_EQ(r(13), 0x03007FA0u);
    execute(0xE329F01F); // msr cpsr_fc, #0x1F: into System mode
    EXPECT_EQ(gba.cpu.cpuMode, modeSystem);
    EXPECT_EQ(r(13), 0x03007F00u);
    switchMode(modeUser);
    execute(0xE329F213); // msr cpsr_fc, #0x30000001 in User mode: only the flags
    EXPECT_EQ(cpsr(), 0x30000010u);

    // An encoding whose fixed bits do not match costs the fetch and does nothing.
    r(0) = 0;
    EXPECT_EQ(execute(0xE12FF030), s32At(armRomCode));
    EXPECT_EQ(cpsr(), 0x30000010u);
    EXPECT_EQ(execute(0xE3000000), s32At(armRomCode)); // bits 27-20 = 0x30
}

TEST_F(ArmDataProcessingTest, SlotsOfTheMultiplyRowLeftToDataProcessingGetAZeroOperand) {
    r(1) = 7;
    r(0) = 99;
    execute(0xE08100D0); // add r0, r1, <bits 7-4 = 1101>, not a signed load (L = 0)
    EXPECT_EQ(r(0), 7u);
}

} // namespace
