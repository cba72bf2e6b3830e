#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "cart/save_memory.h"
#include "machine/gba_system.h"
#include "support/test_support.h"

namespace {

class SaveMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetSaveMemoryState();
    }
};

// Byte writes into the save region; the unlock addresses do not matter to the chip.
void flashBytes(std::initializer_list<u32> values, u32 address = 0x0E005555) {
    for (u32 value : values) {
        flashWrite(address, value);
    }
}

TEST_F(SaveMemoryTest, FlashEntersAndLeavesIdentificationMode) {
    flashBytes({0xAA, 0x90});
    EXPECT_EQ(gba.saveChip.flashIdMode, 0u) << "the unlock sequence needs both AA and 55";
    flashBytes({0x1AA, 0x55});
    flashWrite(0x0E002AAA, 0x90);
    EXPECT_EQ(gba.saveChip.flashIdMode, 1u);
    flashBytes({0xAA, 0x55, 0xF0});
    EXPECT_EQ(gba.saveChip.flashIdMode, 0u);
}

TEST_F(SaveMemoryTest, FlashSectorEraseNeedsTheEraseSetUpCommand) {
    std::memset(gba.FlashMemory, 0x11, flashSize);
    flashBytes({0xAA, 0x55, 0x30}, 0x0E003000);
    EXPECT_EQ(gba.FlashMemory[0x3000], 0x11);
    EXPECT_FALSE(gba.saveTouched);

    flashBytes({0xAA, 0x55, 0x80, 0xAA, 0x55});
    flashWrite(0x0E013456, 0x30); // the sector is taken from the low 16 address bits
    for (u32 i = 0x3000; i < 0x4000; ++i) {
        ASSERT_EQ(gba.FlashMemory[i], 0xFF) << i;
    }
    EXPECT_EQ(gba.FlashMemory[0x2FFF], 0x11);
    EXPECT_EQ(gba.FlashMemory[0x4000], 0x11);
    EXPECT_TRUE(gba.saveTouched && gba.savesChanged == flashChanged) << "an erase is saved";

    flashBytes({0xAA, 0x55, 0x30}, 0x0E005000);
    EXPECT_EQ(gba.FlashMemory[0x5000], 0x11) << "one 80 arms only one erase";
}

TEST_F(SaveMemoryTest, FlashProgramsOneByteAndSwallowsTheDataOfOtherCommands) {
    gba.FlashMemory[0x10] = 0x34;
    flashBytes({0xAA, 0x55, 0xA0});
    flashWrite(0x0E000010, 0x12);
    flashWrite(0x0E000011, 0x56);
    EXPECT_EQ(gba.FlashMemory[0x10], 0x12);
    EXPECT_EQ(gba.FlashMemory[0x11], 0) << "programming takes one byte only";
    EXPECT_TRUE(gba.saveTouched && gba.savesChanged == flashChanged)
        << "a programmed byte is saved";

    flashBytes({0xAA, 0x55, 0x10}); // chip erase: its next write is swallowed
    flashBytes({0xAA, 0x55, 0x90});
    EXPECT_EQ(gba.saveChip.flashIdMode, 0u);
    EXPECT_EQ(gba.FlashMemory[0x10], 0x12);
}

// One request bit per halfword at consecutive addresses, as a game's DMA sends it.
void sendEepromRequest(const std::vector<u32>& bits) {
    for (u32 i = 0; i < bits.size(); ++i) {
        eepromWrite(0x0D000000 + 2 * i, bits[i]);
    }
}

std::vector<u32> eepromRequest(u32 command, u32 block, const std::vector<u8>& data) {
    std::vector<u32> bits = {command >> 1, command & 1};
    for (int b = 5; b >= 0; --b) {
        bits.push_back((block >> b) & 1);
    }
    for (u8 byte : data) {
        for (int b = 7; b >= 0; --b) {
            bits.push_back((byte >> b) & 1);
        }
    }
    bits.push_back(0); // stop bit
    return bits;
}

TEST_F(SaveMemoryTest, EepromBlockIsWrittenAndReadBackBitByBit) {
    const std::vector<u8> data = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x23, 0x45, 0x80};
    std::vector<u32> request = eepromRequest(2, 5, data);
    ASSERT_EQ(request.size(), 73u);
    sendEepromRequest(request);
    EXPECT_EQ(gba.saveChip.eepromSeen, 1u);
    EXPECT_TRUE(gba.saveTouched && gba.savesChanged == eepromChanged) << "a written block is saved";
    EXPECT_EQ(std::vector<u8>(gba.EepromData + 40, gba.EepromData + 48), data);
    EXPECT_EQ(gba.EepromData[39], 0);
    EXPECT_EQ(gba.EepromData[48], 0);
    EXPECT_EQ(eepromRead(), 1u) << "ready answer after the write";

    request = eepromRequest(3, 5, {});
    ASSERT_EQ(request.size(), 9u);
    sendEepromRequest(request);
    std::vector<u32> answer;
    for (int i = 0; i < 68; ++i) {
        answer.push_back(eepromRead());
    }
    std::vector<u32> expected = {0, 0, 0, 0};
    std::vector<u32> dataBits = eepromRequest(0, 0, data);
    expected.insert(expected.end(), dataBits.begin() + 8, dataBits.end() - 1);
    EXPECT_EQ(answer, expected);
}

TEST_F(SaveMemoryTest, EepromByteCompletedOutsideTheRequestWindowStaysInsideTheImage) {
    sendEepromRequest(eepromRequest(3, 0, {})); // points the EEPROM at block 0
    for (u32 i = 0; i < 8; ++i) {
        eepromWrite(0x09000000 + 2 * i, 1); // completes at a nibble that names byte -1
    }
    EXPECT_EQ(gba.FlashMemory[flashSize - 1], 0);
    for (u32 i = 0; i < eepromSize; ++i) {
        ASSERT_EQ(gba.EepromData[i], 0) << i;
    }
}

} // namespace
