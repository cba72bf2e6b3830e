#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/run_state.h"
#include "support/test_support.h"
#include "video/frame_driver.h"
#include "video/screenshot.h"

namespace {

class Screenshot : public ::testing::Test {
  protected:
    void SetUp() override {
        screenshotCounter = 0;
        runState.screenshotRequested = 1;
        std::memset(renderBuffer, 0, sizeof renderBuffer);
    }

    ScratchDirectory scratch;
};

u32 le32(const std::vector<u8>& file, std::size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | static_cast<u32>(file[at + 3]) << 24;
}

u32 le16(const std::vector<u8>& file, std::size_t at) {
    return file[at] | file[at + 1] << 8;
}

// The three bytes (blue, green, red) of the pixel at x, y of the picture.
std::vector<u8> pixelAt(const std::vector<u8>& file, u32 x, u32 y) {
    std::size_t at = 54 + (159 - y) * 720 + x * 3;
    return {file[at], file[at + 1], file[at + 2]};
}

// Numbers whose file exists, from an earlier session or of any kind, are skipped; after 9999
// the count starts again at 0000.
TEST_F(Screenshot, NamesCountUpSkipTakenNumbersAndWrapAfter9999) {
    saveScreenshot();
    saveScreenshot();
    EXPECT_TRUE(std::filesystem::exists("Shot0001.BMP"));
    EXPECT_TRUE(std::filesystem::exists("Shot0002.BMP"));
    EXPECT_EQ(runState.screenshotRequested, 0u);

    writeFile("Shot0003.BMP", std::string("an earlier session's picture"));
    std::filesystem::create_directory("Shot0004.BMP");
    saveScreenshot();
    EXPECT_EQ(readTextFile("Shot0003.BMP"), "an earlier session's picture");
    EXPECT_EQ(readBinaryFile("Shot0005.BMP").size(), 115254u);
    EXPECT_EQ(screenshotCounter, 5u);

    screenshotCounter = 9998;
    saveScreenshot();
    EXPECT_TRUE(std::filesystem::exists("Shot9999.BMP"));
    saveScreenshot();
    EXPECT_TRUE(std::filesystem::exists("Shot0000.BMP"));
    saveScreenshot();
    EXPECT_TRUE(std::filesystem::exists("Shot0006.BMP"));
}

TEST_F(Screenshot, HeaderDescribesA240x160BottomUp24BitPicture) {
    saveScreenshot();
    const std::vector<u8> file = readBinaryFile("Shot0001.BMP");
    ASSERT_EQ(file.size(), 115254u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), 115254u);
    EXPECT_EQ(le32(file, 6), 0u);
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 18), 240u);
    EXPECT_EQ(le32(file, 22), 160u);
    EXPECT_EQ(le16(file, 26), 1u);
    EXPECT_EQ(le16(file, 28), 24u);
    EXPECT_EQ(le32(file, 30), 0u);
    EXPECT_EQ(le32(file, 34), 115200u);
    EXPECT_EQ(le32(file, 38), 3780u);
    EXPECT_EQ(le32(file, 42), 3780u);
    EXPECT_EQ(le32(file, 46), 0u);
    EXPECT_EQ(le32(file, 50), 0u);
}

TEST_F(Screenshot, PixelsAreStoredBgrFromTheVisibleColumns) {
    renderBuffer[0] = 0xFFFF;                                          // top left, white
    renderBuffer[256 * 159 + 239] = (3 << 11) | (17 << 6) | 0x20 | 30; // bottom right
    renderBuffer[256 * 80 + 100] = 0x0020;                             // black with the marker bit
    renderBuffer[256 * 80 + 240] = 0xFFFF;                             // beyond the visible width
    saveScreenshot();
    const std::vector<u8> file = readBinaryFile("Shot0001.BMP");
    ASSERT_EQ(file.size(), 115254u);
    EXPECT_EQ(pixelAt(file, 0, 0), (std::vector<u8>{0xF8, 0xF8, 0xF8}));
    EXPECT_EQ(pixelAt(file, 239, 159), (std::vector<u8>{30 * 8, 17 * 8, 3 * 8}));
    // Line 159 is the first row of the file.
    EXPECT_EQ(file[54 + 239 * 3], 30 * 8);
    EXPECT_EQ(pixelAt(file, 100, 80), (std::vector<u8>{0, 0, 0}));
    int nonZero = 0;
    for (std::size_t i = 54; i < file.size(); ++i) {
        nonZero += file[i] != 0;
    }
    EXPECT_EQ(nonZero, 6) << "only the two coloured visible pixels";
}

TEST_F(Screenshot, UncreatableFileIsSkipped) {
    std::filesystem::create_directory("pictures");
    std::filesystem::current_path("pictures");
    std::filesystem::permissions(".", std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    {
        PermissionsEnforced enforced;
        saveScreenshot();
    }
    EXPECT_TRUE(std::filesystem::is_empty("."));
    EXPECT_EQ(runState.screenshotRequested, 0u);
    std::filesystem::permissions(".", std::filesystem::perms::owner_all);
    saveScreenshot();
    EXPECT_EQ(readBinaryFile("Shot0002.BMP").size(), 115254u);
}

} // namespace
