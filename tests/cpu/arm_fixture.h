// A freshly reset machine on which single ARM handlers are run as if their instruction sat at
// a chosen address, with the cycles each one charged.
#pragma once

#include <gtest/gtest.h>

#include "cpu/dispatch.h"
#include "cpu/registers.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/wait_states.h"
#include "support/test_support.h"

constexpr u32 armRomCode = 0x08000100;
constexpr u32 armRamCode = 0x03000100; // internal RAM: no access costs anything
constexpr u32 armWorkData = 0x02000100;

class ArmHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetMachine();
    }

    // Runs the handler of OPCODE with R15 as the loop leaves it (AT + 4); returns its cost.
    s32 execute(u32 opcode, u32 at = armRomCode) {
        gba.cpu.registers[15] = at + 4;
        gba.cpu.cycleBalance = 1000;
        armHandlers[armIndex(opcode)](opcode);
        return 1000 - gba.cpu.cycleBalance;
    }

    static u32& r(u32 n) { return reg(n); }
    static u32 pc() { return gba.cpu.registers[15]; }
    static u32 cpsr() { return gba.cpu.cpsr; }

    // Wait-state costs by region, read from the live tables.
    static s32 s32At(u32 address) { return accessCyclesS32[address >> 24]; }
    static s32 n32At(u32 address) { return accessCyclesN32[address >> 24]; }
    static s32 refillAt(u32 address) { return refillCycles32[address >> 24]; }
};
