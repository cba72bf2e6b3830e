#include "cpu/thumb_fixture.h"

namespace {

using namespace thumb;

constexpr u32 N = flagN, Z = flagZ, C = flagC, V = flagV;

using ThumbAluTest = ThumbTest;

TEST_F(ThumbAluTest, ShiftByImmediateZeroMeansNoShiftOr32) {
    reg(1) = 0x80000001;
    setFlags(C);
    EXPECT_EQ(run(shiftImm(0, 0, 1, 0)), romS16); // LSL #0
    EXPECT_EQ(reg(0), 0x80000001u);
    EXPECT_EQ(flags(), N | C);

    setFlags(0);
    run(shiftImm(1, 2, 1, 0)); // LSR #32
    EXPECT_EQ(reg(2), 0u);
    EXPECT_EQ(flags(), Z | C);

    run(shiftImm(2, 3, 1, 0)); // ASR #32
    EXPECT_EQ(reg(3), 0xFFFFFFFFu);
    EXPECT_EQ(flags(), N | C);

    setFlags(V);
    run(shiftImm(0, 4, 1, 31)); // LSL #31: carry is bit 1
    EXPECT_EQ(reg(4), 0x80000000u);
    EXPECT_EQ(flags(), N | V);

    run(shiftImm(1, 5, 1, 1)); // LSR #1: carry is bit 0
    EXPECT_EQ(reg(5), 0x40000000u);
    EXPECT_EQ(flags(), C | V);

    run(shiftImm(2, 6, 1, 4)); // ASR #4
    EXPECT_EQ(reg(6), 0xF8000000u);
    EXPECT_EQ(flags(), N | V);
}

TEST_F(ThumbAluTest, AddAndSubtractSetAllFlags) {
    reg(1) = 0xFFFFFFFF;
    reg(7) = 1;
    run(addSub(false, false, 0, 1, 7)); // ADD R0, R1, R7
    EXPECT_EQ(reg(0), 0u);
    EXPECT_EQ(flags(), Z | C);

    reg(2) = 0x80000000;
    run(addSub(true, true, 3, 2, 1)); // SUB R3, R2, #1
    EXPECT_EQ(reg(3), 0x7FFFFFFFu);
    EXPECT_EQ(flags(), C | V);

    reg(4) = 2;
    run(addSub(true, true, 5, 4, 3)); // SUB R5, R4, #3: a borrow clears C
    EXPECT_EQ(reg(5), 0xFFFFFFFFu);
    EXPECT_EQ(flags(), N);

    reg(6) = 0x7FFFFFFF;
    run(addSub(true, false, 6, 6, 7)); // ADD R6, R6, #7
    EXPECT_EQ(reg(6), 0x80000006u);
    EXPECT_EQ(flags(), N | V);
}

TEST_F(ThumbAluTest, ImmediateOperationsOnEveryRegister) {
    setFlags(N | C | V);
    run(immOp(0, 0, 0)); // MOV R0, #0
    EXPECT_EQ(reg(0), 0u);
    EXPECT_EQ(flags(), Z | C | V);

    run(immOp(0, 7, 0xFF)); // MOV R7, #255
    EXPECT_EQ(reg(7), 0xFFu);
    EXPECT_EQ(flags(), C | V);

    run(immOp(1, 7, 0xFF)); // CMP R7, #255
    EXPECT_EQ(reg(7), 0xFFu);
    EXPECT_EQ(flags(), Z | C);

    reg(5) = 0xFFFFFFF0;
    run(immOp(2, 5, 0x10)); // ADD R5, #16
    EXPECT_EQ(reg(5), 0u);
    EXPECT_EQ(flags(), Z | C);

    run(immOp(3, 5, 1)); // SUB R5, #1
    EXPECT_EQ(reg(5), 0xFFFFFFFFu);
    EXPECT_EQ(flags(), N);
}

TEST_F(ThumbAluTest, LogicalOperationsKeepCarryAndOverflow) {
    reg(0) = 0xF0F0F0F0;
    reg(1) = 0xFF00FF00;
    setFlags(C | V);
    run(alu(0, 0, 1)); // AND
    EXPECT_EQ(reg(0), 0xF000F000u);
    EXPECT_EQ(flags(), N | C | V);

    run(alu(1, 0, 1)); // EOR
    EXPECT_EQ(reg(0), 0x0F000F00u);
    run(alu(12, 0, 1)); // ORR
    EXPECT_EQ(reg(0), 0xFF00FF00u);
    run(alu(14, 0, 1)); // BIC
    EXPECT_EQ(reg(0), 0u);
    EXPECT_EQ(flags(), Z | C | V);
    run(alu(15, 2, 1)); // MVN
    EXPECT_EQ(reg(2), 0x00FF00FFu);

    reg(3) = 0x8000FFFF;
    setFlags(0);
    run(alu(8, 3, 1)); // TST writes nothing
    EXPECT_EQ(reg(3), 0x8000FFFFu);
    EXPECT_EQ(flags(), N);
}

TEST_F(ThumbAluTest, RegisterShiftsFollowTheRegisterShiftRules) {
    struct Case {
        u32 op;
        u32 value;
        u32 amount;
        u32 carryBefore;
        u32 result;
        u32 carryAfter;
    } cases[] = {
        {2, 0x00000003, 32, 0, 0, C},             // LSL by 32: C = bit 0
        {2, 0x00000003, 0, C, 0x00000003, C},     // LSL by 0: value and C unchanged
        {2, 0x00000003, 0, 0, 0x00000003, 0},     //
        {2, 0xFFFFFFFF, 33, C, 0, 0},             // LSL beyond 32: C cleared
        {2, 0x00000001, 0x100, 0, 0x00000001, 0}, // only the low byte of Rs counts
        {3, 0x80000000, 32, 0, 0, C},             // LSR by 32: C = bit 31
        {3, 0x80000000, 31, 0, 1, 0},             //
        {4, 0x80000000, 40, 0, 0xFFFFFFFF, C},    // ASR beyond 32: sign fill
        {7, 0x80000001, 32, 0, 0x80000001, C},    // ROR by 32: value kept, C = bit 31
        {7, 0x00000001, 33, 0, 0x80000000, C},    // ROR by 33 = ROR by 1
    };
    for (const Case& c : cases) {
        reg(0) = c.value;
        reg(1) = c.amount;
        setFlags(c.carryBefore);
        EXPECT_EQ(run(alu(c.op, 0, 1)), 1 + romS16);
        EXPECT_EQ(reg(0), c.result) << "op " << c.op << " by " << c.amount;
        EXPECT_EQ(flags() & C, c.carryAfter) << "op " << c.op << " by " << c.amount;
    }
}

TEST_F(ThumbAluTest, CarryOperationsUseTheCarryFromBefore) {
    reg(0) = 5;
    reg(1) = 3;
    setFlags(C);
    run(alu(5, 0, 1)); // ADC: 5 + 3 + 1
    EXPECT_EQ(reg(0), 9u);
    EXPECT_EQ(flags(), 0u);

    run(alu(6, 0, 1)); // SBC with C clear: 9 - 3 - 1
    EXPECT_EQ(reg(0), 5u);
    EXPECT_EQ(flags(), C);

    run(alu(6, 0, 1)); // SBC with C set: 5 - 3
    EXPECT_EQ(reg(0), 2u);
}

TEST_F(ThumbAluTest, NegateClearsOverflowAndCarriesOnlyForZero) {
    reg(1) = 0x80000000;
    setFlags(C | V);
    run(alu(9, 0, 1));
    EXPECT_EQ(reg(0), 0x80000000u);
    EXPECT_EQ(flags(), N);

    reg(1) = 0;
    run(alu(9, 0, 1));
    EXPECT_EQ(reg(0), 0u);
    EXPECT_EQ(flags(), Z | C);

    reg(1) = 1;
    run(alu(9, 0, 1));
    EXPECT_EQ(reg(0), 0xFFFFFFFFu);
    EXPECT_EQ(flags(), N);
}

TEST_F(ThumbAluTest, CompareAndCompareNegative) {
    reg(0) = 1;
    reg(1) = 2;
    run(alu(10, 0, 1)); // CMP 1 - 2
    EXPECT_EQ(flags(), N);
    reg(1) = 0xFFFFFFFF;
    run(alu(11, 0, 1)); // CMN 1 + -1
    EXPECT_EQ(flags(), Z | C);
    EXPECT_EQ(reg(0), 1u);
}

TEST_F(ThumbAluTest, MultiplyCostsByTheSignedRuleOnRs) {
    struct Case {
        u32 rs;
        u32 m;
    } cases[] = {{0x000000FF, 1}, {0xFFFFFF00, 1}, {0x0000FFFF, 2},
                 {0xFFFF0000, 2}, {0x00FF0000, 3}, {0x12345678, 4}};
    for (const Case& c : cases) {
        reg(0) = 3;
        reg(1) = c.rs;
        setFlags(C | V);
        EXPECT_EQ(run(alu(13, 0, 1)), romS16 + c.m) << std::hex << c.rs;
        EXPECT_EQ(reg(0), c.rs * 3);
        EXPECT_EQ(flags() & (C | V), C | V);
    }
    reg(0) = 0;
    run(alu(13, 0, 1));
    EXPECT_EQ(flags(), Z | C | V);
}

TEST_F(ThumbAluTest, HighRegisterAddReadsPcAsAddressPlusFour) {
    reg(0) = 0x10;
    EXPECT_EQ(run(hiReg(0, 0, 15), romCode + 2), romS16); // ADD R0, PC
    EXPECT_EQ(reg(0), romCode + 2 + 4 + 0x10);
    EXPECT_EQ(programCounter(), romCode + 4);

    reg(8) = 0x100;
    reg(1) = 0x23;
    setFlags(0);
    run(hiReg(0, 8, 1)); // ADD R8, R1 sets no flags
    EXPECT_EQ(reg(8), 0x123u);
    EXPECT_EQ(flags(), 0u);
}

TEST_F(ThumbAluTest, HighRegisterAddToPcKeepsTheSumUnaligned) {
    reg(1) = 0x0200000B - (romCode + 4);
    EXPECT_EQ(run(hiReg(0, 15, 1)), romS16 + workR16); // ADD PC, R1
    EXPECT_EQ(programCounter(), 0x0200000Bu);
    EXPECT_EQ(gba.cpu.armState, 0u);
}

TEST_F(ThumbAluTest, HighRegisterMoves) {
    reg(0) = 0x12345678;
    EXPECT_EQ(run(hiReg(2, 9, 0)), romS16 + romR16); // MOV R9, R0 pays the refill anyway
    EXPECT_EQ(reg(9), 0x12345678u);
    EXPECT_EQ(programCounter(), romCode + 2);

    EXPECT_EQ(run(hiReg(2, 10, 9)), romS16); // MOV R10, R9
    EXPECT_EQ(reg(10), 0x12345678u);

    EXPECT_EQ(run(hiReg(2, 3, 15)), romS16); // MOV R3, PC
    EXPECT_EQ(reg(3), romCode + 4);

    reg(4) = 0x02000101;
    EXPECT_EQ(run(hiReg(2, 15, 4)), romS16 + workR16); // MOV PC, R4 clears bit 0
    EXPECT_EQ(programCounter(), 0x02000100u);
    EXPECT_EQ(gba.cpu.armState, 0u);

    reg(12) = 0x08000201;
    EXPECT_EQ(run(hiReg(2, 15, 12)), romS16 + romR16); // MOV PC, R12
    EXPECT_EQ(programCounter(), 0x08000200u);
}

TEST_F(ThumbAluTest, HighRegisterCompareSetsFlags) {
    reg(8) = 5;
    reg(1) = 5;
    run(hiReg(1, 8, 1)); // CMP R8, R1
    EXPECT_EQ(flags(), Z | C);
    reg(2) = romCode + 4;
    run(hiReg(1, 2, 15)); // CMP R2, PC
    EXPECT_EQ(flags(), Z | C);
    EXPECT_EQ(programCounter(), romCode + 2);
}

TEST_F(ThumbAluTest, BranchExchangeSwitchesByBitZero) {
    reg(0) = 0x08000201;
    EXPECT_EQ(run(bx(0)), romS16 + romR16);
    EXPECT_EQ(programCounter(), 0x08000200u);
    EXPECT_EQ(gba.cpu.armState, 0u);
    EXPECT_NE(gba.cpu.cpsr & flagT, 0u);

    reg(9) = 0x02000003 & ~1u;               // bit 0 clear: ARM, bits 1-0 dropped
    EXPECT_EQ(run(bx(9), ramCode), workR16); // internal RAM fetches cost nothing
    EXPECT_EQ(programCounter(), 0x02000000u);
    EXPECT_EQ(gba.cpu.armState, 1u);
    EXPECT_EQ(gba.cpu.cpsr & flagT, 0u);
}

TEST_F(ThumbAluTest, BranchExchangeWithPcEntersArm) {
    run(bx(15), romCode); // address ending in 0: ARM at address + 4
    EXPECT_EQ(programCounter(), romCode + 4);
    EXPECT_EQ(gba.cpu.armState, 1u);

    SetUp();
    run(bx(15), romCode + 2); // address ending in 2: ARM at address + 2
    EXPECT_EQ(programCounter(), romCode + 4);
    EXPECT_EQ(gba.cpu.armState, 1u);
}

TEST_F(ThumbAluTest, AddressArithmeticOnPcAndSp) {
    run(loadAddress(false, 0, 2), romCode + 2); // ADD R0, PC, #8: PC word-aligned
    EXPECT_EQ(reg(0), romCode + 4 + 8);
    run(loadAddress(false, 1, 2), romCode);
    EXPECT_EQ(reg(1), romCode + 4 + 8);

    reg(13) = 0x03007F00;
    run(loadAddress(true, 7, 255)); // ADD R7, SP, #1020
    EXPECT_EQ(reg(7), 0x03007F00u + 1020);

    run(adjustSp(true, 127)); // SUB SP, #508
    EXPECT_EQ(reg(13), 0x03007F00u - 508);
    EXPECT_EQ(run(adjustSp(false, 1)), romS16); // ADD SP, #4
    EXPECT_EQ(reg(13), 0x03007F00u - 504);
}

} // namespace
