#include "common/checksum.h"

#include <array>

namespace {

constexpr std::array<u32, 256> crcTable = [] {
    std::array<u32, 256> table{};
    for (u32 n = 0; n < 256; ++n) {
        u32 c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}();

} // namespace

u32 crc32(const void* data, size_t size, u32 crc) {
    const u8* bytes = static_cast<const u8*>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = crcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}
