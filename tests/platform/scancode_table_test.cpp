#include <gtest/gtest.h>

#include <map>

#include "input/input.h"
#include "platform/sdl/scancode_table.h"

namespace {

struct NamedKey {
    const char* name;
    SDL_Scancode scancode;
    u8 code;
};

// The keys the settings program lets a player assign, with the codes it writes for them.
const NamedKey assignableKeys[] = {
    {"A", SDL_SCANCODE_A, 30},
    {"B", SDL_SCANCODE_B, 48},
    {"C", SDL_SCANCODE_C, 46},
    {"D", SDL_SCANCODE_D, 32},
    {"E", SDL_SCANCODE_E, 18},
    {"F", SDL_SCANCODE_F, 33},
    {"G", SDL_SCANCODE_G, 34},
    {"H", SDL_SCANCODE_H, 35},
    {"I", SDL_SCANCODE_I, 23},
    {"J", SDL_SCANCODE_J, 36},
    {"K", SDL_SCANCODE_K, 37},
    {"L", SDL_SCANCODE_L, 38},
    {"M", SDL_SCANCODE_M, 50},
    {"N", SDL_SCANCODE_N, 49},
    {"O", SDL_SCANCODE_O, 24},
    {"P", SDL_SCANCODE_P, 25},
    {"Q", SDL_SCANCODE_Q, 16},
    {"R", SDL_SCANCODE_R, 19},
    {"S", SDL_SCANCODE_S, 31},
    {"T", SDL_SCANCODE_T, 20},
    {"U", SDL_SCANCODE_U, 22},
    {"V", SDL_SCANCODE_V, 47},
    {"W", SDL_SCANCODE_W, 17},
    {"X", SDL_SCANCODE_X, 45},
    {"Y", SDL_SCANCODE_Y, 21},
    {"Z", SDL_SCANCODE_Z, 44},
    {"-", SDL_SCANCODE_MINUS, 12},
    {"=", SDL_SCANCODE_EQUALS, 13},
    {"[", SDL_SCANCODE_LEFTBRACKET, 26},
    {"]", SDL_SCANCODE_RIGHTBRACKET, 27},
    {";", SDL_SCANCODE_SEMICOLON, 39},
    {"'", SDL_SCANCODE_APOSTROPHE, 40},
    {",", SDL_SCANCODE_COMMA, 51},
    {".", SDL_SCANCODE_PERIOD, 52},
    {"/", SDL_SCANCODE_SLASH, 53},
    {"Enter", SDL_SCANCODE_RETURN, 28},
    {"Num0", SDL_SCANCODE_KP_0, 82},
    {"Num1", SDL_SCANCODE_KP_1, 79},
    {"Num2", SDL_SCANCODE_KP_2, 80},
    {"Num3", SDL_SCANCODE_KP_3, 81},
    {"Num4", SDL_SCANCODE_KP_4, 75},
    {"Num5", SDL_SCANCODE_KP_5, 76},
    {"Num6", SDL_SCANCODE_KP_6, 77},
    {"Num7", SDL_SCANCODE_KP_7, 71},
    {"Num8", SDL_SCANCODE_KP_8, 72},
    {"Num9", SDL_SCANCODE_KP_9, 73},
    {"Num.", SDL_SCANCODE_KP_PERIOD, 83},
    {"Home", SDL_SCANCODE_HOME, 199},
    {"Up", SDL_SCANCODE_UP, 200},
    {"PgUp", SDL_SCANCODE_PAGEUP, 201},
    {"Left", SDL_SCANCODE_LEFT, 203},
    {"Right", SDL_SCANCODE_RIGHT, 205},
    {"End", SDL_SCANCODE_END, 207},
    {"Down", SDL_SCANCODE_DOWN, 208},
    {"PgDn", SDL_SCANCODE_PAGEDOWN, 209},
    {"Ins", SDL_SCANCODE_INSERT, 210},
    {"Del", SDL_SCANCODE_DELETE, 211},
};

TEST(ScancodeTable, EveryAssignableKeyGivesTheCodeTheSettingsProgramWrites) {
    for (const NamedKey& key : assignableKeys) {
        EXPECT_EQ(setOneCodeOfScancode(key.scancode), key.code) << "key " << key.name;
    }
}

TEST(ScancodeTable, NoTwoKeysShareACode) {
    std::map<u8, int> scancodeOfCode;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        u8 code = setOneCodeOfScancode(static_cast<SDL_Scancode>(scancode));
        if (code == 0) {
            continue;
        }
        auto [entry, added] = scancodeOfCode.emplace(code, scancode);
        EXPECT_TRUE(added) << "code " << int(code) << " from scancodes " << entry->second << " and "
                           << scancode;
    }
    // Every assignable key is among them, so each reaches exactly one button.
    for (const NamedKey& key : assignableKeys) {
        EXPECT_EQ(scancodeOfCode.count(key.code), 1u) << "key " << key.name;
    }
}

TEST(ScancodeTable, DebugKeysAndEscapeReachTheirActions) {
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_ESCAPE), dik::escape);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_F8), dik::f8);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_F9), dik::f9);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_F10), dik::f10);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_F11), dik::f11);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_F12), dik::f12);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_PRINTSCREEN), dik::sysRq);
}

TEST(ScancodeTable, KeysWithoutACodeAndOutOfRangeScancodesGiveZero) {
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(setOneCodeOfScancode(SDL_SCANCODE_AUDIONEXT), 0);
    EXPECT_EQ(setOneCodeOfScancode(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
    EXPECT_EQ(setOneCodeOfScancode(static_cast<SDL_Scancode>(-1)), 0);
}

} // namespace
