#include "configcentre/key_codes.h"

#include <array>

namespace {

struct SupportedKey {
    std::uint8_t virtualKey;
    std::uint8_t code;
    const char* name;
};

// Letters A-Z are virtual keys 65-90 in alphabetical order.
constexpr std::uint8_t letterCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                          49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
// Keypad digits 0-9 are virtual keys 96-105.
constexpr std::uint8_t keypadDigitCodes[10] = {82, 79, 80, 81, 75, 76, 77, 71, 72, 73};

constexpr SupportedKey otherKeys[] = {
    {13, 28, "Enter"}, {33, 201, "PgUp"}, {34, 209, "PgDn"},  {35, 207, "End"},  {36, 199, "Home"},
    {37, 203, "Left"}, {38, 200, "Up"},   {39, 205, "Right"}, {40, 208, "Down"}, {45, 210, "Ins"},
    {46, 211, "Del"},  {110, 83, "Num."}, {186, 39, ";"},     {187, 13, "="},    {188, 51, ","},
    {189, 12, "-"},    {190, 52, "."},    {191, 53, "/"},     {219, 26, "["},    {221, 27, "]"},
    {222, 40, "'"},
};

struct KeyTables {
    std::array<std::uint8_t, 256> codeOfVirtualKey{};
    std::array<std::string, 256> nameOfCode{};
};

void addKey(KeyTables& tables, std::uint8_t virtualKey, std::uint8_t code, std::string name) {
    tables.codeOfVirtualKey[virtualKey] = code;
    tables.nameOfCode[code] = std::move(name);
}

KeyTables buildKeyTables() {
    KeyTables tables;
    for (int i = 0; i < 26; ++i) {
        addKey(tables, static_cast<std::uint8_t>(65 + i), letterCodes[i],
               std::string(1, static_cast<char>('A' + i)));
    }
    for (int i = 0; i < 10; ++i) {
        addKey(tables, static_cast<std::uint8_t>(96 + i), keypadDigitCodes[i],
               "Num" + std::to_string(i));
    }
    for (const SupportedKey& key : otherKeys) {
        addKey(tables, key.virtualKey, key.code, key.name);
    }
    return tables;
}

const KeyTables& keyTables() {
    static const KeyTables tables = buildKeyTables();
    return tables;
}

} // namespace

std::uint8_t TranslateDIK(std::uint16_t virtualKey) {
    return virtualKey < 256 ? keyTables().codeOfVirtualKey[virtualKey] : 0;
}

std::string TranslateSTR(int code) {
    return code > 0 && code < 256 ? keyTables().nameOfCode[code] : std::string();
}
