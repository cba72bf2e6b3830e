#include <bit>
#include <cstring>
#include <random>
#include <vector>

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
    reg(2) = 3; // an odd address reads the addressed byte, sign-extended
    EXPECT_EQ(run(regOffset(LDSH, 0, 1, 2)), 1 + workR16);
    EXPECT_EQ(reg(0), 0xFFFFFF80u);
    run(regOffset(LDRH, 0, 1, 2)); // and the halfword below it rotated right by 8
    EXPECT_EQ(reg(0), 0x01000080u);

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

// Everything a store may reach, so that a transfer can be compared with the bus writes it
// stands for, made on the same starting memory.
std::vector<u8> writableMemory() {
    std::vector<u8> copy;
    for (auto [memory, size] : {std::pair{gba.WorkRam, sizeof gba.WorkRam},
                                {gba.InternalRam, sizeof gba.InternalRam},
                                {gba.PaletteRam, sizeof gba.PaletteRam},
                                {gba.VideoRam, sizeof gba.VideoRam},
                                {gba.ObjectAttributes, sizeof gba.ObjectAttributes}}) {
        copy.insert(copy.end(), memory, memory + size);
    }
    return copy;
}

void restoreWritableMemory(const std::vector<u8>& copy) {
    size_t at = 0;
    for (auto [memory, size] : {std::pair{gba.WorkRam, sizeof gba.WorkRam},
                                {gba.InternalRam, sizeof gba.InternalRam},
                                {gba.PaletteRam, sizeof gba.PaletteRam},
                                {gba.VideoRam, sizeof gba.VideoRam},
                                {gba.ObjectAttributes, sizeof gba.ObjectAttributes}}) {
        std::memcpy(memory, copy.data() + at, size);
        at += size;
    }
}

// Transfers are done in place in work and internal RAM (loads also in the game pak) and
// through the bus elsewhere; around mirror edges and region edges either way each register must
// come from, or go to, the bus address of its own word, with the bus's own rules (byte writes,
// alignment) for every width.
TEST_F(ThumbLoadStoreTest, TransfersMatchBusAccessesAcrossMirrorAndRegionEdges) {
    // Game pak loads are read in place too. Its upper window answers halfwords from the EEPROM
    // once one was addressed, which none is here.
    const u32 edges[] = {0x02000100, 0x0203FFF0, 0x02FFFFF0, 0x03007FF0, 0x05FFFFF0,
                         0x06017FF0, 0x07FFFFF0, 0x09FFFFF0, 0x0CFFFF00};
    std::mt19937 random(33);
    for (u32 trial = 0; trial < 900; ++trial) {
        const u32 lowest = edges[trial % 9] + 4 * (random() % 8);
        for (u32 n = 0; n < 8; ++n) {
            reg(n) = random();
        }
        reg(14) = random();
        for (u32 i = 0; i < 12; ++i) {
            const u32 at = lowest + 4 * i;
            if (at >> 24 >= 8) {
                store32(gba.GamePakRom + (at & 0x1FFFFFC), random());
            } else {
                busWrite32(at, random());
            }
        }
        const std::vector<u8> before = writableMemory();
        const u32 kind = random() % 8;
        std::vector<u32> loaded;                 // expected R0-R7 after a load
        std::vector<std::pair<u32, u32>> stores; // (address, word) of a block
        u32 width = 4, address = lowest, value = 0;
        bool load = false;
        u16 opcode;
        SCOPED_TRACE(testing::Message() << std::hex << "at " << lowest << " kind " << kind);
        if (kind < 4) {
            // PUSH (with LR), POP (with PC), STMIA R7!, LDMIA R7!: R7 is never in the list.
            const u32 list = 1 + random() % 0x7F;
            const bool extra = random() & 1;
            const u32 words = static_cast<u32>(std::popcount(list)) + (kind < 2 && extra);
            load = kind & 1;
            opcode = kind == 0   ? push(list, extra)
                     : kind == 1 ? pop(list, extra)
                     : kind == 2 ? stmia(7, list)
                                 : ldmia(7, list);
            const u32 base = kind == 0 ? lowest + 4 * words : lowest;
            (kind < 2 ? reg(13) : reg(7)) = base;
            loaded.assign(&reg(0), &reg(0) + 8);
            u32 at = lowest;
            for (u32 n = 0; n < 8; ++n) {
                if (list & (1u << n)) {
                    load ? void(loaded[n] = busRead32(at)) : stores.push_back({at, reg(n)});
                    at += 4;
                }
            }
            if (kind == 0 && extra) {
                stores.push_back({at, reg(14)});
            }
            const u32 target = kind == 1 && extra ? busRead32(at) & ~1u : 0;
            if (kind == 3) {
                loaded[7] = lowest + 4 * words;
            }
            run(opcode);
            EXPECT_EQ(kind < 2 ? reg(13) : reg(7), kind == 0   ? lowest
                                                   : kind == 1 ? lowest + 4 * words
                                                               : lowest + 4 * words);
            if (kind == 1 && extra) {
                EXPECT_EQ(programCounter(), target);
            }
        } else {
            // Single transfers at any alignment: register offset, immediate offset, SP-relative.
            address = lowest + random() % 4;
            const u32 form = random() % 3;
            u32 op = random() % 8; // STR, STRH, STRB, LDSB, LDR, LDRH, LDRB, LDSH
            if (form == 0) {
                reg(2) = random() % 64;
                reg(1) = address - reg(2);
                opcode = regOffset(op, 0, 1, 2);
            } else if (form == 1) {
                op = op & 5; // STR, STRB (as 1), LDR (4), LDRB (5)
                const bool byte = op & 1;
                const u32 offset = random() % 8;
                reg(1) = address - offset * (byte ? 1 : 4);
                opcode = immOffset(byte, op & 4, 0, 1, offset);
                op = byte ? (op & 4 ? 6 : 2) : (op & 4 ? 4 : 0);
            } else {
                op &= 4; // STR or LDR
                const u32 words = random() % 8;
                reg(13) = address - 4 * words;
                opcode = spRel(op == 4, 0, words);
            }
            width = op == 0 || op == 4 ? 4 : op == 1 || op == 5 || op == 7 ? 2 : 1;
            load = op >= 3;
            value = reg(0);
            loaded.assign(&reg(0), &reg(0) + 8);
            if (load) {
                const u32 word = busRead32(address);
                loaded[0] = op == 4   ? (form == 0 ? std::rotr(word, 8 * (address & 3)) : word)
                            : op == 5 ? std::rotr(busRead16(address), 8 * (address & 1))
                            : op == 6 ? busRead8(address)
                            : op == 3 || (address & 1)
                                ? static_cast<u32>(static_cast<s8>(busRead8(address)))
                                : static_cast<u32>(static_cast<s16>(busRead16(address)));
            }
            run(opcode);
        }
        const std::vector<u8> after = writableMemory();
        restoreWritableMemory(before);
        if (!load) {
            if (kind < 4) {
                for (auto [at, word] : stores) {
                    busWrite32(at, word);
                }
            } else if (width == 4) {
                busWrite32(address, value);
            } else if (width == 2) {
                busWrite16(address, value & 0xFFFF);
            } else {
                busWrite8(address, value & 0xFF);
            }
        }
        ASSERT_TRUE(writableMemory() == after) << std::hex << "opcode " << opcode;
        if (load) {
            for (u32 n = 0; n < 8; ++n) {
                ASSERT_EQ(reg(n), loaded[n]) << std::hex << "opcode " << opcode << " R" << n;
            }
        }
    }
}

} // namespace
