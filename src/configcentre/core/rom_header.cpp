#include "configcentre/rom_header.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

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
    return header;
}

RomInspection unreadable(int error) {
    RomInspection result;
    result.state = RomFileState::unreadable;
    result.error = std::strerror(error);
    return result;
}

} // namespace

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

RomInspection inspectRomFile(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return unreadable(errno);
    }
    std::array<char, romHeaderEnd> bytes{};
    std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    bool failed = std::ferror(file) != 0;
    int error = errno;
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
