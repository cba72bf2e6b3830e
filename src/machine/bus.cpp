#include "machine/bus.h"

#include "cart/save_memory.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/memory_access.h"

ReadHandler Read8Table[16];
ReadHandler Read16Table[16];
ReadHandler Read32Table[16];
WriteHandler Write8Table[16];
WriteHandler Write16Table[16];
WriteHandler Write32Table[16];

namespace {

// Plain memories: the byte array behind a region and the mask that folds its mirrors.
enum class Plain { work, internal, palette, video, oam, gamePak };

template <Plain memory>
u8* plainBase() {
    if constexpr (memory == Plain::work) {
        return gba.WorkRam;
    } else if constexpr (memory == Plain::internal) {
        return gba.InternalRam;
    } else if constexpr (memory == Plain::palette) {
        return gba.PaletteRam;
    } else if constexpr (memory == Plain::video) {
        return gba.VideoRam;
    } else if constexpr (memory == Plain::oam) {
        return gba.ObjectAttributes;
    } else {
        return gba.GamePakRom;
    }
}

template <Plain memory>
u32 plainOffset(u32 address) {
    if constexpr (memory == Plain::work) {
        return address & 0x3FFFF;
    } else if constexpr (memory == Plain::internal) {
        return address & 0x7FFF;
    } else if constexpr (memory == Plain::palette || memory == Plain::oam) {
        return address & 0x3FF;
    } else if constexpr (memory == Plain::video) {
        return videoRamOffset(address);
    } else {
        return address & 0x1FFFFFF;
    }
}

template <Plain memory>
u32 plainRead8(u32 address) {
    return plainBase<memory>()[plainOffset<memory>(address)];
}

template <Plain memory>
u32 plainRead16(u32 address) {
    return load16(plainBase<memory>() + (plainOffset<memory>(address) & ~1u));
}

template <Plain memory>
u32 plainRead32(u32 address) {
    return load32(plainBase<memory>() + (plainOffset<memory>(address) & ~3u));
}

template <Plain memory>
void plainWrite8(u32 address, u32 value) {
    plainBase<memory>()[plainOffset<memory>(address)] = static_cast<u8>(value);
}

template <Plain memory>
void plainWrite16(u32 address, u32 value) {
    store16(plainBase<memory>() + (plainOffset<memory>(address) & ~1u), static_cast<u16>(value));
}

template <Plain memory>
void plainWrite32(u32 address, u32 value) {
    store32(plainBase<memory>() + (plainOffset<memory>(address) & ~3u), value);
}

u32 readNothing(u32) {
    return 0;
}
void writeNothing(u32, u32) {}

// Palette writes keep HostPalette, HostBankBytes, and HostTileColours and HostTilePairs for the
// background half, in step with PaletteRam.
void setHostColour(u32 index, u32 gbaColour) {
    const u16 colour = hostColour(gbaColour);
    gba.HostPalette[index] = colour;
    const u16 bankColour = (index & 15) ? colour : 0;
    u8* bankBytes = gba.HostBankBytes[index >> 4];
    bankBytes[index & 15] = static_cast<u8>(bankColour);
    bankBytes[16 + (index & 15)] = static_cast<u8>(bankColour >> 8);
    if (index < 256) {
        gba.HostTileColours[index] = bankColour;
        // The 16 pairs with the entry on the left and the 16 with it on the right.
        u32* pairs = gba.HostTilePairs[index >> 4];
        const u32 nibble = index & 15;
        for (u32 other = 0; other < 16; ++other) {
            u32& left = pairs[(other << 4) | nibble];
            left = (left & 0xFFFF0000) | bankColour;
            u32& right = pairs[(nibble << 4) | other];
            right = (right & 0xFFFF) | (u32{bankColour} << 16);
        }
    }
}

// Video memories have a 16-bit data bus: a byte written to the palette or to background video
// memory lands in both halves of its halfword; sprite video memory and OAM ignore byte writes.
u32 byteOnBothHalves(u32 value) {
    return (value & 0xFF) * 0x0101;
}

void paletteWrite8(u32 address, u32 value) {
    u32 offset = address & 0x3FE;
    store16(gba.PaletteRam + offset, static_cast<u16>(byteOnBothHalves(value)));
    setHostColour(offset >> 1, byteOnBothHalves(value));
}

// Background video memory is the first 64 KB in the tile modes 0-2, the first 80 KB in the
// bitmap modes; sprite tiles take the rest.
void videoWrite8(u32 address, u32 value) {
    const u32 offset = videoRamOffset(address);
    const u32 backgroundEnd = (ioRegister(io::DISPCNT) & 7) >= 3 ? 0x14000 : 0x10000;
    if (offset < backgroundEnd) {
        store16(gba.VideoRam + (offset & ~1u), static_cast<u16>(byteOnBothHalves(value)));
    }
}

void paletteWrite16(u32 address, u32 value) {
    u32 offset = address & 0x3FE;
    store16(gba.PaletteRam + offset, static_cast<u16>(value));
    setHostColour(offset >> 1, value & 0xFFFF);
}

void paletteWrite32(u32 address, u32 value) {
    u32 offset = address & 0x3FC;
    store32(gba.PaletteRam + offset, value);
    setHostColour(offset >> 1, value & 0xFFFF);
    setHostColour((offset >> 1) + 1, value >> 16);
}

// Region 0: the boot image, unless a game has written a byte into region 0 (which goes to the
// save memory) and the CPU now runs outside the boot image; then reads see SaveRam.
bool biosReadRedirected() {
    return gba.saveChip.biosSaveRedirect && gba.cpu.registers[15] > 0x3FFF;
}

u32 biosRead8(u32 address) {
    if (biosReadRedirected()) {
        gba.saveTouched = 1;
        return gba.SaveRam[address & 0xFFFF];
    }
    return gba.BiosRom[address & 0x3FFF];
}

u32 biosRead16(u32 address) {
    if (biosReadRedirected()) {
        gba.saveTouched = 1;
        return load16(gba.SaveRam + (address & 0xFFFE));
    }
    return load16(gba.BiosRom + (address & 0x3FFE));
}

u32 biosRead32(u32 address) {
    if (biosReadRedirected()) {
        gba.saveTouched = 1;
        return load32(gba.SaveRam + (address & 0xFFFC));
    }
    return load32(gba.BiosRom + (address & 0x3FFC));
}

// The first write into the save region decides between Flash (the first unlock byte 0xAA at
// 0x0E005555) and SRAM. The value is compared at the access width.
void detectSaveType(u32 mapped, u32 value) {
    if (gba.saveChip.saveType == SaveType::undetermined) {
        gba.saveChip.saveType =
            (mapped == 0x0E005555 && value == 0xAA) ? SaveType::flash : SaveType::sram;
    }
}

void saveWrite8Mapped(u32 mapped, u32 value) {
    value &= 0xFF;
    detectSaveType(mapped, value);
    if (gba.saveChip.saveType == SaveType::flash) {
        flashWrite(mapped, value);
    } else if ((mapped & 0x00FE0000) == 0 && gba.SaveRam[mapped & 0xFFFF] != value) {
        gba.SaveRam[mapped & 0xFFFF] = static_cast<u8>(value);
        noteSaveChanged(sramChanged);
    }
}

void saveWrite16Mapped(u32 mapped, u32 value) {
    value &= 0xFFFF;
    detectSaveType(mapped, value);
    if (load16(gba.SaveRam + (mapped & 0xFFFE)) != value) {
        store16(gba.SaveRam + (mapped & 0xFFFE), static_cast<u16>(value));
        noteSaveChanged(sramChanged);
    }
    if (gba.saveChip.saveType == SaveType::flash) {
        flashWrite(mapped, value);
    }
}

void saveWrite32Mapped(u32 mapped, u32 value) {
    detectSaveType(mapped, value);
    if (load32(gba.SaveRam + (mapped & 0xFFFC)) != value) {
        store32(gba.SaveRam + (mapped & 0xFFFC), value);
        noteSaveChanged(sramChanged);
    }
    if (gba.saveChip.saveType == SaveType::flash) {
        flashWrite(mapped, value);
    }
}

u32 saveRegionAddress(u32 address) {
    return address & 0x0FFFFFFF;
}
u32 biosAliasAddress(u32 address) {
    return (address & 0x1FFFFFF) | 0x0E000000;
}

void saveWrite8(u32 address, u32 value) {
    saveWrite8Mapped(saveRegionAddress(address), value);
}
void saveWrite16(u32 address, u32 value) {
    saveWrite16Mapped(saveRegionAddress(address), value);
}
void saveWrite32(u32 address, u32 value) {
    saveWrite32Mapped(saveRegionAddress(address), value);
}

void biosWrite8(u32 address, u32 value) {
    gba.saveChip.biosSaveRedirect = 1;
    saveWrite8Mapped(biosAliasAddress(address), value);
}

void biosWrite16(u32 address, u32 value) {
    saveWrite16Mapped(biosAliasAddress(address), value);
}
void biosWrite32(u32 address, u32 value) {
    saveWrite32Mapped(biosAliasAddress(address), value);
}

u32 saveRead8(u32 address) {
    switch (gba.saveChip.saveType) {
    case SaveType::flash:
        if (gba.saveChip.flashIdMode) {
            return (address & 1) ? (flashIdentification >> 8) : (flashIdentification & 0xFF);
        }
        return gba.FlashMemory[address & 0xFFFF];
    case SaveType::eeprom: return 0;
    default: return gba.SaveRam[address & 0xFFFF];
    }
}

u32 saveRead16(u32 address) {
    return load16(gba.SaveRam + (address & 0xFFFE));
}

u32 saveRead32(u32 address) {
    gba.saveTouched = 1;
    return load32(gba.SaveRam + (address & 0xFFFC));
}

// Regions 12-13: once a game has sent an EEPROM request, halfword reads answer its bits.
u32 eepromOrRomRead16(u32 address) {
    if (gba.saveChip.eepromSeen) {
        return eepromRead();
    }
    return plainRead16<Plain::gamePak>(address);
}

void eepromWrite16(u32 address, u32 value) {
    eepromWrite(address, value);
}

u32 ioRead8(u32 address) {
    u32 half = ioRead16(address);
    return (address & 1) ? (half >> 8) : (half & 0xFF);
}

u32 ioRead32(u32 address) {
    u32 aligned = address & ~3u;
    return ioRead16(aligned) | (ioRead16(aligned + 2) << 16);
}

template <Plain memory>
void setPlain(int region) {
    Read8Table[region] = plainRead8<memory>;
    Read16Table[region] = plainRead16<memory>;
    Read32Table[region] = plainRead32<memory>;
    Write8Table[region] = plainWrite8<memory>;
    Write16Table[region] = plainWrite16<memory>;
    Write32Table[region] = plainWrite32<memory>;
}

void setGamePak(int region) {
    Read8Table[region] = plainRead8<Plain::gamePak>;
    Read16Table[region] = plainRead16<Plain::gamePak>;
    Read32Table[region] = plainRead32<Plain::gamePak>;
    Write8Table[region] = writeNothing;
    Write16Table[region] = writeNothing;
    Write32Table[region] = writeNothing;
}

} // namespace

