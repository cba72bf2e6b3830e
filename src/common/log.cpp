#include "common/log.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "common/files.h"

const char* const logFileName = "DBUG.txt";

namespace {

using Clock = std::chrono::steady_clock;

// Each message is written as it is this many times a second; its further repeats in that
// second are only counted, so that a program that makes the emulator report something in a
// loop cannot fill the disk or slow the emulation down with opening the file.
constexpr u32 verbatimPerSecond = 10;
constexpr size_t trackedMessages = 16;

struct Repeats {
    std::string text;
    u32 count; // occurrences this second
    u32 held;  // of them, not written
};

struct RepeatWindow {
    Repeats messages[trackedMessages];
    size_t used;
    Clock::time_point start;
    bool open;
    // The last text was held back: the numbers that follow it belong to it.
    bool lastHeld;
};

RepeatWindow window;

void appendText(const char* text) {
    std::FILE* file = openRegularFileForWriting(logFileName, true);
    if (!file) {
        return;
    }
    std::fputs(text, file);
    std::fclose(file);
}

// The message on one line, without the line breaks it carries.
std::string oneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c != '\n' && c != '\r') {
            line += c;
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

void writeHeldCounts() {
    for (size_t i = 0; i < window.used; ++i) {
        const Repeats& repeats = window.messages[i];
        if (repeats.held == 0) {
            continue;
        }
        std::string summary =
            "\nRepeated " + std::to_string(repeats.held) + " more times: " + oneLine(repeats.text);
        appendText(summary.c_str());
    }
    window = RepeatWindow{};
}

// The entry that gives way to a new message once all are in use: one that was never held.
Repeats* freeEntry() {
    if (window.used < trackedMessages) {
        return &window.messages[window.used++];
    }
    Repeats* least = nullptr;
    for (Repeats& repeats : window.messages) {
        if (repeats.held == 0 && (!least || repeats.count < least->count)) {
            least = &repeats;
        }
    }
    return least;
}

// Counts TEXT in this second's window; true when it is to be held back.
bool holdBack(const char* text) {
    Clock::time_point now = Clock::now();
    if (!window.open || now - window.start >= std::chrono::seconds(1)) {
        writeHeldCounts();
        window.open = true;
        window.start = now;
    }
    for (size_t i = 0; i < window.used; ++i) {
        Repeats& repeats = window.messages[i];
        if (repeats.text == text) {
            if (++repeats.count <= verbatimPerSecond) {
                return false;
            }
            ++repeats.held;
            return true;
        }
    }
    if (Repeats* entry = freeEntry()) {
        *entry = Repeats{text, 1, 0};
    }
    return false;
}

void appendNumber(const char* text) {
    if (!window.lastHeld) {
        appendText(text);
    }
}

} // namespace

void resetLog() {
    window = RepeatWindow{};
    std::FILE* file = openRegularFileForWriting(logFileName, false);
    if (file) {
        std::fclose(file);
    }
}

void debugLog(const char* text) {
    window.lastHeld = holdBack(text);
    if (!window.lastHeld) {
        appendText(text);
    }
}

void writeLogRepeats() {
    writeHeldCounts();
}

void debugLogInt(s32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
    appendNumber(text);
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
    appendNumber(text);
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
    appendNumber(text);
}
