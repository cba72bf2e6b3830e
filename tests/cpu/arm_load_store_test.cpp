#include "cpu/arm_fixture.h"
#include "machine/memory_access.h"

#include <bit>
#include <random>

namespace {

using ArmLoadStoreTest = ArmHandlerTest;

u32 word(u32 address) {
    return busRead32(address);
}

TEST_F(ArmLoadStoreTest, MisalignedLoadRotatesAndCostsOnePlusTheRefill) {
    busWrite32(armWorkData, 0x44332211);
    r(1) = armWorkData;
    EXPECT_EQ(execute(0xE5910001), 1 + refillAt(armWorkData)); // ldr r0, [r1, #1]
    EXPECT_EQ(r(0), 0x11443322u);
    EXPECT_EQ(pc(), armRomCode + 4);
    execute(0xE5D10003); // ldrb r0, [r1, #3]
    EXPECT_EQ(r(0), 0x44u);
}

TEST_F(ArmLoadStoreTest, MisalignedStoreExchangesTheHalves) {
    r(0) = 0xAABBCCDD;
    r(1) = armWorkData;
    // str r0, [r1, #2]: N32 of the code region plus N32 of the data region
    EXPECT_EQ(execute(0xE5810002), n32At(armRomCode) + n32At(armWorkData));
    EXPECT_EQ(word(armWorkData), 0xCCDDAABBu);
    execute(0xE5912002); // ldr r2, [r1, #2]
    EXPECT_EQ(r(2), 0xAABBCCDDu);
}

TEST_F(ArmLoadStoreTest, StoredPcIsTwelveAheadAndPcReadsAsBaseEightAhead) {
    r(1) = armWorkData;
    execute(0xE581F000); // str pc, [r1]
    EXPECT_EQ(word(armWorkData), armRomCode + 12);
    EXPECT_EQ(pc(), armRomCode + 4);
    store32(gba.GamePakRom + (armRomCode & 0xFFFF) + 8 + 0x10, 0x5A5A5A5A);
    r(1) = 0x10;
    execute(0xE79F0001); // ldr r0, [pc, r1]
    EXPECT_EQ(r(0), 0x5A5A5A5Au);
}

TEST_F(ArmLoadStoreTest, LoadIntoPcKeepsTheValueAndTheInstructionSet) {
    busWrite32(armWorkData, 0x08000203);
    r(0) = armWorkData;
    EXPECT_EQ(execute(0xE590F000), 1 + refillAt(armWorkData) + refillAt(0x08000203));
    EXPECT_EQ(pc(), 0x08000203u);
    EXPECT_EQ(gba.cpu.armState, 1u);
}

TEST_F(ArmLoadStoreTest, WriteBackComesAfterTheLoad) {
    busWrite32(armWorkData, 0x12345678);
    r(1) = armWorkData;
    execute(0xE4911004); // ldr r1, [r1], #4
    EXPECT_EQ(r(1), armWorkData + 4);
    r(1) = armWorkData + 4;
    execute(0xE5310004); // ldr r0, [r1, #-4]!
    EXPECT_EQ(r(0), 0x12345678u);
    EXPECT_EQ(r(1), armWorkData);
    execute(0xE4B10004); // ldrt r0, [r1], #4 behaves as the post-indexed form
    EXPECT_EQ(r(1), armWorkData + 4);
}

TEST_F(ArmLoadStoreTest, HalfwordAndSignedTransfers) {
    busWrite32(armWorkData, 0x80FF7F01);
    r(1) = armWorkData;
    execute(0xE1D100B2); // ldrh r0, [r1, #2]
    EXPECT_EQ(r(0), 0x80FFu);
    execute(0xE1D100B1); // ldrh r0, [r1, #1]: the aligned halfword rotated right by 8
    EXPECT_EQ(r(0), 0x0100007Fu);
    execute(0xE1D100F1); // ldrsh r0, [r1, #1]: the addressed byte, sign-extended
    EXPECT_EQ(r(0), 0x0000007Fu);
    execute(0xE1D100F3); // ldrsh r0, [r1, #3]
    EXPECT_EQ(r(0), 0xFFFFFF80u);
    EXPECT_EQ(execute(0xE1D100F2), 1 + refillAt(armWorkData)); // ldrsh r0, [r1, #2]
    EXPECT_EQ(r(0), 0xFFFF80FFu);
    execute(0xE1D100D3); // ldrsb r0, [r1, #3]
    EXPECT_EQ(r(0), 0xFFFFFF80u);
    r(2) = 2;
    execute(0xE19100B2); // ldrh r0, [r1, r2]
    EXPECT_EQ(r(0), 0x80FFu);

    r(0) = 0x12345678;
    // strh r0, [r1], #2
    EXPECT_EQ(execute(0xE0C100B2), n32At(armRomCode) + n32At(armWorkData));
    EXPECT_EQ(word(armWorkData), 0x80FF5678u);
    EXPECT_EQ(r(1), armWorkData + 2);
}

TEST_F(ArmLoadStoreTest, SwapReadsThenWrites) {
    busWrite32(armWorkData, 0x11223344);
    r(1) = 0xCAFEF00D;
    r(2) = armWorkData + 1;
    const s32 cost = 1 + refillAt(armRomCode) + n32At(armWorkData);
    EXPECT_EQ(execute(0xE1020091), cost); // swp r0, r1, [r2]
    EXPECT_EQ(r(0), 0x44112233u);
    EXPECT_EQ(word(armWorkData), 0xCAFEF00Du);
    EXPECT_EQ(execute(0xE1420091), cost); // swpb r0, r1, [r2]
    EXPECT_EQ(r(0), 0xF0u);
    EXPECT_EQ(word(armWorkData), 0xCAFE0D0Du);
}

TEST_F(ArmLoadStoreTest, BlockStoreWritesTheBaseBackAfterTheFirstRegister) {
    r(0) = armWorkData;
    r(1) = 0x1111;
    // stmia r0!, {r0, r1}: the base is the lowest register and goes out old
    EXPECT_EQ(execute(0xE8A00003), 1 + n32At(armWorkData) + s32At(armWorkData) + n32At(armRomCode));
    EXPECT_EQ(word(armWorkData), armWorkData);
    EXPECT_EQ(r(0), armWorkData + 8);

    r(0) = 0x2222;
    r(1) = armWorkData;
    execute(0xE8A10003); // stmia r1!, {r0, r1}: the base further up goes out updated
    EXPECT_EQ(word(armWorkData + 4), armWorkData + 8);
    EXPECT_EQ(r(1), armWorkData + 8);
}

TEST_F(ArmLoadStoreTest, BlockLoadKeepsALoadedBase) {
    busWrite32(armWorkData, 0xAAAA);
    busWrite32(armWorkData + 4, 0xBBBB);
    r(0) = armWorkData;
    // ldmia r0!, {r0, r1}
    EXPECT_EQ(execute(0xE8B00003), 1 + refillAt(armWorkData) + s32At(armWorkData));
    EXPECT_EQ(r(0), 0xAAAAu);
    EXPECT_EQ(r(1), 0xBBBBu);
}

// Blocks of every direction, length and write-back around plain RAM, RAM mirror edges and
// region edges: each register comes from, or goes to, its own word's bus address, and a block
// costs its first access, then S for each further word by the region of that word's address.
TEST_F(ArmLoadStoreTest, BlocksMatchWordByWordAccessesAcrossMirrorAndRegionEdges) {
    const u32 edges[] = {0x02000100, 0x0203FFF0, 0x02FFFFF0, 0x03007FF0,
                         0x01FFFFF0, 0x05FFFFF0, 0x06017FF0, 0x07FFFFF0};
    std::mt19937 random(21);
    for (u32 trial = 0; trial < 2000; ++trial) {
        const bool load = random() & 1, pre = random() & 1, up = random() & 1, back = random() & 1;
        const u32 list = 1 + random() % 0x1FFF; // R0-R12, with R14 as the base
        const u32 count = static_cast<u32>(std::popcount(list));
        const u32 lowest = edges[trial % 8] + 4 * (random() % 8);
        const u32 base = up ? lowest - (pre ? 4 : 0) : lowest + 4 * count - (pre ? 0 : 4);
        const u32 opcode =
            0xE80E0000 | (pre << 24) | (up << 23) | (back << 21) | (load << 20) | list;
        s32 cost = 1 + (load ? refillAt(lowest) : n32At(lowest) + n32At(armRomCode));
        u32 words[13] = {};
        for (u32 i = 0, n = 0; n < 13; ++n) {
            r(n) = random();
            if (list & (1u << n)) {
                cost += i ? s32At(lowest + 4 * i) : 0;
                words[n] = load ? word(lowest + 4 * i) : r(n);
                ++i;
            }
        }
        r(14) = base;
        ASSERT_EQ(execute(opcode), cost) << std::hex << "opcode " << opcode << " at " << lowest;
        for (u32 i = 0, n = 0; n < 13; ++n) {
            if (list & (1u << n)) {
                const u32 address = lowest + 4 * i++;
                if (load) {
                    ASSERT_EQ(r(n), words[n])
                        << std::hex << "opcode " << opcode << " at " << address;
                } else if ((address >> 24) >= 2 && (address >> 24) < 8) {
                    ASSERT_EQ(word(address), words[n])
                        << std::hex << "opcode " << opcode << " at " << address;
                }
            }
        }
        ASSERT_EQ(r(14), back ? (up ? base + 4 * count : base - 4 * count) : base);
    }
}

TEST_F(ArmLoadStoreTest, DecrementingBlocksStoreLowestRegisterLowest) {
    r(13) = armWorkData + 0x20;
    for (u32 n = 0; n < 4; ++n) {
        r(n) = 0x100 + n;
    }
    execute(0xE92D000F); // stmdb sp!, {r0-r3}
    EXPECT_EQ(r(13), armWorkData + 0x10);
    EXPECT_EQ(word(armWorkData + 0x10), 0x100u);
    EXPECT_EQ(word(armWorkData + 0x1C), 0x103u);
    execute(0xE8BD0030); // ldmia sp!, {r4, r5}
    EXPECT_EQ(r(4), 0x100u);
    EXPECT_EQ(r(5), 0x101u);
    EXPECT_EQ(r(13), armWorkData + 0x18);
    r(6) = armWorkData + 0x1C;
    execute(0xE8160003); // ldmda r6, {r0, r1}: r0 from base - 4, r1 from the base
    EXPECT_EQ(r(0), 0x102u);
    EXPECT_EQ(r(1), 0x103u);
    EXPECT_EQ(r(6), armWorkData + 0x1C);
}

TEST_F(ArmLoadStoreTest, EmptyListTransfersNothing) {
    r(0) = armWorkData;
    busWrite32(armWorkData, 0x77);
    EXPECT_EQ(execute(0xE8A00000), 1 + n32At(armRomCode)); // stmia r0!, {}
    EXPECT_EQ(r(0), armWorkData);
    EXPECT_EQ(word(armWorkData), 0x77u);
    EXPECT_EQ(execute(0xE8B00000), 1); // ldmia r0!, {}
    EXPECT_EQ(r(0), armWorkData);
}

TEST_F(ArmLoadStoreTest, StmWithSStoresTheUserBankAndNeverWritesBack) {
    switchMode(modeIrq);
    bankedRegister(modeUser, 14) = 0x5555;
    r(14) = 0x1414;
    r(13) = armWorkData + 0x20;
    execute(0xE96D400F); // stmdb sp!, {r0-r3, lr}^
    EXPECT_EQ(r(13), armWorkData + 0x20);
    EXPECT_EQ(word(armWorkData + 0x1C), 0x5555u);
}

TEST_F(ArmLoadStoreTest, LdmWithSAndNoPcLoadsTheUserBank) {
    switchMode(modeIrq);
    busWrite32(armWorkData, 0x1313);
    busWrite32(armWorkData + 4, 0x1414);
    r(0) = armWorkData;
    execute(0xE8F06000); // ldmia r0!, {r13, r14}^
    EXPECT_EQ(bankedRegister(modeUser, 13), 0x1313u);
    EXPECT_EQ(bankedRegister(modeUser, 14), 0x1414u);
    EXPECT_EQ(r(13), 0x03007FA0u);
    EXPECT_EQ(r(0), armWorkData); // no write-back
}

TEST_F(ArmLoadStoreTest, LdmWithSAndPcReturnsToTheSavedModeAndState) {
    switchMode(modeIrq);
    gba.cpu.spsrIrq = 0x6000003F; // System mode, THUMB
    r(13) = armWorkData;
    busWrite32(armWorkData, 0x42);
    busWrite32(armWorkData + 4, 0x08000301);
    // ldmfd sp!, {r0, pc}^
    EXPECT_EQ(execute(0xE8FD8001),
              1 + refillAt(armWorkData) + s32At(armWorkData) + refillAt(0x08000301));
    EXPECT_EQ(r(0), 0x42u);
    EXPECT_EQ(pc(), 0x08000301u);
    EXPECT_EQ(cpsr(), 0x6000003Fu);
    EXPECT_EQ(gba.cpu.armState, 0u);
    // The write-back lands in the base register of the mode returned to.
    EXPECT_EQ(bankedRegister(modeUser, 13), armWorkData + 8);
    EXPECT_EQ(bankedRegister(modeIrq, 13), armWorkData);
}

TEST_F(ArmLoadStoreTest, SixteenRegisterLoadOverdrawsTheBalance) {
    r(0) = armWorkData;
    const s32 cost = execute(0xE890FFFF); // ldmia r0, {r0-r15}
    EXPECT_EQ(cost, 1 + refillAt(armWorkData) + 15 * s32At(armWorkData) + refillAt(0));
    EXPECT_GT(cost, 64);
}

} // namespace
