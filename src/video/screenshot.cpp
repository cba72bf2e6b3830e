#include "video/screenshot.h"

#include <cstdio>

#include "common/run_state.h"
#include "common/screen.h"
#include "video/frame_driver.h"

u32 screenshotCounter;

namespace {

constexpr u32 rowBytes = screenWidth * 3;
constexpr u32 headerBytes = 54;
constexpr u32 pixelsPerMetre = 3780;

static_assert(rowBytes % 4 == 0, "BMP rows need no padding at this width");
static_assert(screenshotImageSize == rowBytes * screenHeight);
static_assert(screenshotFileSize == headerBytes + screenshotImageSize);

void put16(u8* out, u32 value) {
    out[0] = static_cast<u8>(value);
    out[1] = static_cast<u8>(value >> 8);
}

void put32(u8* out, u32 value) {
    put16(out, value);
    put16(out + 2, value >> 16);
}

// The 14-byte file header and the 40-byte information header of an uncompressed 24-bit
// bottom-up BMP.
void buildHeader(u8* header) {
    for (u32 i = 0; i < headerBytes; ++i) {
        header[i] = 0;
    }
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, screenshotFileSize);
    put32(header + 10, headerBytes);
    put32(header + 14, 40);
    put32(header + 18, screenWidth);
    put32(header + 22, screenHeight);
    put16(header + 26, 1);
    put16(header + 28, 24);
    put32(header + 34, screenshotImageSize);
    put32(header + 38, pixelsPerMetre);
    put32(header + 42, pixelsPerMetre);
}

// Host pixels keep red in bits 11-15, green in 6-10 (bit 5 is the always-set marker) and
// blue in 0-4; each 5-bit channel becomes a byte in steps of 8.
void convertRow(const u16* line, u8* row) {
    for (u32 x = 0; x < screenWidth; ++x) {
        u16 pixel = line[x];
        row[3 * x] = static_cast<u8>((pixel & 0x1F) << 3);
        row[3 * x + 1] = static_cast<u8>(((pixel >> 6) & 0x1F) << 3);
        row[3 * x + 2] = static_cast<u8>(((pixel >> 11) & 0x1F) << 3);
    }
}

} // namespace

void saveScreenshot() {
    ++screenshotCounter;
    runState.screenshotRequested = 0;
    char name[] = "Shot0000.BMP";
    name[6] = static_cast<char>('0' + (screenshotCounter / 10) % 10);
    name[7] = static_cast<char>('0' + screenshotCounter % 10);

    std::FILE* file = std::fopen(name, "wb");
    if (!file) {
        return;
    }
    u8 header[headerBytes];
    buildHeader(header);
    std::fwrite(header, 1, headerBytes, file);
    u8 row[rowBytes];
    for (u32 y = screenHeight; y-- > 0;) {
        convertRow(renderBuffer + renderWidth * y, row);
        std::fwrite(row, 1, rowBytes, file);
    }
    std::fclose(file);
}
