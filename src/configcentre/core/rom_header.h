// The cartridge header fields the settings window shows, read from the start of a ROM file,
// and the save library's marker strings found further in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Header offsets: title 0xA0..0xAB, game code 0xAC..0xAF, maker code 0xB0..0xB1, fixed value
// 0x96 at 0xB2, main unit code 0xB3, device type 0xB4, software version 0xBC, complement 0xBD.
inline constexpr std::size_t romTitleOffset = 0xA0;
inline constexpr std::size_t romGameCodeOffset = 0xAC;
inline constexpr std::size_t romFixedValueOffset = 0xB2;
inline constexpr std::size_t romComplementOffset = 0xBD;
inline constexpr std::size_t romHeaderEnd = 0xC0;
inline constexpr std::uint8_t romFixedValue = 0x96;

struct RomHeader {
    std::string title;     // 12 bytes, zero bytes kept
    std::string gameCode;  // 4 bytes
    std::string makerCode; // 2 bytes
    std::uint8_t mainUnitCode = 0;
    std::uint8_t deviceType = 0;
    std::uint8_t version = 0;
    // The fixed value is in place and the complement byte matches bytes 0xA0..0xBC, as the
    // console's boot program checks them.
    bool valid = false;
};

enum class RomFileState { readable, empty, unreadable };

struct RomInspection {
    RomFileState state = RomFileState::unreadable;
    std::string error; // why an unreadable file could not be read
    std::uintmax_t size = 0;
    bool tooShort = false; // ends before the title is complete
    RomHeader header;      // bytes past the end of the file read as zero
};

// Reads the header of a regular file; a FIFO, a device or a folder is unreadable.
RomInspection inspectRomFile(const std::string& path);

// The complement byte the header at 0xA0..0xBC needs.
std::uint8_t headerComplement(const char* header);

// The size in megabits, rounded with halves to even: " 32Mb", or "<1Mb" when it rounds to 0.
std::string romSizeText(std::uintmax_t bytes);

// Upper-case hexadecimal without leading zeros.
std::string hexText(std::uint8_t value);

// Header text as shown: bytes that are not printable ASCII become spaces.
std::string printableText(std::string_view bytes);

// The save method (1 SRAM, 2 Flash, 3 EEPROM) that the save library's marker strings in the
// ROM name ("SRAM_V", "SRAM_F_V", "EEPROM_V", "FLASH_V", "FLASH512_V", "FLASH1M_V"); 0 when
// there is none, or markers of two different methods.
int saveLibraryMethod(std::string_view rom);
int saveLibraryMethodOfFile(const std::string& path);
