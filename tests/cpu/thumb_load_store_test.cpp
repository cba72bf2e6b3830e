#include "cpu/thumb_fixture.h"

namespace {

using namespace thumb;

constexpr u32 STR = 0, STRH = 1, STRB = 2, LDSB = 3, LDR = 4, LDRH = 5, LDRB = 6, LDSH = 7;

using ThumbLoadStoreTest = ThumbTest;

TEST_F(ThumbLoadStoreTest, PcRelativeLoadUsesTheWordAlignedAddressPlusFour) {
    store32(gba.GamePakRom + 0x108, 0x11223344);
    store32(gba.GamePakRom + 0x10C, 0x55667788);
    // At an address ending in 2 the word at that address + 6 is read.
    EXPECT_EQ(run(ldrPc(0, 1), romCode + 2), romS16); // the data access is not charged
    EXPECT_EQ(reg(0), 0x11223344u);
    EXPECT_EQ(programCounter(), romCode + 4);

    run(ldrPc(7, 2), romCode);
    EXPECT_EQ(reg(7), 0x55667788u);
}

TEST_F(ThumbLoadStoreTest, OnlyTheRegisterOffsetWordLoadRotates) {
    busWrite32(workRam, 0x11223344);
    reg(1) = workRam;
    reg(2) = 1;
    EXPECT_EQ(run(regOffset(LDR, 0, 1, 2)), 1 + workR32);
    EXPECT_EQ(reg(0), 0x44112233u);

    reg(3) = workRam + 3;
    EXPECT_EQ(run(immOffset(false, true, 4, 3, 0)), 1 + workR16); // LDR R4, [R3, #0]
    EXPECT_EQ(reg(4), 0x11223344u);

    reg(13) = workRam + 2;
    EXPECT_EQ(run(spRel(true, 5, 0)), 1 + workR16); // LDR R5, [SP, #0]
    EXPECT_EQ(reg(5), 0x11223344u);
}

TEST_F(ThumbLoadStoreTest, ByteAndHalfwordLoadsExtend) {
    busWrite32(workRam, 0x8001F280);
    reg(1) = workRam;
    for (u32 offset : {0u, 1u, 2u, 3u}) {
        reg(2) = offset;
        EXPECT_EQ(run(regOffset(LDRB, 0, 1, 2)), 1 + workR16);
        EXPECT_EQ(reg(0), (0x8001F280u >> (8 * offset)) & 0xFF);
    }
    reg(2) = 0;
    run(regOffset(LDSB, 0, 1, 2));
    EXPECT_EQ(reg(0), 0xFFFFFF80u);
    reg(2) = 2;
    run(regOffset(LDRH, 0, 1, 2));
    EXPECT_EQ(reg(0), 0x8001u);
    reg(2) = 3; // an odd address reads the halfword below it, sign-extended from bit 15
    EXPECT_EQ(run(regOffset(LDSH, 0, 1, 2)), 1 + workR16);
    EXPECT_EQ(reg(0), 0xFFFF8001u);

    run(immOffset(true, true, 3, 1, 1)); // LDRB R3, [R1, #1]
    EXPECT_EQ(reg(3), 0xF2u);
    EXPECT_EQ(run(halfImm(true, 4, 1, 1)), 1 + workR16); // LDRH R4, [R1, #2]
    EXPECT_EQ(reg(4), 0x8001u);
}

TEST_F(ThumbLoadStoreTest, StoresWriteTheirWidthAndCostTwoNonSequentialAccesses) {
    reg(0) = 0xAABBCCDD;
    reg(1) = workRam;
    reg(2) = 0x10;
    EXPECT_EQ(run(regOffset(STR, 0, 1, 2)), romN16 + workN16);
    EXPECT_EQ(busRead32(workRam + 0x10), 0xAABBCCDDu);

    reg(2) = 0x21;
    EXPECT_EQ(run(regOffset(STRB, 0, 1, 2)), romN16 + workN16);
    EXPECT_EQ(busRead32(workRam + 0x20), 0x0000DD00u);

    reg(2) = 0x32;
    run(regOffset(STRH, 0, 1, 2));
    EXPECT_EQ(busRead32(workRam + 0x30), 0xCCDD0000u);

    run(immOffset(false, false, 0, 1, 0x10)); // STR R0, [R1, #64]
    EXPECT_EQ(busRead32(workRam + 0x40), 0xAABBCCDDu);
    run(immOffset(true, false, 0, 1, 0x13)); // STRB R0, [R1, #19]
    EXPECT_EQ(busRead32(workRam + 0x10), 0xDDBBCCDDu);
    EXPECT_EQ(run(halfImm(false, 0, 1, 0x1F)), romN16 + workN16); // STRH R0, [R1, #62]
    EXPECT_EQ(busRead32(workRam + 0x3C), 0xCCDD0000u);

    reg(13) = workRam + 0x80;
    EXPECT_EQ(run(spRel(false, 0, 255)), romN16 + workN16); // STR R0, [SP, #1020]
    EXPECT_EQ(busRead32(workRam + 0x80 + 1020), 0xAABBCCDDu);
}

TEST_F(ThumbLoadStoreTest, PushStoresUpwardFromTheLoweredStackPointer) {
    reg(13) = workRam + 0x100;
    reg(0) = 0xA;
    reg(2) = 0xC;
    EXPECT_EQ(run(push(0b101)), 1 + workN16 + workS16 + romN16);
    EXPECT_EQ(reg(13), workRam + 0xF8);
    EXPECT_EQ(busRead32(workRam + 0xF8), 0xAu);
    EXPECT_EQ(busRead32(workRam + 0xFC), 0xCu);

    reg(1) = 1;
    reg(14) = 0x0800ABCD;
    EXPECT_EQ(run(push(0b10, true)), 1 + workL16); // PUSH {R1, LR}
    EXPECT_EQ(reg(13), workRam + 0xF0);
    EXPECT_EQ(busRead32(workRam + 0xF0), 1u);
    EXPECT_EQ(busRead32(workRam + 0xF4), 0x0800ABCDu);

    reg(3) = 3;
    EXPECT_EQ(run(push(0b1011, true)), 1 + 2 * workS16 + workL16); // PUSH {R0, R1, R3, LR}
    EXPECT_EQ(busRead32(workRam + 0xE0), 0xAu);
    EXPECT_EQ(busRead32(workRam + 0xE8), 3u);
    EXPECT_EQ(busRead32(workRam + 0xEC), 0x0800ABCDu);

    EXPECT_EQ(run(push(0)), 1 + romN16); // an empty list moves nothing
    EXPECT_EQ(reg(13), workRam + 0xE0);
}

TEST_F(ThumbLoadStoreTest, PopLoadsUpwardAndPopPcStaysInThumb) {
    reg(13) = workRam + 0x100;
    busWrite32(workRam + 0x100, 0x11);
    busWrite32(workRam + 0x104, 0x22);
    busWrite32(workRam + 0x108, 0x33);
    busWrite32(workRam + 0x10C, 0x08000301);
    EXPECT_EQ(run(pop(0b11000)), 1 + workR16 + workS16); // POP {R3, R4}
    EXPECT_EQ(reg(3), 0x11u);
    EXPECT_EQ(reg(4), 0x22u);
    EXPECT_EQ(reg(13), workRam + 0x108);

    EXPECT_EQ(run(pop(0b1, true)), 1 + workR16 + workR16); // POP {R0, PC}
    EXPECT_EQ(reg(0), 0x33u);
    EXPECT_EQ(programCounter(), 0x08000300u); // the odd word lands on the even address
    EXPECT_EQ(gba.cpu.armState, 0u);
    EXPECT_EQ(reg(13), workRam + 0x110);

    busWrite32(workRam + 0x110, 0x03000200);
    EXPECT_EQ(run(pop(0, true)), 1 + workR16); // POP {PC}
    EXPECT_EQ(programCounter(), 0x03000200u);
    EXPECT_EQ(gba.cpu.armState, 0u);
    EXPECT_EQ(reg(13), workRam + 0x114);
}

TEST_F(ThumbLoadStoreTest, StoreMultipleWritesTheBaseBackAfterTheFirstStore) {
    reg(0) = workRam + 0x40;
    reg(1) = 7;
    EXPECT_EQ(run(stmia(0, 0b11)), 1 + workN16 + workS16 + romN16);
    EXPECT_EQ(busRead32(workRam + 0x40), workRam + 0x40); // lowest in the list: old value
    EXPECT_EQ(busRead32(workRam + 0x44), 7u);
    EXPECT_EQ(reg(0), workRam + 0x48);

    reg(0) = 9;
    reg(1) = workRam + 0x60;
    run(stmia(1, 0b11));
    EXPECT_EQ(busRead32(workRam + 0x60), 9u);
    EXPECT_EQ(busRead32(workRam + 0x64), workRam + 0x68); // not lowest: new value
    EXPECT_EQ(reg(1), workRam + 0x68);

    reg(2) = workRam + 0x80;
    EXPECT_EQ(run(stmia(2, 0)), 1 + romN16);
    EXPECT_EQ(reg(2), workRam + 0x80);
}

TEST_F(ThumbLoadStoreTest, LoadMultipleKeepsALoadedBase) {
    busWrite32(workRam + 0x40, 0x1111);
    busWrite32(workRam + 0x44, 0x2222);
    reg(0) = workRam + 0x40;
    EXPECT_EQ(run(ldmia(0, 0b11)), 1 + workR16 + workS16);
    EXPECT_EQ(reg(0), 0x1111u);
    EXPECT_EQ(reg(1), 0x2222u);

    reg(7) = workRam + 0x40;
    run(ldmia(7, 0b100100)); // LDMIA R7!, {R2, R5}
    EXPECT_EQ(reg(2), 0x1111u);
    EXPECT_EQ(reg(5), 0x2222u);
    EXPECT_EQ(reg(7), workRam + 0x48);
}

} // namespace
