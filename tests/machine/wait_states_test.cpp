#include <gtest/gtest.h>

#include "common/settings.h"
#include "machine/bus.h"
#include "machine/io_registers.h"
#include "machine/wait_states.h"
#include "support/test_support.h"

namespace {

class WaitStatesTest : public ::testing::Test {
  protected:
    void SetUp() override { resetTestMachine(); }
};

TEST_F(WaitStatesTest, PowerOnCostsOfEveryRegion) {
    // Regions 0-7 and 15 are fixed; 8-14 follow WAITCNT = 0.
    const u16 s16[16] = {1, 1, 2, 0, 0, 1, 1, 1, 2, 2, 4, 4, 8, 8, 8, 1};
    const u16 n16[16] = {1, 1, 2, 0, 0, 1, 1, 1, 4, 4, 4, 4, 4, 4, 8, 1};
    const u16 s32[16] = {1, 1, 4, 0, 0, 2, 2, 1, 4, 4, 8, 8, 16, 16, 16, 1};
    const u16 n32[16] = {1, 1, 4, 0, 0, 2, 2, 1, 8, 8, 8, 8, 8, 8, 16, 1};
    for (int region = 0; region < 16; ++region) {
        SCOPED_TRACE(region);
        EXPECT_EQ(accessCyclesS16[region], s16[region]);
        EXPECT_EQ(accessCyclesN16[region], n16[region]);
        EXPECT_EQ(accessCyclesS32[region], s32[region]);
        EXPECT_EQ(accessCyclesN32[region], n32[region]);
    }
    EXPECT_EQ(refillCycles32[8], 12);
    EXPECT_EQ(longRefillCycles16[8], 10);
    EXPECT_EQ(refillCycles16[15], 0);
    EXPECT_EQ(longRefillCycles32[15], 0);
}

TEST_F(WaitStatesTest, EntriesRepeatEverySixteenRegions) {
    applyWaitControl(0x4317);
    for (int index = 16; index < 256; ++index) {
        ASSERT_EQ(accessCyclesN16[index], accessCyclesN16[index & 15]) << index;
        ASSERT_EQ(refillCycles32[index], refillCycles32[index & 15]) << index;
        ASSERT_EQ(longRefillCycles32[index], longRefillCycles32[index & 15]) << index;
    }
}

TEST_F(WaitStatesTest, WaitControlFieldsSetEachWindow) {
    // SRAM 3 -> 8 doubled; window 0: N code 1 -> 3, S fast; window 1: N code 2 -> 2, S slow;
    // window 2: N code 3 -> 8, S fast.
    applyWaitControl(0x3 | (1 << 2) | (1 << 4) | (2 << 5) | (3 << 8) | (1 << 10));
    EXPECT_EQ(accessCyclesN16[14], 16);
    EXPECT_EQ(accessCyclesS16[14], 16);
    EXPECT_EQ(accessCyclesN16[8], 3);
    EXPECT_EQ(accessCyclesS16[9], 1);
    EXPECT_EQ(accessCyclesN16[10], 2);
    EXPECT_EQ(accessCyclesS16[11], 4);
    EXPECT_EQ(accessCyclesN16[12], 8);
    EXPECT_EQ(accessCyclesS16[13], 1);
    EXPECT_EQ(accessCyclesN32[12], 16);
    EXPECT_EQ(accessCyclesS32[8], 2);
    EXPECT_EQ(refillCycles16[8], 4);
    EXPECT_EQ(longRefillCycles16[12], 17);
    EXPECT_EQ(accessCyclesS16[2], 2); // work RAM is not touched
}

TEST_F(WaitStatesTest, BusWidthFlags) {
    const u8 expected[16] = {0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1};
    for (int region = 0; region < 16; ++region) {
        EXPECT_EQ(busIs16Bit[region], expected[region]) << region;
    }
}

TEST_F(WaitStatesTest, WaitcntWritesRetuneTheGamePakUnlessDisabled) {
    busWrite16(0x04000204, 0x4317);
    EXPECT_EQ(accessCyclesN16[8], 3);
    EXPECT_EQ(accessCyclesS16[8], 1);
    EXPECT_EQ(busRead16(0x04000204), 0x4317u);

    resetTestMachine();
    settings.disableWaitControl = 1;
    busWrite16(0x04000204, 0x4317);
    EXPECT_EQ(accessCyclesN16[8], 4);
    EXPECT_EQ(accessCyclesS16[8], 2);
    EXPECT_EQ(busRead16(0x04000204), 0x4317u); // the register still stores the bits
}

} // namespace
