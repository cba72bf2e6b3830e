#include "video/screenshot.h"

#include <cerrno>
#include <cstdio>

#include "common/files.h"
#include "common/run_state.h"
#include "common/screen.h"
#include "video/frame_driver.h"

u32 screenshotCounter;

namespace {

constexpr u32 rowBytes = screenWidth * 3;
constexpr u32 headerBytes = 54;
constexpr u32 pixelsPerMetre = 3780;
constexpr u32 screenshotNumbers = 10000;

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

void nameScreenshot(char* name, u32 number) {
    for (int digit = 7; digit >= 4; --digit) {
        name[digit] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
}

// The next free number after the last one taken, so that no session replaces the pictures of
// an earlier one. Only when all 10,000 names are taken does the count wrap and overwrite.
std::FILE* createScreenshotFile(char* name) {
    for (u32 tried = 0; tried < screenshotNumbers; ++tried) {
        screenshotCounter = (screenshotCounter + 1) % screenshotNumbers;
        nameScreenshot(name, screenshotCounter);
        if (std::FILE* file = createNewFile(name)) {
            return file;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    screenshotCounter = (screenshotCounter + 1) % screenshotNumbers;
    nameScreenshot(name, screenshotCounter);
    std::remove(name);
    return createNewFile(name);
}

} // namespace

void saveScreenshot() {
    runState.screenshotRequested = 0;
    char name[] = "Shot0000.BMP";
    std::FILE* file = createScreenshotFile(name);
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