void rebuildHostColours() {
    for (u32 index = 0; index < 512; ++index) {
        setHostColour(index, load16(gba.PaletteRam + 2 * index));
    }
}

void fillBusTables() {
    for (int region = 0; region < 16; ++region) {
        Read8Table[region] = Read16Table[region] = Read32Table[region] = readNothing;
        Write8Table[region] = Write16Table[region] = Write32Table[region] = writeNothing;
    }

    Read8Table[0] = biosRead8;
    Read16Table[0] = biosRead16;
    Read32Table[0] = biosRead32;
    Write8Table[0] = biosWrite8;
    Write16Table[0] = biosWrite16;
    Write32Table[0] = biosWrite32;

    setPlain<Plain::work>(2);
    setPlain<Plain::internal>(3);

    Read8Table[4] = ioRead8;
    Read16Table[4] = ioRead16;
    Read32Table[4] = ioRead32;
    Write8Table[4] = ioWrite8;
    Write16Table[4] = ioWrite16;
    Write32Table[4] = ioWrite32;

    setPlain<Plain::palette>(5);
    Write8Table[5] = paletteWrite8;
    Write16Table[5] = paletteWrite16;
    Write32Table[5] = paletteWrite32;

    setPlain<Plain::video>(6);
    Write8Table[6] = videoWrite8;
    setPlain<Plain::oam>(7);
    Write8Table[7] = writeNothing;

    for (int region = 8; region <= 13; ++region) {
        setGamePak(region);
    }
    // The EEPROM sits in the top game pak window; games reach it by halfword DMA.
    Write16Table[9] = eepromWrite16;
    Write16Table[11] = eepromWrite16;
    Write16Table[13] = eepromWrite16;
    Read16Table[12] = eepromOrRomRead16;
    Read16Table[13] = eepromOrRomRead16;

    Read8Table[14] = saveRead8;
    Read16Table[14] = saveRead16;
    Read32Table[14] = saveRead32;
    Write8Table[14] = saveWrite8;
    Write16Table[14] = saveWrite16;
    Write32Table[14] = saveWrite32;
}
