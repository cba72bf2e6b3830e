#include "machine/machine_state.h"

#include <cstring>

#include "common/settings.h"
#include "cpu/execution_notes.h"
#include "machine/bus.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"
#include "machine/scheduler.h"
#include "machine/timers.h"
#include "machine/wait_states.h"
#include "sound/fifo.h"
#include "sound/sound_registers.h"
#include "sound/tone_channels.h"
#include "video/sprites.h"

namespace {

template <typename Record>
constexpr StateRecord record(const char (&name)[5], Record& data) {
    return {{name[0], name[1], name[2], name[3], 0}, &data, sizeof data};
}

const StateRecord records[] = {
    record("CPU ", gba.cpu),
    record("BIOS", gba.BiosRom),
    record("WRAM", gba.WorkRam),
    record("IRAM", gba.InternalRam),
    record("IO  ", gba.IoRegisters),
    record("PAL ", gba.PaletteRam),
    record("VRAM", gba.VideoRam),
    record("OAM ", gba.ObjectAttributes),
    record("MCTL", gba.memoryControl),
    record("SRAM", gba.SaveRam),
    record("FLSH", gba.FlashMemory),
    record("EEPR", gba.EepromData),
    record("CHIP", gba.saveChip),
    record("WAVE", gba.WaveRamBanks),
    record("WVCP", gba.cpuWaveBank),
    record("WVPL", gba.playedWaveBank),
    record("BG2X", gba.bg2RefX),
    record("BG2Y", gba.bg2RefY),
    record("BG3X", gba.bg3RefX),
    record("BG3Y", gba.bg3RefY),
    record("DMA ", dma),
    record("TIMR", timers),
    record("SCHD", scheduler),
    record("TONE", toneChannels),
    record("FIFO", soundFifos),
    record("SVOL", soundVolumes),
};

constexpr u32 recordHeaderSize = 8;

bool timedChannelValid(u16 channel) {
    return channel < 4 || channel == noDmaChannel;
}

// The first value that would make the machine index past a table, or nullptr. The rest of
// a record may hold anything the program could have brought about.
const char* outOfRange() {
    if (gba.cpuWaveBank > 1 || gba.playedWaveBank > 1) {
        return "wave bank";
    }
    if (gba.saveChip.eepromAddress >= 0x200) {
        return "EEPROM address";
    }
    if (!timedChannelValid(dma.hblankChannel) || !timedChannelValid(dma.vblankChannel)) {
        return "DMA channel";
    }
    if (timers.enabled > 0xF) {
        return "timers";
    }
    for (const SoundFifo& fifo : soundFifos) {
        if (fifo.readIndex >= fifoRingSize || fifo.writeIndex >= fifoRingSize ||
            fifo.frameSampleCount > fifoFrameCapacity) {
            return "sound FIFO";
        }
    }
    const WaveChannel& wave = toneChannels.wave;
    if (wave.frequency > 0x7FF || wave.position > 15) {
        return "wave channel";
    }
    return nullptr;
}

void putRecords(const u8* bytes) {
    for (const StateRecord& entry : records) {
        std::memcpy(entry.data, bytes + recordHeaderSize, entry.size);
        bytes += recordHeaderSize + entry.size;
    }
}

} // namespace

std::span<const StateRecord> machineStateRecords() {
    return records;
}

std::vector<u8> saveMachineState() {
    std::vector<u8> bytes;
    for (const StateRecord& entry : records) {
        const size_t at = bytes.size();
        bytes.resize(at + recordHeaderSize + entry.size);
        std::memcpy(bytes.data() + at, entry.name, 4);
        store32(bytes.data() + at + 4, entry.size);
        std::memcpy(bytes.data() + at + recordHeaderSize, entry.data, entry.size);
    }
    return bytes;
}

std::string loadMachineState(const std::vector<u8>& bytes) {
    size_t at = 0;
    for (const StateRecord& entry : records) {
        if (bytes.size() - at < recordHeaderSize) {
            return std::string("record ") + entry.name + " missing";
        }
        if (std::memcmp(bytes.data() + at, entry.name, 4) != 0 ||
            load32(bytes.data() + at + 4) != entry.size) {
            return std::string("record ") + entry.name + " differs from this program's";
        }
        at += recordHeaderSize;
        if (bytes.size() - at < entry.size) {
            return std::string("record ") + entry.name + " cut short";
        }
        at += entry.size;
    }
    if (at != bytes.size()) {
        return "bytes after the last record";
    }
    const std::vector<u8> before = saveMachineState();
    putRecords(bytes.data());
    if (const char* field = outOfRange()) {
        putRecords(before.data());
        return std::string("a value out of range (") + field + ")";
    }
    rebuildDerivedState();
    return {};
}

void rebuildDerivedState() {
    rebuildHostColours();
    // With the setting on, the costs stay those of WAITCNT = 0, as start-up left them.
    applyWaitControl(settings.disableWaitControl ? 0 : ioRegister(io::WAITCNT));
    forgetExecutionNotes();
    forgetSpriteLineLists();
    restoreSoundVolumes();
}
