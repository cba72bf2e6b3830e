// Instruction fetch without the bus call: a window of plain memory that the program counter is
// in (the boot image, work RAM, internal RAM, video RAM or the game pak) is read directly.
// Reads there have no side effects, so the word is the one the bus would return; everywhere
// else (I/O, palette, sprite attributes, save memory, the EEPROM window, a boot-image region
// redirected to the save memory, unmapped space) the fetch goes through the bus.
#pragma once

#include <cstdint>

#include "common/types.h"
#include "machine/memory_access.h"

// A stretch of GBA addresses [start, start + size) laid out linearly at host.
struct FetchWindow {
    u32 start = 0;
    u32 size = 0; // 0: no window; fetch through the bus
    const u8* host = nullptr;
    // start + size, and the host address GBA address 0 would have: for the runs, which go on
    // from an instruction in the window to the next by one bound and no subtraction.
    u32 end = 0;
    uintptr_t origin = 0;

    FetchWindow() = default;
    FetchWindow(u32 start, u32 size, const u8* host)
        : start(start), size(size), host(host), end(start + size),
          origin(reinterpret_cast<uintptr_t>(host) - start) {}

    bool holds(u32 address) const { return address - start < size; }
    // Whether ADDRESS, which follows an address in the window, is in it still.
    bool stillHolds(u32 address) const { return address < end; }
    const u8* at(u32 address) const { return reinterpret_cast<const u8*>(origin + address); }
};

// The window around ADDRESS for fetches of WIDTH bytes (4 for ARM, 2 for THUMB), or an empty
// window where only the bus gives the right value.
FetchWindow fetchWindowAt(u32 address, u32 width);

// Reads the instruction at ADDRESS as busRead32 / busRead16 would, through WINDOW, which is
// moved to ADDRESS when ADDRESS lies outside it.
u32 fetchArm(FetchWindow& window, u32 address);
u32 fetchThumb(FetchWindow& window, u32 address);

inline u32 fetchArmInline(FetchWindow& window, u32 address) {
    if (window.holds(address)) [[likely]] {
        return load32(window.host + ((address - window.start) & ~3u));
    }
    return fetchArm(window, address);
}

inline u32 fetchThumbInline(FetchWindow& window, u32 address) {
    if (window.holds(address)) [[likely]] {
        return load16(window.host + ((address - window.start) & ~1u));
    }
    return fetchThumb(window, address);
}
