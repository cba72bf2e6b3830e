#include <gtest/gtest.h>

#include "common/settings.h"
#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/timers.h"
#include "platform/headless/headless_host.h"
#include "platform/host.h"
#include "sound/fifo.h"
#include "sound/sound_output.h"
#include "sound/sound_registers.h"
#include "support/test_support.h"

namespace {

class FifoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetDma();
        resetTimers();
        gba.cpu.cpsr = 0x80;
        soundFifos[0] = SoundFifo{};
        soundFifos[1] = SoundFifo{};
        resetFifo(0);
        resetFifo(1);
    }
};

TEST_F(FifoTest, WritesAppendBytesInAddressOrderAfterAReset) {
    busWrite32(0x040000A0, 0x44332211);
    EXPECT_EQ(soundFifos[0].ring[1], 0x11);
    EXPECT_EQ(soundFifos[0].ring[4], 0x44);
    EXPECT_EQ(soundFifos[0].writeIndex, 5);
    busWrite16(0x040000A6, 0x6655);
    EXPECT_EQ(soundFifos[1].ring[1], 0x55);
    EXPECT_EQ(soundFifos[1].ring[2], 0x66);

    busWrite16(0x04000082, 1 << 11); // reset FIFO A
    EXPECT_EQ(soundFifos[0].writeIndex, 1);
    EXPECT_EQ(soundFifos[0].ring[1], 0);
    EXPECT_EQ(soundFifos[1].writeIndex, 3);

    busWrite16(0x04000084, 0); // master off resets both
    EXPECT_EQ(soundFifos[1].writeIndex, 1);
}

TEST_F(FifoTest, EachTimerOverflowHoldsOneByteForTheElapsedOutputIntervals) {
    ioRegister(io::SOUNDCNT_H) = 1 << 11; // FIFO A in use, clocked by timer 0
    soundFifos[0].ring[0] = 0x7F;
    soundFifos[0].ring[1] = 0x10;
    soundFifos[0].writeIndex = 100;
    fifoTimerOverflow(0, 1024);
    EXPECT_EQ(soundFifos[0].frameSampleCount, 3); // (1024 + 380) / 381
    EXPECT_EQ(soundFifos[0].sampleClock, 3u * 381);
    EXPECT_EQ(soundFifos[0].frameBuffer[2], 0x7F);
    fifoTimerOverflow(0, 2048);
    EXPECT_EQ(soundFifos[0].frameSampleCount, 6); // 2048 - 1143 = 905 -> 3 more
    EXPECT_EQ(soundFifos[0].frameBuffer[5], 0x10);
    EXPECT_EQ(soundFifos[0].readIndex, 2);
    EXPECT_EQ(soundFifos[0].ring[0], 0); // taken bytes are zeroed

    fifoTimerOverflow(1, 4096); // FIFO A is not clocked by timer 1
    EXPECT_EQ(soundFifos[0].readIndex, 2);
}

TEST_F(FifoTest, FifosNotInUseOrDisabledAreNotSampled) {
    soundFifos[0].writeIndex = 100;
    fifoTimerOverflow(0, 1024);
    EXPECT_EQ(soundFifos[0].readIndex, 0);

    ioRegister(io::SOUNDCNT_H) = 1 << 11;
    settings.disableFifoCopy = 1;
    fifoTimerOverflow(0, 1024);
    EXPECT_EQ(soundFifos[0].readIndex, 0);
    EXPECT_EQ(soundFifos[0].frameSampleCount, 0);
}

TEST_F(FifoTest, LowRingAsksTheSoundDmaForFourWords) {
    for (u32 i = 0; i < 4; ++i) {
        busWrite32(0x02000000 + 4 * i, 0x01010101 * (i + 1));
    }
    busWrite32(0x040000BC, 0x02000000);
    busWrite32(0x040000C0, 0x040000A0);
    busWrite16(0x040000C6, 0x8000 | (3 << 12) | (1 << 10) | (1 << 9));
    ioRegister(io::SOUNDCNT_H) = (1 << 11) | (1 << 15); // both in use; B clocked by timer 0 too
    fifoTimerOverflow(0, 100);
    EXPECT_EQ(soundFifos[0].writeIndex, 17);
    EXPECT_EQ(soundFifos[0].ring[1], 0x01);
    EXPECT_EQ(soundFifos[0].ring[16], 0x04);
    EXPECT_EQ(dma.channels[1].internalSource, 0x02000010u);
}

TEST_F(FifoTest, SamplingNeverOverrunsTheFrameBuffer) {
    ioRegister(io::SOUNDCNT_H) = 1 << 11;
    soundFifos[0].writeIndex = 100;
    fifoTimerOverflow(0, 0xFFFFFF00u);
    EXPECT_EQ(soundFifos[0].frameSampleCount, fifoFrameCapacity);
}

TEST_F(FifoTest, MasterEnableRestartsSamplingAtTheCurrentClock) {
    soundFifos[0].frameBuffer[0] = 5;
    soundFifos[1].sampleClock = 99999;
    busWrite16(0x04000084, 0x80);
    EXPECT_EQ(soundFifos[0].frameBuffer[0], 0);
    EXPECT_EQ(soundFifos[1].sampleClock, 0u);
    soundFifos[1].sampleClock = 1234;
    busWrite16(0x04000084, 0x80); // already on: nothing
    EXPECT_EQ(soundFifos[1].sampleClock, 1234u);
}

TEST_F(FifoTest, WaveBankSelectionAndMasterVolumes) {
    busWrite16(0x04000070, 0x40);
    EXPECT_EQ(gba.playedWaveBank, 1u);
    EXPECT_EQ(gba.cpuWaveBank, 0u);
    busWrite16(0x04000070, 0x00);
    EXPECT_EQ(gba.playedWaveBank, 0u);
    EXPECT_EQ(gba.cpuWaveBank, 1u);

    headless.soundVolume[psgLeftBuffer] = 1;
    soundVolumes = {};
    busWrite16(0x04000080, 0x0077);
    EXPECT_EQ(headless.soundVolume[psgLeftBuffer], 1); // sound off: the host is not touched
    settings.enableSound = 1;
    busWrite16(0x04000080, 0x0035);
    EXPECT_EQ(headless.soundVolume[psgLeftBuffer], -200);
    EXPECT_EQ(headless.soundVolume[psgRightBuffer], -120);
    EXPECT_EQ(busRead16(0x04000080), 0x0005u); // bits 4-6 are not stored
}

} // namespace
