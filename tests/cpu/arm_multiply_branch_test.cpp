#include "cpu/arm_fixture.h"
#include "cpu/multiplier.h"
#include "machine/io_registers.h"

namespace {

using ArmMultiplyTest = ArmHandlerTest;
using ArmBranchTest = ArmHandlerTest;

TEST_F(ArmMultiplyTest, MultiplierCyclesFollowTheSignedAndUnsignedRules) {
    r(1) = 3;
    r(2) = 0xFFFFFF00;
    EXPECT_EQ(execute(0xE0000291), s32At(armRomCode) + 1); // mul r0, r1, r2
    EXPECT_EQ(r(0), 0xFFFFFD00u);
    r(3) = 0x10;
    EXPECT_EQ(execute(0xE0203291), s32At(armRomCode) + 1 + 1); // mla r0, r1, r2, r3
    EXPECT_EQ(r(0), 0xFFFFFD10u);
    // umull r0, r1, r2, r3 with Rs = r3
    r(3) = 0xFFFFFF00;
    EXPECT_EQ(execute(0xE0810392), 4 + 1);
    r(3) = 0x00FF0000;
    EXPECT_EQ(execute(0xE0810392), 3 + 1);
    EXPECT_EQ(execute(0xE0C10392), 3 + 1); // smull: bits 31-24 are all 0
    r(3) = 0x12345678;
    EXPECT_EQ(execute(0xE0A10392), 4 + 2); // umlal
    r(3) = 0xFFFF8000;
    EXPECT_EQ(execute(0xE0E10392), 2 + 2); // smlal
}

// The branch-free cycle count against the rule itself: one cycle when bits 31-8 of Rs are all
// 0 (or, signed, all 1), two when bits 31-16 are, three when bits 31-24 are, four otherwise;
// over the values on both sides of every bit boundary, of both signs.
TEST(MultiplierCyclesTest, CountTheLeadingBytesByTheRule) {
    auto byTheRule = [](u32 rs, bool isSigned) -> u32 {
        for (u32 cycles = 1; cycles < 4; ++cycles) {
            const u32 leading = rs >> (8 * cycles);
            if (leading == 0 || (isSigned && leading == 0xFFFFFFFFu >> (8 * cycles))) {
                return cycles;
            }
        }
        return 4;
    };
    for (u32 bit = 0; bit < 32; ++bit) {
        for (u32 value : {1u << bit, (1u << bit) - 1, (1u << bit) + 1}) {
            for (u32 rs : {value, ~value}) {
                SCOPED_TRACE(testing::Message() << std::hex << rs);
                EXPECT_EQ(signedMultiplierCycles(rs), byTheRule(rs, true));
                EXPECT_EQ(unsignedMultiplierCycles(rs), byTheRule(rs, false));
            }
        }
    }
}

TEST_F(ArmMultiplyTest, LongResults) {
    r(2) = 0xFFFFFFFF;
    r(3) = 2;
    execute(0xE0C10392); // smull r0, r1, r2, r3: -1 x 2
    EXPECT_EQ(r(0), 0xFFFFFFFEu);
    EXPECT_EQ(r(1), 0xFFFFFFFFu);
    execute(0xE0810392); // umull: 0xFFFFFFFF x 2
    EXPECT_EQ(r(0), 0xFFFFFFFEu);
    EXPECT_EQ(r(1), 1u);

    r(0) = 0;
    r(1) = 0;
    r(2) = 0x10000;
    r(3) = 0x10000;
    execute(0xE0A10392); // umlal
    EXPECT_EQ(r(0), 0u);
    EXPECT_EQ(r(1), 1u);
    r(0) = 0xFFFFFFFF;
    r(1) = 0;
    r(2) = 1;
    r(3) = 1;
    execute(0xE0A10392); // the low word carries into the high word
    EXPECT_EQ(r(0), 0u);
    EXPECT_EQ(r(1), 1u);
}

TEST_F(ArmMultiplyTest, FlagFormsSetOnlyNAndZ) {
    gba.cpu.cpsr |= flagC | flagV;
    r(1) = 0;
    r(2) = 5;
    r(3) = 0;
    execute(0xE0303291); // mlas r0, r1, r2, r3 = 0
    EXPECT_EQ(cpsr() & 0xF0000000, flagZ | flagC | flagV);
    r(0) = 0;
    r(1) = 0x80000000;
    r(2) = 0;
    r(3) = 0;
    execute(0xE0B10392); // umlals: 64-bit result 0x80000000:00000000
    EXPECT_EQ(cpsr() & 0xF0000000, flagN | flagC | flagV);
    r(0) = 1;
    r(1) = 0;
    execute(0xE0B10392); // low word 1: not zero although the high word is
    EXPECT_EQ(cpsr() & 0xF0000000, flagC | flagV);
}

TEST_F(ArmBranchTest, BranchAndLink) {
    // bl .+0x100 at armRomCode: the offset field holds (0x100 - 8) / 4
    const s32 cost = execute(0xEB00003E);
    EXPECT_EQ(r(14), armRomCode + 4);
    EXPECT_EQ(pc(), armRomCode + 0x100);
    EXPECT_EQ(cost, s32At(armRomCode) + refillAt(armRomCode));

    EXPECT_EQ(execute(0xEAFFFFFE), s32At(armRomCode) + refillAt(armRomCode)); // b .
    EXPECT_EQ(pc(), armRomCode);
    execute(0xEA7FFFFF, 0x08000000); // the largest forward offset
    EXPECT_EQ(pc(), 0x0A000004u);
    execute(0xEA800000, 0x08000000); // the largest backward offset
    EXPECT_EQ(pc(), 0x06000008u);
}

TEST_F(ArmBranchTest, JumpsWithinInternalRamCostOneCycle) {
    EXPECT_EQ(execute(0xEAFFFFFE, armRamCode), 1); // b .
    EXPECT_EQ(pc(), armRamCode);
    EXPECT_EQ(execute(0xEBFFFFFE, armRamCode), 1); // bl .
    r(1) = armRamCode;
    EXPECT_EQ(execute(0xE12FFF11, armRamCode), 1); // bx r1
}

TEST_F(ArmBranchTest, ExchangeChoosesTheInstructionSetByBitZero) {
    r(1) = 0x08000101;
    gba.cpu.cpsr |= 0x0000FF00;
    EXPECT_EQ(execute(0xE12FFF11), s32At(armRomCode) + refillAt(0x08000100)); // bx r1
    EXPECT_EQ(pc(), 0x08000100u);
    EXPECT_EQ(gba.cpu.armState, 0u);
    EXPECT_TRUE(cpsr() & flagT);

    r(1) = 0x08000102;
    execute(0xE12FFF11);
    EXPECT_EQ(pc(), 0x08000102u); // bit 1 stays
    EXPECT_EQ(gba.cpu.armState, 1u);
    EXPECT_EQ(cpsr(), 0x1Fu); // T and bits 27-8 cleared
}

TEST_F(ArmBranchTest, SoftwareInterruptEntersSupervisorModeAtVectorEight) {
    switchMode(modeSystem);
    gba.cpu.cpsr |= flagN;
    gba.cpu.cpsr &= ~flagI;
    const u32 before = cpsr();
    EXPECT_EQ(execute(0xEF00000C), 1); // swi 0x0C: the entry costs one cycle
    EXPECT_EQ(gba.cpu.cpuMode, modeSupervisor);
    EXPECT_EQ(gba.cpu.spsrSvc, before);
    EXPECT_EQ(r(14), armRomCode + 4);
    EXPECT_EQ(pc(), 8u);
    EXPECT_TRUE(cpsr() & flagI);
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);

    // From Supervisor mode itself the return address replaces the live R14.
    execute(0xEF00000C, armRomCode + 8);
    EXPECT_EQ(r(14), armRomCode + 12);
    EXPECT_EQ(pc(), 8u);
}

TEST_F(ArmBranchTest, UndefinedAndNoOperationSlots) {
    r(0) = 5;
    EXPECT_EQ(execute(0xEE000010), 64); // coprocessor register transfer
    EXPECT_EQ(execute(0xED900000), 64); // coprocessor load
    EXPECT_EQ(execute(0xE3400000), s32At(armRomCode));
    EXPECT_EQ(r(0), 5u);
    EXPECT_EQ(pc(), armRomCode + 4);
}

} // namespace
