// The cartridge header fields the settings window shows, read from the start of a ROM file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Header offsets: title 0xA0..0xAB, game code 0xAC..0xAF, maker code 0xB0..0xB1, main unit
// code 0xB3, device type 0xB4, software version 0xBC.
inline constexpr std::size_t romTitleOffset = 0xA0;
inline constexpr std::size_t romGameCodeOffset = 0xAC;
inline constexpr std::size_t romHeaderEnd = 0xC0;

struct RomHeader {
    std::string title;     // 12 bytes, zero bytes kept
    std::string gameCode;  // 4 bytes
    std::string makerCode; // 2 bytes
    std::uint8_t mainUnitCode = 0;
    std::uint8_t deviceType = 0;
    std::uint8_t version = 0;
};

enum class RomFileState { readable, empty, unreadable };

struct RomInspection {
    RomFileState state = RomFileState::unreadable;
    std::string error; // why an unreadable file could not be read
    std::uintmax_t size = 0;
    bool tooShort = false; // ends before the title is complete
    RomHeader header;      // bytes past the end of the file read as zero
};

RomInspection inspectRomFile(const std::filesystem::path& path);

// The size in megabits, rounded with halves to even: " 32Mb", or "<1Mb" when it rounds to 0.
std::string romSizeText(std::uintmax_t bytes);

// Upper-case hexadecimal without leading zeros.
std::string hexText(std::uint8_t value);
