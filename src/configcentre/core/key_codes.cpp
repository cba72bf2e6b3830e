#include "configcentre/core/key_codes.h"

#include <array>

#include "common/dik_keys.h"

namespace {

struct KeyPair {
    std::uint8_t virtualKey;
    std::uint8_t code;
};

// Letters A-Z are virtual keys 65-90 in alphabetical order.
constexpr std::uint8_t letterCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                          0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                          0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
// Digits 0-9 of the main row are virtual keys 48-57, the keypad's 96-105.
constexpr std::uint8_t digitCodes[10] = {0x0B, 0x02, 0x03, 0x04, 0x05,
                                         0x06, 0x07, 0x08, 0x09, 0x0A};
constexpr std::uint8_t keypadDigitCodes[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                               0x4C, 0x4D, 0x47, 0x48, 0x49};
// F1-F12 are virtual keys 112-123.
constexpr std::uint8_t functionCodes[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40,
                                            0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

constexpr KeyPair otherKeys[] = {
    {8, 0x0E},   {9, 0x0F},   {12, 0x4C},  {13, 0x1C},  {16, 0x2A},  {17, 0x1D},  {18, 0x38},
    {19, 0xC5},  {20, 0x3A},  {27, 0x01},  {32, 0x39},  {33, 0xC9},  {34, 0xD1},  {35, 0xCF},
    {36, 0xC7},  {37, 0xCB},  {38, 0xC8},  {39, 0xCD},  {40, 0xD0},  {44, 0xB7},  {45, 0xD2},
    {46, 0xD3},  {91, 0xDB},  {92, 0xDC},  {93, 0xDD},  {106, 0x37}, {107, 0x4E}, {109, 0x4A},
    {110, 0x53}, {111, 0xB5}, {144, 0x45}, {145, 0x46}, {160, 0x2A}, {161, 0x36}, {162, 0x1D},
    {163, 0x9D}, {164, 0x38}, {165, 0xB8}, {186, 0x27}, {187, 0x0D}, {188, 0x33}, {189, 0x0C},
    {190, 0x34}, {191, 0x35}, {192, 0x29}, {219, 0x1A}, {220, 0x2B}, {221, 0x1B}, {222, 0x28},
    {226, 0x56},
};

// The keypad's keys that share a virtual key with a key outside it.
constexpr KeyPair keypadKeys[] = {
    {13, 0x9C}, {33, 0x49}, {34, 0x51}, {35, 0x4F}, {36, 0x47}, {37, 0x4B},
    {38, 0x48}, {39, 0x4D}, {40, 0x50}, {45, 0x52}, {46, 0x53},
};

struct KeyTables {
    std::array<std::uint8_t, 256> codeOfVirtualKey{};
    std::array<std::uint8_t, 256> keypadCodeOfVirtualKey{};
};

KeyTables buildKeyTables() {
    KeyTables tables;
    for (int i = 0; i < 26; ++i) {
        tables.codeOfVirtualKey[65 + i] = letterCodes[i];
    }
    for (int i = 0; i < 10; ++i) {
        tables.codeOfVirtualKey[48 + i] = digitCodes[i];
        tables.codeOfVirtualKey[96 + i] = keypadDigitCodes[i];
    }
    for (int i = 0; i < 12; ++i) {
        tables.codeOfVirtualKey[112 + i] = functionCodes[i];
    }
    for (const KeyPair& key : otherKeys) {
        tables.codeOfVirtualKey[key.virtualKey] = key.code;
    }
    tables.keypadCodeOfVirtualKey = tables.codeOfVirtualKey;
    for (const KeyPair& key : keypadKeys) {
        tables.keypadCodeOfVirtualKey[key.virtualKey] = key.code;
    }
    return tables;
}

const KeyTables& keyTables() {
    static const KeyTables tables = buildKeyTables();
    return tables;
}

} // namespace

std::uint8_t TranslateDIK(std::uint16_t virtualKey, bool keypad) {
    if (virtualKey >= 256) {
        return 0;
    }
    const KeyTables& tables = keyTables();
    return keypad ? tables.keypadCodeOfVirtualKey[virtualKey] : tables.codeOfVirtualKey[virtualKey];
}

std::string TranslateSTR(int code) {
    const char* name = code > 0 && code < 256 ? dikKeyName(static_cast<unsigned>(code)) : nullptr;
    return name ? name : std::string();
}
