// The direct instruction fetch must give what the bus gives, with the same side effects, for
// every region, its mirrors and edges, and the states that change what the bus answers; so
// must the CPU's in-place loads and stores.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "cpu/data_access.h"
#include "cpu/fetch.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "support/test_support.h"

namespace {

class FetchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        std::mt19937 random(16);
        auto fill = [&](u8* memory, u32 size) {
            for (u32 i = 0; i < size; ++i) {
                memory[i] = static_cast<u8>(random());
            }
        };
        fill(gba.BiosRom, biosSize);
        fill(gba.WorkRam, workRamSize);
        fill(gba.InternalRam, internalRamSize);
        fill(gba.VideoRam, videoRamSize);
        fill(gba.PaletteRam, sizeof gba.PaletteRam);
        fill(gba.ObjectAttributes, sizeof gba.ObjectAttributes);
        fill(gba.SaveRam, sizeof gba.SaveRam);
        fill(gba.GamePakRom, 0x100000);
        fill(gba.GamePakRom + gamePakSize - 0x1000, 0x1000);
    }

    // Addresses in every region: its start and end, steps across its mirrors, odd offsets,
    // and the same again with the top address bits set.
    static std::vector<u32> probeAddresses() {
        std::vector<u32> addresses;
        std::mt19937 random(61);
        for (u32 top = 0; top < 0x100; top += 0x10) {
            for (u32 region = 0; region < 16; ++region) {
                u32 base = (top | region) << 24;
                for (u32 offset : {0x0u, 0x2u, 0x3u, 0x3FFEu, 0x3FFFu, 0x4000u, 0x7FFEu, 0x8000u,
                                   0xFFFEu, 0x10000u, 0x17FFEu, 0x18000u, 0x1FFFEu, 0x20000u,
                                   0x3FFFEu, 0x40000u, 0xFFFFEu, 0xFFFFFEu}) {
                    addresses.push_back(base + offset);
                }
                for (int i = 0; i < 8; ++i) {
                    addresses.push_back(base + (random() & 0xFFFFFF));
                }
            }
        }
        return addresses;
    }

    static auto eepromPosition() {
        return std::make_tuple(gba.saveChip.eepromReadState, gba.saveChip.eepromDummy,
                               gba.saveChip.eepromBitIndex);
    }

    // Fetches every probe twice, with a fresh window and with the window of the previous
    // fetch, and compares value and save-touched flag with the bus read at the same PC.
    static void expectFetchesMatchTheBus(u32 width) {
        FetchWindow carried;
        for (u32 address : probeAddresses()) {
            for (bool fresh : {true, false}) {
                FetchWindow window = fresh ? FetchWindow{} : carried;
                gba.cpu.registers[15] = address;
                gba.saveTouched = 0;
                // EEPROM reads move its bit stream on: both reads start from the same point.
                auto eepromBefore = eepromPosition();
                u32 expected = width == 4 ? busRead32(address) : busRead16(address);
                bool touchedByBus = gba.saveTouched;
                auto eepromAfterBus = eepromPosition();
                gba.saveTouched = 0;
                std::tie(gba.saveChip.eepromReadState, gba.saveChip.eepromDummy,
                         gba.saveChip.eepromBitIndex) = eepromBefore;
                u32 fetched = width == 4 ? fetchArmInline(window, address)
                                         : fetchThumbInline(window, address);
                ASSERT_EQ(fetched, expected) << std::hex << "address 0x" << address;
                ASSERT_EQ(static_cast<bool>(gba.saveTouched), touchedByBus)
                    << std::hex << "address 0x" << address;
                ASSERT_EQ(eepromPosition(), eepromAfterBus) << std::hex << "address 0x" << address;
                carried = window;
            }
        }
    }
};

TEST_F(FetchTest, ArmAndThumbFetchesMatchTheBusInEveryRegion) {
    expectFetchesMatchTheBus(4);
    expectFetchesMatchTheBus(2);
}

TEST_F(FetchTest, FetchesFollowTheBusWhileTheBootRegionIsRedirectedAndTheEepromAnswers) {
    gba.saveChip.biosSaveRedirect = 1;
    gba.saveChip.eepromSeen = 1;
    expectFetchesMatchTheBus(4);
    expectFetchesMatchTheBus(2);
}

TEST_F(FetchTest, ACarriedWindowSeesMemoryWrittenSinceTheLastFetch) {
    FetchWindow window;
    fetchArmInline(window, 0x02000100);
    busWrite32(0x02000104, 0xE1A00000);
    EXPECT_EQ(fetchArmInline(window, 0x02000104), 0xE1A00000u);
    busWrite16(0x06018002, 0x4770); // lands in the mirrored 32 KB at 0x10000
    fetchThumbInline(window, 0x06010000);
    EXPECT_EQ(fetchThumbInline(window, 0x06018002), 0x4770u);
}

// The CPU's loads and stores go to work and internal RAM in place: at every probe in those
// regions (mirrors, odd addresses, top bits set) each width reads what the bus reads and
// writes the bytes the bus writes.
TEST_F(FetchTest, InPlaceRamAccessesMatchTheBus) {
    std::vector<u8> afterBus(workRamSize + internalRamSize);
    auto snapshot = [](u8* copy) {
        std::memcpy(copy, gba.WorkRam, workRamSize);
        std::memcpy(copy + workRamSize, gba.InternalRam, internalRamSize);
    };
    u32 value = 0x8C3A5F17;
    for (u32 address : probeAddresses()) {
        if (((address >> 24) & 14) != 2) {
            continue; // regions 2 and 3
        }
        ASSERT_EQ(cpuRead8(address), busRead8(address)) << std::hex << address;
        ASSERT_EQ(cpuRead16(address), busRead16(address)) << std::hex << address;
        ASSERT_EQ(cpuRead32(address), busRead32(address)) << std::hex << address;
        for (u32 width : {1u, 2u, 4u}) {
            value = value * 1664525 + 1013904223;
            auto write = [&](auto write8, auto write16, auto write32) {
                width == 1   ? write8(address, value)
                : width == 2 ? write16(address, value)
                             : write32(address, value);
            };
            std::vector<u8> before(afterBus.size());
            snapshot(before.data());
            write(busWrite8, busWrite16, busWrite32);
            snapshot(afterBus.data());
            std::memcpy(gba.WorkRam, before.data(), workRamSize);
            std::memcpy(gba.InternalRam, before.data() + workRamSize, internalRamSize);
            write(cpuWrite8, cpuWrite16, cpuWrite32);
            snapshot(before.data());
            ASSERT_TRUE(before == afterBus) << std::hex << address << " width " << width;
        }
    }
}

} // namespace
