#include "configcentre/core/rom_header.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "configcentre/core/file_access.h"

namespace {

// The largest cartridge image: 32 MB.
constexpr std::size_t romLimit = 32u << 20;

struct SaveMarker {
    const char* text;
    int method;
};
constexpr SaveMarker saveMarkers[] = {
    {"SRAM_V", 1},  {"SRAM_F_V", 1},   {"EEPROM_V", 3},
    {"FLASH_V", 2}, {"FLASH512_V", 2}, {"FLASH1M_V", 2},
};

std::string bytesAt(const std::array<char, romHeaderEnd>& bytes, std::size_t offset,
                    std::size_t count) {
    return std::string(bytes.data() + offset, count);
}

RomHeader headerFrom(const std::array<char, romHeaderEnd>& bytes) {
    RomHeader header;
    header.title = bytesAt(bytes, romTitleOffset, 12);
    header.gameCode = bytesAt(bytes, romGameCodeOffset, 4);
    header.makerCode = bytesAt(bytes, 0xB0, 2);
    header.mainUnitCode = static_cast<std::uint8_t>(bytes[0xB3]);
    header.deviceType = static_cast<std::uint8_t>(bytes[0xB4]);
    header.version = static_cast<std::uint8_t>(bytes[0xBC]);
    header.valid =
        static_cast<std::uint8_t>(bytes[romFixedValueOffset]) == romFixedValue &&
        static_cast<std::uint8_t>(bytes[romComplementOffset]) == headerComplement(bytes.data());
    return header;
}

RomInspection unreadable(std::string error) {
    RomInspection result;
    result.state = RomFileState::unreadable;
    result.error = std::move(error);
    return result;
}

} // namespace

std::uint8_t headerComplement(const char* header) {
    unsigned sum = 0;
    for (std::size_t i = romTitleOffset; i < romComplementOffset; ++i) {
        sum += static_cast<std::uint8_t>(header[i]);
    }
    return static_cast<std::uint8_t>(0 - sum - 0x19);
}

std::string romSizeText(std::uintmax_t bytes) {
    // The default rounding mode rounds halves to even; 1 Mb is 131072 bytes.
    double megabits = std::nearbyint(static_cast<double>(bytes) / 1024 / 128);
    if (megabits == 0) {
        return "<1Mb";
    }
    return " " + std::to_string(static_cast<std::uintmax_t>(megabits)) + "Mb";
}

std::string hexText(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

std::string printableText(std::string_view bytes) {
    std::string text(bytes);
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E) {
            c = ' ';
        }
    }
    return text;
}

RomInspection inspectRomFile(const std::string& path) {
    std::FILE* file = nullptr;
    std::string error;
    if (openRegularFile(path, file, error) != FileState::open) {
        return unreadable(error);
    }
    std::array<char, romHeaderEnd> bytes{};
    std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    bool failed = std::ferror(file) != 0;
    error = std::strerror(errno);
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    if (failed || size < 0) {
        return unreadable(error);
    }
    RomInspection result;
    result.size = static_cast<std::uintmax_t>(size);
    result.state = size == 0 ? RomFileState::empty : RomFileState::readable;
    result.tooShort = read < romGameCodeOffset;
    result.header = headerFrom(bytes);
    return result;
}

int saveLibraryMethod(std::string_view rom) {
    int found = 0;
    for (const SaveMarker& marker : saveMarkers) {
        if (rom.find(marker.text) == std::string_view::npos) {
            continue;
        }
        if (found != 0 && found != marker.method) {
            return 0;
        }
        found = marker.method;
    }
    return found;
}

int saveLibraryMethodOfFile(const std::string& path) {
    const FileText rom = readRegularFile(path, romLimit);
    return rom.state == FileState::open ? saveLibraryMethod(rom.bytes) : 0;
}
