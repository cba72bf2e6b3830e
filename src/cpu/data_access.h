// The CPU's loads and stores. Work RAM and internal RAM, where most of them go, are read and
// written in place, exactly as their bus handlers do (a masked offset, no side effects); every
// other region goes through the bus tables. A well-predicted branch costs less than the call.
#pragma once

#include <bit>

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

// The memory that transfers reach in place, by region (address bits 27-24). Loads read as the
// bus's plain handlers do: both RAMs and the game pak, whose constants and tables programs
// read as often as RAM; halfwords at 0x0C000000-0x0DFFFFFF may come from the EEPROM instead,
// so halfword loads there go through the bus. Stores are done in place in the two RAMs only.
constexpr RamView noMemory{}, workView{gba.WorkRam, workMask},
    internalView{gba.InternalRam, internalMask}, gamePakView{gba.GamePakRom, gamePakSize - 1};
inline constexpr RamView plainLoads[16] = {noMemory,    noMemory,    workView,    internalView,
                                           noMemory,    noMemory,    noMemory,    noMemory,
                                           gamePakView, gamePakView, gamePakView, gamePakView,
                                           gamePakView, gamePakView, noMemory,    noMemory};
inline constexpr RamView plainHalfwordLoads[16] = {
    noMemory,    noMemory,    workView,    internalView, noMemory, noMemory, noMemory, noMemory,
    gamePakView, gamePakView, gamePakView, gamePakView,  noMemory, noMemory, noMemory, noMemory};
inline constexpr RamView plainStores[16] = {
    noMemory, noMemory, workView, internalView, noMemory, noMemory, noMemory, noMemory,
    noMemory, noMemory, noMemory, noMemory,     noMemory, noMemory, noMemory, noMemory};

// Where a transfer of WIDTH bytes at ADDRESS is done in place, or no memory. The handlers do
// those on a path without calls and leave the others to a function of their own, so that the
// common path keeps no registers across a call.
template <bool load, u32 width>
RamView transferView(u32 address) {
    if constexpr (!load) {
        return plainStores[region(address)];
    } else if constexpr (width == 2) {
        return plainHalfwordLoads[region(address)];
    } else {
        return plainLoads[region(address)];
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

// The loads and stores of a transfer whose region is known: in place (ram) in the memory of
// transferView, otherwise in any region through cpuRead / cpuWrite.
template <bool ram>
u32 dataRead8(data_access::RamView view, u32 address) {
    if constexpr (ram) {
        return view.memory[address & view.mask];
    } else {
        return cpuRead8(address);
    }
}

template <bool ram>
u32 dataRead16(data_access::RamView view, u32 address) {
    if constexpr (ram) {
        return load16(view.memory + (address & view.mask & ~1u));
    } else {
        return cpuRead16(address);
    }
}

template <bool ram>
u32 dataRead32(data_access::RamView view, u32 address) {
    if constexpr (ram) {
        return load32(view.memory + (address & view.mask & ~3u));
    } else {
        return cpuRead32(address);
    }
}

template <bool ram>
void dataWrite8(data_access::RamView view, u32 address, u32 value) {
    if constexpr (ram) {
        view.memory[address & view.mask] = static_cast<u8>(value);
    } else {
        cpuWrite8(address, value);
    }
}

template <bool ram>
void dataWrite16(data_access::RamView view, u32 address, u32 value) {
    if constexpr (ram) {
        store16(view.memory + (address & view.mask & ~1u), static_cast<u16>(value));
    } else {
        cpuWrite16(address, value);
    }
}

template <bool ram>
void dataWrite32(data_access::RamView view, u32 address, u32 value) {
    if constexpr (ram) {
        store32(view.memory + (address & view.mask & ~3u), value);
    } else {
        cpuWrite32(address, value);
    }
}

// What LDRH and LDRSH leave in the register, from the aligned halfword HALF that the bus read
// for ADDRESS. At an odd address LDRH gives the halfword rotated right by 8, as a word load
// rotates, and LDRSH the addressed byte, the upper one, sign-extended.
// A predicted branch costs the common even case less than a computed rotation; the empty asm
// keeps the compiler from computing both results and choosing.
inline u32 loadedHalfword(u32 half, u32 address) {
    if (address & 1) [[unlikely]] {
        asm volatile("");
        return std::rotr(half, 8);
    }
    return half;
}

inline u32 loadedSignedHalfword(u32 half, u32 address) {
    if (address & 1) [[unlikely]] {
        asm volatile("");
        return static_cast<u32>(static_cast<s8>(half >> 8));
    }
    return static_cast<u32>(static_cast<s16>(half));
}

// Work or internal RAM when every word of the block of COUNT words from FIRST lies in it, in
// one region; no memory otherwise. Such blocks, the usual stack frames and structure copies,
// are read and written in place; the others go word by word through the bus.
// Its mask also forces the words' addresses down to multiples of 4.
inline data_access::RamView ramBlockAt(u32 first, u32 count) {
    if ((first >> 24) != ((first + 4 * (count - 1)) >> 24)) {
        return {};
    }
    const data_access::RamView ram = data_access::ramAt(first);
    return {ram.memory, ram.mask & ~3u};
}

// The words of a block: in place where the whole block lies in one RAM (ramBlockAt), through
// the bus otherwise.
template <bool ram>
struct BlockAccess {
    data_access::RamView view;

    u32 read(u32 address) const {
        if constexpr (ram) {
            return load32(view.memory + (address & view.mask));
        } else {
            return cpuRead32(address);
        }
    }
    void write(u32 address, u32 value) const {
        if constexpr (ram) {
            store32(view.memory + (address & view.mask), value);
        } else {
            cpuWrite32(address, value);
        }
    }
};
