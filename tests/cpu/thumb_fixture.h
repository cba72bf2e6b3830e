// A machine reset into THUMB state, with encoders for the THUMB formats under test, so that
// single instructions can be placed anywhere and executed one at a time.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "cpu/execution.h"
#include "cpu/registers.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/memory_access.h"
#include "support/test_support.h"

// Costs of the regions with WAITCNT = 0: game pak (region 8) S16 2, N16 4; WorkRam S16 = N16
// = 2, S32 = N32 = 4; internal RAM nothing.
constexpr u32 romCode = 0x08000100;
constexpr u32 ramCode = 0x03000100;
constexpr u32 workRam = 0x02000000;
constexpr u32 romS16 = 2, romN16 = 4, romR16 = 6, romL16 = 10;
constexpr u32 workS16 = 2, workN16 = 2, workR16 = 4, workL16 = 6, workR32 = 8;

namespace thumb {
constexpr u16 shiftImm(u32 type, u32 rd, u32 rs, u32 n) {
    return static_cast<u16>(type << 11 | n << 6 | rs << 3 | rd);
}
constexpr u16 addSub(bool immediate, bool subtract, u32 rd, u32 rs, u32 rnOrImm) {
    return static_cast<u16>(0x1800 | immediate << 10 | subtract << 9 | rnOrImm << 6 | rs << 3 | rd);
}
constexpr u16 immOp(u32 op, u32 rd, u32 imm) {
    return static_cast<u16>(0x2000 | op << 11 | rd << 8 | imm);
}
constexpr u16 alu(u32 op, u32 rd, u32 rs) {
    return static_cast<u16>(0x4000 | op << 6 | rs << 3 | rd);
}
// op 0 ADD, 1 CMP, 2 MOV, 3 BX; full register numbers 0-15.
constexpr u16 hiReg(u32 op, u32 rd, u32 rs) {
    return static_cast<u16>(0x4400 | op << 8 | (rd >> 3) << 7 | (rs >> 3) << 6 | (rs & 7) << 3 |
                            (rd & 7));
}
constexpr u16 bx(u32 rs) {
    return hiReg(3, 0, rs);
}
constexpr u16 ldrPc(u32 rd, u32 words) {
    return static_cast<u16>(0x4800 | rd << 8 | words);
}
// op = opcode bits 11-9: STR, STRH, STRB, LDSB, LDR, LDRH, LDRB, LDSH.
constexpr u16 regOffset(u32 op, u32 rd, u32 rb, u32 ro) {
    return static_cast<u16>(0x5000 | op << 9 | ro << 6 | rb << 3 | rd);
}
constexpr u16 immOffset(bool byte, bool load, u32 rd, u32 rb, u32 offset5) {
    return static_cast<u16>(0x6000 | byte << 12 | load << 11 | offset5 << 6 | rb << 3 | rd);
}
constexpr u16 halfImm(bool load, u32 rd, u32 rb, u32 offset5) {
    return static_cast<u16>(0x8000 | load << 11 | offset5 << 6 | rb << 3 | rd);
}
constexpr u16 spRel(bool load, u32 rd, u32 words) {
    return static_cast<u16>(0x9000 | load << 11 | rd << 8 | words);
}
constexpr u16 loadAddress(bool fromSp, u32 rd, u32 words) {
    return static_cast<u16>(0xA000 | fromSp << 11 | rd << 8 | words);
}
constexpr u16 adjustSp(bool subtract, u32 words) {
    return static_cast<u16>(0xB000 | subtract << 7 | words);
}
constexpr u16 push(u32 list, bool lr = false) {
    return static_cast<u16>(0xB400 | lr << 8 | list);
}
constexpr u16 pop(u32 list, bool pc = false) {
    return static_cast<u16>(0xBC00 | pc << 8 | list);
}
constexpr u16 stmia(u32 rb, u32 list) {
    return static_cast<u16>(0xC000 | rb << 8 | list);
}
constexpr u16 ldmia(u32 rb, u32 list) {
    return static_cast<u16>(0xC800 | rb << 8 | list);
}
constexpr u16 bcond(u32 condition, s32 halfwords) {
    return static_cast<u16>(0xD000 | condition << 8 | (static_cast<u32>(halfwords) & 0xFF));
}
constexpr u16 swi(u32 comment) {
    return static_cast<u16>(0xDF00 | comment);
}
constexpr u16 b(s32 halfwords) {
    return static_cast<u16>(0xE000 | (static_cast<u32>(halfwords) & 0x7FF));
}
constexpr u16 blFirst(u32 offset11) {
    return static_cast<u16>(0xF000 | offset11);
}
constexpr u16 blSecond(u32 offset11) {
    return static_cast<u16>(0xF800 | offset11);
}
} // namespace thumb

class ThumbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetMachine();
        gba.cpu.armState = 0;
        gba.cpu.cpsr |= flagT;
    }

    // Writes OPCODE at ADDRESS (game pak or writable memory).
    static void place(u32 address, u16 opcode) {
        if ((address >> 24) == 8) {
            store16(gba.GamePakRom + (address & 0x1FFFFFF), opcode);
        } else {
            busWrite16(address, opcode);
        }
    }

    // Executes OPCODES one after another from ADDRESS; returns the cycles they cost.
    static u32 run(std::initializer_list<u16> opcodes, u32 address = romCode) {
        u32 at = address;
        for (u16 opcode : opcodes) {
            place(at, opcode);
            at += 2;
        }
        programCounter() = address;
        gba.cpu.cycleBalance = 0;
        for (size_t i = 0; i < opcodes.size(); ++i) {
            executeOneInstruction();
        }
        return static_cast<u32>(-gba.cpu.cycleBalance);
    }

    static u32 run(u16 opcode, u32 address = romCode) { return run({opcode}, address); }

    static void setFlags(u32 nzcv) { gba.cpu.cpsr = (gba.cpu.cpsr & 0x0FFFFFFF) | nzcv; }
    static u32 flags() { return gba.cpu.cpsr & 0xF0000000; }
};
