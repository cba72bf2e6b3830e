// The cartridge save chips: the Flash command interpreter and the EEPROM serial protocol.
// Save type detection and the SRAM accesses themselves are part of the bus.
// Owns the Flash and EEPROM fields of the machine record's save chip state (saveChip.flash*,
// saveChip.eeprom*).
#pragma once

#include "common/types.h"
#include "machine/gba_system.h"

// A write changed a save memory: the main loop's next periodic write saves it, and from now on
// its file is written even when there was none.
inline void noteSaveChanged(SaveChanged memory) {
    gba.savesChanged |= memory;
    gba.saveTouched = true;
}

// Identification halfword: manufacturer 0xBF in the low byte, device 0xD4 in the high byte.
constexpr u16 flashIdentification = 0xD4BF;

// Puts the Flash and EEPROM interpreters into their power-on state: no command pending, no
// EEPROM seen, the EEPROM pointing at byte 1 and its next read not a ready answer.
void resetSaveMemoryState();

// Flash command interpreter; only the low 16 bits of the address and 8 of the value count.
void flashWrite(u32 address, u32 value);

// One bit of an EEPROM request (halfword write into regions 9, 11 or 13).
void eepromWrite(u32 address, u32 value);

// The next bit of the EEPROM answer (halfword read of regions 12, 13 once an EEPROM is seen).
u32 eepromRead();
