// The ordinary window's title: the program's name and the ROM's file name without its folders.
#pragma once

#include <cstring>
#include <string>

constexpr const char* programTitle = "Quarvend";

// SEPARATORS are the characters that end a folder's name in a path on the platform.
inline std::string ordinaryWindowTitle(const char* romPath, const char* separators) {
    const char* name = romPath;
    for (const char* at = romPath; *at; ++at) {
        if (std::strchr(separators, *at)) {
            name = at + 1;
        }
    }
    return std::string(programTitle) + " - " + name;
}
