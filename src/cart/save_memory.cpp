#include "cart/save_memory.h"

#include <cstring>

#include "machine/gba_system.h"

namespace {

constexpr u32 flashSectorSize = 0x1000;
constexpr u32 eepromRequestStart = 0x0D00000E;
// Zero bits the EEPROM sends before the 64 data bits of a read.
constexpr u16 eepromLeadingZeros = 4;

void eraseFlashSector(u32 start) {
    u8* sector = gba.FlashMemory + start;
    for (u32 i = 0; i < flashSectorSize; ++i) {
        if (sector[i] != 0xFF) {
            std::memset(sector, 0xFF, flashSectorSize);
            noteSaveChanged(flashChanged);
            return;
        }
    }
}

void runFlashCommand(u32 address, u8 command) {
    switch (command) {
    case 0x30: // sector erase, only after the 0x80 erase set-up command
        if (gba.saveChip.flashEraseArmed) {
            eraseFlashSector(address & 0xF000);
            gba.saveChip.flashEraseArmed = 0;
        }
        break;
    case 0x80: gba.saveChip.flashEraseArmed = 1; break;
    case 0x90: gba.saveChip.flashIdMode = 1; break;
    case 0xF0: gba.saveChip.flashIdMode = 0; break;
    default:
        // The next write is this command's data; only 0xA0 (program a byte) uses it.
        gba.saveChip.flashCommand = command;
        break;
    }
}

} // namespace

void resetSaveMemoryState() {
    gba.saveChip.flashUnlock = 0;
    gba.saveChip.flashCommand = 0;
    gba.saveChip.flashIdMode = 0;
    gba.saveChip.flashEraseArmed = 0;
    gba.saveChip.eepromSeen = 0;
    gba.saveChip.eepromShift = 0;
    gba.saveChip.eepromAddress = 1;
    gba.saveChip.eepromBitIndex = 0;
    gba.saveChip.eepromDummy = 0;
    gba.saveChip.eepromReadState = 1;
}

void flashWrite(u32 address, u32 value) {
    u8 byte = static_cast<u8>(value);
    if (gba.saveChip.flashCommand != 0) {
        // Programming stores the byte as written; a real chip could only clear bits.
        u8& stored = gba.FlashMemory[address & 0xFFFF];
        if (gba.saveChip.flashCommand == 0xA0 && stored != byte) {
            stored = byte;
            noteSaveChanged(flashChanged);
        }
        gba.saveChip.flashUnlock = 0;
        gba.saveChip.flashCommand = 0;
        return;
    }
    // The unlock sequence is recognised by its values alone; its addresses play no part.
    if (byte == 0xAA) {
        if (gba.saveChip.flashUnlock == 0) {
            gba.saveChip.flashUnlock = 1;
        }
        return;
    }
    if (byte == 0x55) {
        if (gba.saveChip.flashUnlock == 1) {
            gba.saveChip.flashUnlock = 2;
        }
        return;
    }
    if (gba.saveChip.flashUnlock != 2) {
        return;
    }
    gba.saveChip.flashUnlock = 0;
    runFlashCommand(address, byte);
}

void eepromWrite(u32 address, u32 value) {
    gba.saveChip.eepromSeen = 1;
    // Eight halfwords make one byte, most significant bit first.
    u32 bit = 7 - ((address >> 1) & 7);
    u32 shift = (address & 0xF) == 0 ? 0 : gba.saveChip.eepromShift;
    if (value & 1) {
        shift |= 1u << bit;
    } else {
        shift &= ~(1u << bit);
    }
    gba.saveChip.eepromShift = static_cast<u16>(shift);
    gba.saveChip.eepromDummy = eepromLeadingZeros;
    if ((address & 0xF) != 0xE) {
        return;
    }
    if (address == eepromRequestStart) {
        // Two command bits and a 6-bit block address select the 8-byte block.
        gba.saveChip.eepromBitIndex = 0;
        gba.saveChip.eepromAddress = static_cast<u16>((shift & 0x3F) * 8);
        return;
    }
    gba.saveChip.eepromReadState = 0;
    // Bytes completed at 0x0D00001E ... 0x0D00008E fill block bytes 0 ... 7; a request sent
    // elsewhere could point before the image, and such a byte is dropped.
    s32 index = gba.saveChip.eepromAddress + static_cast<s32>((address >> 4) & 0xF) - 1;
    if (index >= 0 && index < static_cast<s32>(eepromSize) &&
        gba.EepromData[index] != static_cast<u8>(shift)) {
        gba.EepromData[index] = static_cast<u8>(shift);
        noteSaveChanged(eepromChanged);
    }
}

u32 eepromRead() {
    if (gba.saveChip.eepromReadState == 0) {
        // The ready answer that a game polls for after a write request.
        gba.saveChip.eepromReadState = 1;
        return 1;
    }
    if (gba.saveChip.eepromDummy != 0) {
        --gba.saveChip.eepromDummy;
        return 0;
    }
    // A read that runs on past its block keeps going through the image and wraps at its end.
    u32 index = (gba.saveChip.eepromAddress + gba.saveChip.eepromBitIndex / 8u) & (eepromSize - 1);
    u32 bit = 7 - (gba.saveChip.eepromBitIndex & 7);
    ++gba.saveChip.eepromBitIndex;
    return (gba.EepromData[index] >> bit) & 1;
}
