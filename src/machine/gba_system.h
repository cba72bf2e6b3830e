// The one emulated console. Every memory has its fixed size for the whole run; nothing here
// is allocated while the machine runs. Field groups name their owner: only that unit changes
// them (the frame driver, input and the devices also store into IoRegisters directly).
#pragma once

#include "common/types.h"
#include "cpu/cpu_state.h"

constexpr u32 biosSize = 0x4000;
constexpr u32 workRamSize = 0x40000;
constexpr u32 internalRamSize = 0x8000;
constexpr u32 ioSize = 0x400;
constexpr u32 paletteSize = 0x400;
constexpr u32 videoRamSize = 0x18000;
constexpr u32 oamSize = 0x400;
constexpr u32 gamePakSize = 0x2000000;
constexpr u32 saveRamSize = 0x10000;
constexpr u32 flashSize = 0x10000;
constexpr u32 eepromSize = 0x4000;

// The cartridge's save memory; the numbers are the configuration file's SAVEMETHOD order.
enum class SaveType : u32 { undetermined = 0, sram = 1, flash = 2, eeprom = 3 };

// Bits of GbaSystem::savesChanged.
enum SaveChanged : u8 { sramChanged = 1, flashChanged = 2, eepromChanged = 4 };

// The save chips' own state: which kind the game uses, and where the Flash command interpreter
// and the EEPROM serial protocol stand (cart/save_memory.cpp; type detection and the boot
// image alias are the bus's).
struct SaveChipState {
    SaveType saveType;
    bool eepromSeen;
    bool biosSaveRedirect;
    u32 flashUnlock; // steps of the unlock sequence seen, 0-2
    u16 flashCommand;
    bool flashIdMode;
    bool flashEraseArmed;
    u16 eepromShift;
    u16 eepromAddress;
    u16 eepromBitIndex;
    u16 eepromDummy;
    u32 eepromReadState;
};

// Everything here but GamePakRom, the host tables (HostPalette to HostBankBytes, the
// wait-state tables) and the save file notes (saveTouched, savesChanged) is the console's state
// and goes into a saved state (machine/machine_state.cpp); the host tables follow from the
// rest and are rebuilt after a load.
struct GbaSystem {
    // Memories (bus, machine/bus.cpp; loaders in cart/).
    alignas(4) u8 BiosRom[biosSize];
    alignas(4) u8 WorkRam[workRamSize];
    alignas(4) u8 InternalRam[internalRamSize];
    alignas(4) u16 IoRegisters[ioSize / 2]; // halfword i holds I/O offset 2i
    alignas(4) u8 PaletteRam[paletteSize];
    alignas(4) u8 VideoRam[videoRamSize];
    alignas(4) u8 ObjectAttributes[oamSize];
    alignas(4) u8 GamePakRom[gamePakSize];

    // Save memories and their state (cart/save_memory.cpp, cart/save_files.cpp).
    alignas(4) u8 SaveRam[saveRamSize];
    alignas(4) u8 FlashMemory[flashSize];
    alignas(4) u8 EepromData[eepromSize];
    SaveChipState saveChip;

    // Host-format colours of the 512 palette entries, kept in step by the palette writes.
    u16 HostPalette[512];
    // The background half as 16-colour text tiles use it: entry 0 of each bank of 16 is 0
    // (transparent); kept in step with HostPalette.
    u16 HostTileColours[256];
    // The same by bank and byte of a 16-colour tile row: the colours of its two pixels, the left
    // (low nibble) in the low half. Kept in step with HostTileColours.
    u32 HostTilePairs[16][256];
    // Every bank of 16 (0-15 background, 16-31 sprites) as byte-shuffle tables: the low bytes
    // of its colours, then the high bytes, entry 0 as 0. Kept in step with HostPalette.
    u8 HostBankBytes[32][32];

    // Sound channel 3 wave RAM: the CPU sees one bank at 0x04000090, the other is played.
    u8 WaveRamBanks[2][16];
    u32 cpuWaveBank;
    u32 playedWaveBank;

    // Internal copies of BG2X, BG2Y, BG3X, BG3Y, reloaded on writes and advanced per line.
    u32 bg2RefX;
    u32 bg2RefY;
    u32 bg3RefX;
    u32 bg3RefY;

    CpuState cpu;
    // The access-cost tables of machine/wait_states.h, kept beside the CPU state, so that the
    // instruction handlers reach them from the base address they hold already.
    u16 waitStateTables[8][256];

    // The internal memory control register at 0x04000800 (I/O, machine/io_registers.cpp):
    // kept, with no modelled effect.
    u32 memoryControl;

    // Notes for the save files (cart/save_files.cpp, the main loop), not the console's state:
    // set by the bus and the save chips when the game touched (read or wrote) its save memory,
    // and the memories a write has changed (SaveChanged bits); only changed memories get new
    // files.
    bool saveTouched;
    u8 savesChanged;
};

extern GbaSystem gba;

// RGB565 with the lowest green bit forced on, so that no colour is ever 0 (0 = transparent).
inline u16 hostColour(u32 gbaColour) {
    u32 red = gbaColour & 0x1F;
    u32 green = (gbaColour >> 5) & 0x1F;
    u32 blue = (gbaColour >> 10) & 0x1F;
    return static_cast<u16>((red << 11) | (green << 6) | 0x20 | blue);
}

// Zeroes the memories the console clears at power-on and fills the bus tables.
void installMemoryHandlers();

// Power-on state of the CPU and of the DMA and timer bookkeeping; runs once at start-up.
void resetMachine();
