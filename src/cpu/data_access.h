// The CPU's loads and stores. Work RAM and internal RAM, where most of them go, are read and
// written in place, exactly as their bus handlers do (a masked offset, no side effects); every
// other region goes through the bus tables. A well-predicted branch costs less than the call.
#pragma once

#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/memory_access.h"

namespace data_access {

constexpr u32 workRegion = 2;
constexpr u32 internalRegion = 3;

inline u32 region(u32 address) {
    return (address >> 24) & 15;
}

// The masks that fold the mirrors of the two RAMs.
constexpr u32 workMask = 0x3FFFF;
constexpr u32 internalMask = 0x7FFF;

inline u8* workRam(u32 address, u32 alignMask) {
    return gba.WorkRam + (address & workMask & alignMask);
}

inline u8* internalRam(u32 address, u32 alignMask) {
    return gba.InternalRam + (address & internalMask & alignMask);
}

// The RAM behind ADDRESS with the mask that folds its mirrors, or no memory where the bus
// must answer.
struct RamView {
    u8* memory = nullptr;
    u32 mask = 0;
};

inline RamView ramAt(u32 address) {
    switch (region(address)) {
    case workRegion: return {gba.WorkRam, workMask};
    case internalRegion: return {gba.InternalRam, internalMask};
    default: return {};
    }
}

} // namespace data_access

inline u32 cpuRead8(u32 address) {
    using namespace data_access;
    switch (region(address)) {
    case workRegion: return *workRam(address, ~0u);
    case internalRegion: return *internalRam(address, ~0u);
    default: return busRead8(address);
    }
}

inline u32 cpuRead16(u32 address) {
    using namespace data_access;
    switch (region(address)) {
    case workRegion: return load16(workRam(address, ~1u));
    case internalRegion: return load16(internalRam(address, ~1u));
    default: return busRead16(address);
    }
}

inline u32 cpuRead32(u32 address) {
    using namespace data_access;
    switch (region(address)) {
    case workRegion: return load32(workRam(address, ~3u));
    case internalRegion: return load32(internalRam(address, ~3u));
    default: return busRead32(address);
    }
}

inline void cpuWrite8(u32 address, u32 value) {
    using namespace data_access;
    switch (region(address)) {
    case workRegion: *workRam(address, ~0u) = static_cast<u8>(value); break;
    case internalRegion: *internalRam(address, ~0u) = static_cast<u8>(value); break;
    default: busWrite8(address, value); break;
    }
}

inline void cpuWrite16(u32 address, u32 value) {
    using namespace data_access;
    switch (region(address)) {
    case workRegion: store16(workRam(address, ~1u), static_cast<u16>(value)); break;
    case internalRegion: store16(internalRam(address, ~1u), static_cast<u16>(value)); break;
    default: busWrite16(address, value); break;
    }
}

inline void cpuWrite32(u32 address, u32 value) {
    using namespace data_access;
    switch (region(address)) {
    case workRegion: store32(workRam(address, ~3u), value); break;
    case internalRegion: store32(internalRam(address, ~3u), value); break;
    default: busWrite32(address, value); break;
    }
}
