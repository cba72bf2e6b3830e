#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "common/log.h"
#include "support/test_support.h"

namespace {

std::string logText() {
    return readTextFile(logFileName);
}

TEST(Log, ResetCreatesAndEmptiesTheFile) {
    ScratchDirectory scratch;
    resetLog();
    ASSERT_TRUE(std::filesystem::exists(logFileName));
    EXPECT_EQ(logText(), "");

    writeFile(logFileName, std::string("old run"));
    resetLog();
    EXPECT_EQ(logText(), "");
}

TEST(Log, MessagesAppendWithoutAddingLineEnds) {
    ScratchDirectory scratch;
    resetLog();
    debugLog("\nFirst");
    debugLog(" part");
    debugLogInt(42);
    debugLog("\n");
    EXPECT_EQ(logText(), "\nFirst part42\n");
}

TEST(Log, IntegersInDecimal) {
    ScratchDirectory scratch;
    resetLog();
    debugLogInt(0);
    debugLog(",");
    debugLogInt(-7);
    debugLog(",");
    debugLogInt(INT_MAX);
    debugLog(",");
    debugLogInt(INT_MIN);
    EXPECT_EQ(logText(), "0,-7,2147483647,-2147483648");
}

TEST(Log, HexadecimalHasFixedWidthAndUpperCase) {
    ScratchDirectory scratch;
    resetLog();
    debugLogHex16(0);
    debugLog(",");
    debugLogHex16(0xABCD);
    debugLog(",");
    debugLogHex16(0x1F5);
    debugLog(",");
    debugLogHex32(0);
    debugLog(",");
    debugLogHex32(0x0800ABCF);
    debugLog(",");
    debugLogHex32(0xFFFFFFFF);
    EXPECT_EQ(logText(), "0000,ABCD,01F5,00000000,0800ABCF,FFFFFFFF");
}

TEST(Log, HexDigitsAndFormatting) {
    EXPECT_EQ(hexDigit(0), '0');
    EXPECT_EQ(hexDigit(9), '9');
    EXPECT_EQ(hexDigit(10), 'A');
    EXPECT_EQ(hexDigit(15), 'F');

    char text[9] = "xxxxxxxx";
    formatHex32(0x12ABCDEF, text);
    EXPECT_STREQ(text, "12ABCDEF");
    formatHex32(0x5, text);
    EXPECT_STREQ(text, "00000005");
}

TEST(Log, UnwritableLogIsSilentlyDropped) {
    ScratchDirectory scratch;
    std::filesystem::create_directory(logFileName);
    resetLog();
    debugLog("\nlost");
    debugLogInt(-1);
    debugLogHex16(0x1234);
    debugLogHex32(0x12345678);
    EXPECT_TRUE(std::filesystem::is_directory(logFileName));
    EXPECT_TRUE(std::filesystem::is_empty(logFileName));
}

} // namespace
