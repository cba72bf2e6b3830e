#include "common/log.h"

#include <cstdio>

const char* const logFileName = "DBUG.txt";

namespace {

void appendText(const char* text) {
    std::FILE* file = std::fopen(logFileName, "a");
    if (!file) {
        return;
    }
    std::fputs(text, file);
    std::fclose(file);
}

} // namespace

void resetLog() {
    std::FILE* file = std::fopen(logFileName, "w");
    if (file) {
        std::fclose(file);
    }
}

void debugLog(const char* text) {
    appendText(text);
}

void debugLogInt(s32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
    appendText(text);
}

char hexDigit(u32 value) {
    return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10);
}

void debugLogHex16(u16 value) {
    char text[5];
    for (int i = 0; i < 4; ++i) {
        text[i] = hexDigit((value >> (12 - 4 * i)) & 15);
    }
    text[4] = 0;
    appendText(text);
}

void formatHex32(u32 value, char* out) {
    for (int i = 0; i < 8; ++i) {
        out[i] = hexDigit((value >> (28 - 4 * i)) & 15);
    }
    out[8] = 0;
}

void debugLogHex32(u32 value) {
    char text[9];
    formatHex32(value, text);
    appendText(text);
}
