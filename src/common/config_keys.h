// The lines of "Quarvend.CFG": key names, their numbers and the values the two programs
// exchange. The emulator's reader and the settings program's writer both take them from here,
// so the file format is defined in one place.
#pragma once

#include <cstddef>

#include "common/settings.h"
#include "common/types.h"

inline constexpr const char* configFileName = "Quarvend.CFG";

// Longer lines are cut after this many characters and their rest is read as the next line.
inline constexpr std::size_t configMaxLineLength = 127;

// Key numbers, in the order of the configKeys table.
enum ConfigKey : u8 {
    configKeyNone = 0,
    configKeyRes,
    configKeyZoom,
    configKeyInput,
    configKeyUp,
    configKeyDown,
    configKeyLeft,
    configKeyRight,
    configKeyA,
    configKeyB,
    configKeySelect,
    configKeyStart,
    configKeyL,
    configKeyR,
    configJoyA,
    configJoyB,
    configJoySelect,
    configJoyStart,
    configJoyL,
    configJoyR,
    configKeyAutoSkip,
    configKeySkip,
    configKeyHalfSpeed,
    configKeyEnableSound,
    configKeyDisableFifo,
    configKeyDisableAlpha,
    configKeyBootFromBios,
    configKeyDisableWscnt,
    configKeyRealGba,
    configKeyDetectSave,
    // Beyond the original file: an ordinary window instead of the full screen, and scaling by
    // whole numbers only. Both default to NO.
    configKeyWindow,
    configKeyIntegerScale,
};

struct ConfigKeyEntry {
    const char* name;
    ConfigKey id;
    Button button; // the button a KEY… or JOY… line sets; buttonNone for the other keys
};

inline constexpr ConfigKeyEntry configKeys[] = {
    {"RES", configKeyRes, buttonNone},
    {"ZOOM", configKeyZoom, buttonNone},
    {"INPUT", configKeyInput, buttonNone},
    {"KEYUP", configKeyUp, buttonUp},
    {"KEYDOWN", configKeyDown, buttonDown},
    {"KEYLEFT", configKeyLeft, buttonLeft},
    {"KEYRIGHT", configKeyRight, buttonRight},
    {"KEYA", configKeyA, buttonA},
    {"KEYB", configKeyB, buttonB},
    {"KEYSELECT", configKeySelect, buttonSelect},
    {"KEYSTART", configKeyStart, buttonStart},
    {"KEYL", configKeyL, buttonL},
    {"KEYR", configKeyR, buttonR},
    {"JOYA", configJoyA, buttonA},
    {"JOYB", configJoyB, buttonB},
    {"JOYSELECT", configJoySelect, buttonSelect},
    {"JOYSTART", configJoyStart, buttonStart},
    {"JOYL", configJoyL, buttonL},
    {"JOYR", configJoyR, buttonR},
    {"AUTOSKIP", configKeyAutoSkip, buttonNone},
    {"SKIP", configKeySkip, buttonNone},
    {"HALFSPEED", configKeyHalfSpeed, buttonNone},
    {"ENABLESOUND", configKeyEnableSound, buttonNone},
    {"DISABLEFIFO", configKeyDisableFifo, buttonNone},
    {"DISABLEALPHA", configKeyDisableAlpha, buttonNone},
    {"BOOTFROMBIOS", configKeyBootFromBios, buttonNone},
    {"DISABLEWSCNT", configKeyDisableWscnt, buttonNone},
    {"REALGBA", configKeyRealGba, buttonNone},
    {"DETECTSAVE", configKeyDetectSave, buttonNone},
    {"WINDOW", configKeyWindow, buttonNone},
    {"INTEGERSCALE", configKeyIntegerScale, buttonNone},
};

inline constexpr std::size_t configKeyCount = sizeof configKeys / sizeof configKeys[0];

// The settings program writes the save type under this name; the reader takes it as DETECTSAVE.
inline constexpr ConfigKeyEntry saveMethodKey = {"SAVEMETHOD", configKeyDetectSave, buttonNone};

constexpr bool configKeysNumberedInOrder() {
    for (std::size_t i = 0; i < configKeyCount; ++i) {
        if (static_cast<std::size_t>(configKeys[i].id) != i + 1) {
            return false;
        }
    }
    return configKeyCount == static_cast<std::size_t>(configKeyIntegerScale);
}
static_assert(configKeysNumberedInOrder(), "configKeys must list the keys in number order");

// Values. Switches are on when the value begins with 'Y'; INPUT is keyboard when it begins
// with 'K'; the save method is chosen by its first letter, which the names below all differ in.
inline constexpr const char* configYes = "YES";
inline constexpr const char* configNo = "NO";
inline constexpr const char* configInputKeyboard = "KEYBOARD";
inline constexpr const char* configInputGamepad = "GAMEPAD";
// Indexed by save type: 0 undetermined, 1 SRAM, 2 Flash, 3 EEPROM.
inline constexpr const char* configSaveMethods[] = {"UNKNOWN", "SRAM", "FLASH", "EEPROM"};

// RES selects one of these by its index.
struct ConfigResolution {
    u32 width;
    u32 height;
};
inline constexpr ConfigResolution configResolutions[] = {{640, 480}, {800, 600}, {1024, 768}};

// Defaults that stand when a key is absent; every other setting defaults to 0.
inline constexpr ConfigResolution defaultResolution = configResolutions[0];
inline constexpr u32 defaultZoom = 1;
inline constexpr const char* defaultBiosFileName = "GBA.BIOS";

// Keyboard codes (DirectInput numbering) a fresh installation starts with, indexed by button
// number - 1: arrows, Backspace = Select, Enter = Start, Z = A, X = B, A = L, S = R.
inline constexpr u8 defaultKeyCodes[10] = {200, 208, 203, 205, 14, 28, 44, 45, 30, 31};
