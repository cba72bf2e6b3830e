#include "cpu/thumb_fixture.h"

#include "machine/io_registers.h"
#include "machine/scheduler.h"

namespace {

using namespace thumb;

constexpr u32 EQ = 0, NE = 1, HI = 8, LE = 13;

using ThumbBranchTest = ThumbTest;

TEST_F(ThumbBranchTest, ConditionalBranchCostsTheLongRefillTakenOrNot) {
    setFlags(flagZ);
    EXPECT_EQ(run(bcond(EQ, 4)), 1 + romL16);
    EXPECT_EQ(programCounter(), romCode + 4 + 8);

    EXPECT_EQ(run(bcond(NE, 4)), 1 + romL16); // not taken
    EXPECT_EQ(programCounter(), romCode + 2);

    setFlags(flagN);
    EXPECT_EQ(run(bcond(LE, -3)), 1 + romL16); // backwards
    EXPECT_EQ(programCounter(), romCode + 4 - 6);
}

TEST_F(ThumbBranchTest, BranchIfHigherCostsOneCycleTakenOrNot) {
    setFlags(flagC);
    EXPECT_EQ(run(bcond(HI, 0x10)), 1u);
    EXPECT_EQ(programCounter(), romCode + 4 + 0x20);

    setFlags(flagC | flagZ);
    EXPECT_EQ(run(bcond(HI, 0x10)), 1u);
    EXPECT_EQ(programCounter(), romCode + 2);
}

TEST_F(ThumbBranchTest, UnconditionalBranchReachesBothWays) {
    constexpr u32 at = 0x08001000;
    EXPECT_EQ(run(b(0x3FF), at), romL16);
    EXPECT_EQ(programCounter(), at + 4 + 0x7FE);
    EXPECT_EQ(run(b(-0x400), at), romL16);
    EXPECT_EQ(programCounter(), at + 4 - 0x800);
}

TEST_F(ThumbBranchTest, BranchWithLinkPairJumpsAndLinks) {
    // First half: LR = address + 4 + (0x001 << 12); second half adds 0x10 x 2.
    EXPECT_EQ(run({blFirst(0x001), blSecond(0x010)}), romS16 + romR16);
    EXPECT_EQ(programCounter(), romCode + 4 + 0x1000 + 0x20);
    EXPECT_EQ(reg(14), (romCode + 4) | 1);

    // Both offsets 0x7FF: the pair lands on its own second half.
    run({blFirst(0x7FF), blSecond(0x7FF)});
    EXPECT_EQ(programCounter(), romCode + 2);
    EXPECT_EQ(reg(14), (romCode + 4) | 1);
}

TEST_F(ThumbBranchTest, SecondBranchWithLinkHalfAloneUsesTheCurrentLr) {
    reg(14) = 0x02000000;
    EXPECT_EQ(run(blSecond(0x100)), workR16);
    EXPECT_EQ(programCounter(), 0x02000200u);
    EXPECT_EQ(reg(14), (romCode + 2) | 1);
    EXPECT_EQ(gba.cpu.armState, 0u);
}

TEST_F(ThumbBranchTest, SoftwareInterruptEntersSupervisorModeInArmState) {
    gba.cpu.cpsr = (gba.cpu.cpsr & ~0xFFu) | flagT | modeSystem; // I and F clear
    switchMode(modeSystem);
    u32 thumbCpsr = gba.cpu.cpsr;
    EXPECT_EQ(run(swi(0x05), romCode + 2), 1u);                 // the entry costs one cycle
    EXPECT_EQ(bankedRegister(modeSupervisor, 14), romCode + 4); // R14_svc = address + 2
    EXPECT_EQ(gba.cpu.spsrSvc, thumbCpsr);
    EXPECT_EQ(gba.cpu.cpsr & 0xFF, flagI | modeSupervisor); // F is left alone
    EXPECT_EQ(gba.cpu.cpuMode, modeSupervisor);
    EXPECT_EQ(gba.cpu.armState, 1u);
    EXPECT_EQ(programCounter(), 0x08u);
    EXPECT_EQ(gba.IoRegisters[io::POSTFLG / 2], 1u);

    SetUp();
    run(swi(0x12));
    EXPECT_EQ(gba.IoRegisters[io::POSTFLG / 2], 0u);
}

TEST_F(ThumbBranchTest, UndefinedEncodingsOnlyCostTime) {
    reg(0) = 0x1234;
    u32 cpsr = gba.cpu.cpsr;
    EXPECT_EQ(run(0xE800), 1024u);         // 11101...
    EXPECT_EQ(run(0xDE00), 1024u);         // condition 14
    EXPECT_EQ(run(hiReg(0, 0, 1)), 1024u); // ADD with H1 = H2 = 0
    EXPECT_EQ(programCounter(), romCode + 2);
    EXPECT_EQ(reg(0), 0x1234u);
    EXPECT_EQ(gba.cpu.cpsr, cpsr);
}

// Internal RAM costs nothing per access, yet every instruction that writes R15 must cost at
// least a cycle or a loop there would never give the slice back.
TEST_F(ThumbBranchTest, BranchLoopsInInternalRamCostAtLeastOneCycle) {
    struct Loop {
        const char* name;
        u16 opcode;
        u32 r0;
        u32 flags;
    } loops[] = {
        {"b .", b(-2), 0, 0},
        {"beq .", bcond(EQ, -2), 0, flagZ},
        {"bhi .", bcond(HI, -2), 0, flagC},
        {"bx r0", bx(0), ramCode | 1, 0},
        {"mov pc, r0", hiReg(2, 15, 0), ramCode, 0},
        {"add pc, r0", hiReg(0, 15, 0), static_cast<u32>(-4), 0},
    };
    for (const Loop& loop : loops) {
        SetUp();
        setFlags(loop.flags);
        reg(0) = loop.r0;
        EXPECT_EQ(run(loop.opcode, ramCode), 1u) << loop.name;
        EXPECT_EQ(programCounter(), ramCode) << loop.name;
    }

    SetUp();
    reg(14) = ramCode - 2; // a second BL half that jumps back to itself
    EXPECT_EQ(run(blSecond(1), ramCode), 1u);
    EXPECT_EQ(programCounter(), ramCode);

    busWrite32(0x03000400, ramCode | 1);
    reg(13) = 0x03000400;
    EXPECT_EQ(run(pop(0, true), ramCode), 1u);
    EXPECT_EQ(programCounter(), ramCode);
}

TEST_F(ThumbBranchTest, CpuRunReturnsFromABranchToItselfInInternalRam) {
    place(ramCode, b(-2));
    programCounter() = ramCode;
    gba.cpu.cycleBalance = 0;
    scheduler.sliceBudget = 0;
    scheduler.totalCycles = 0;
    cpuRun(956);
    EXPECT_EQ(programCounter(), ramCode);
    EXPECT_LE(gba.cpu.cycleBalance, 0);
    EXPECT_EQ(scheduler.totalCycles, 956u);
}

} // namespace
