#include "cpu/fetch.h"

#include "machine/bus.h"
#include "machine/gba_system.h"

namespace {

// The window of size SIZE (a power of two) around ADDRESS, backed by HOST.
FetchWindow alignedWindow(u32 address, u32 size, const u8* host) {
    return {address & ~(size - 1), size, host};
}

} // namespace

FetchWindow fetchWindowAt(u32 address, u32 width) {
    switch (address >> 24) {
    case 0x0:
        // Only the boot image itself; above it, reads may be redirected to the save memory.
        return address < biosSize ? FetchWindow{0, biosSize, gba.BiosRom} : FetchWindow{};
    case 0x2: return alignedWindow(address, workRamSize, gba.WorkRam);
    case 0x3: return alignedWindow(address, internalRamSize, gba.InternalRam);
    case 0x6: {
        // The 128 KB video window in 32 KB steps: the last step mirrors the one before it.
        u32 offset = videoRamOffset(address) & ~0x7FFFu;
        return alignedWindow(address, 0x8000, gba.VideoRam + offset);
    }
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB: return alignedWindow(address, gamePakSize, gba.GamePakRom);
    case 0xC:
    case 0xD:
        // Halfword reads here may answer the EEPROM instead.
        return width == 4 ? alignedWindow(address, gamePakSize, gba.GamePakRom) : FetchWindow{};
    default: return {};
    }
}

u32 fetchArm(FetchWindow& window, u32 address) {
    window = fetchWindowAt(address, 4);
    if (window.holds(address)) {
        return load32(window.host + ((address - window.start) & ~3u));
    }
    return busRead32(address);
}

u32 fetchThumb(FetchWindow& window, u32 address) {
    window = fetchWindowAt(address, 2);
    if (window.holds(address)) {
        return load16(window.host + ((address - window.start) & ~1u));
    }
    return busRead16(address);
}
