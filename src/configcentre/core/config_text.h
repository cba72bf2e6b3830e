// "Quarvend.CFG" as the settings program writes and reads it. The key names, yes/no words and
// save-method names come from common/config_keys.h, the table the emulator's reader uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/config_keys.h"

// The window's key boxes in the order Up, Down, Left, Right, A, B, Select, Start, L, R, and
// its joystick boxes in the order A, B, Select, Start, L, R: the order of the KEY… and JOY…
// lines, and of their numbers in configKeys.
inline constexpr int centreKeyCount = 10;
inline constexpr int centreJoyCount = 6;
inline constexpr ConfigKey centreFirstKey = configKeyUp;
inline constexpr ConfigKey centreFirstJoy = configJoyA;

// Highest values the window can show: key codes are one byte; joysticks have 32 buttons.
inline constexpr int centreMaxKeyCode = 255;
inline constexpr int centreMaxJoyButton = 32;

// The option counts of RES, ZOOM and SKIP.
inline constexpr int centreResolutionCount = 3;
inline constexpr int centreZoomCount = 4;
inline constexpr int centreFrameSkipCount = 4;

// Everything the window writes. -1 means that no option of the group is selected, so no line
// is written; saveMethod -1 writes no SAVEMETHOD line.
struct CentreSettings {
    int resolution = -1;
    int zoom = -1;
    int frameSkip = -1;
    bool autoSkip = false;
    bool realGba = false;
    bool halfSpeed = false;
    bool enableSound = false;
    bool disableWscnt = false;
    bool disableFifo = false;
    bool disableAlpha = false;
    bool keyboardInput = false;
    bool bootFromBios = false;
    int saveMethod = 0; // index into configSaveMethods
    int keyCodes[centreKeyCount] = {};
    int joyButtons[centreJoyCount] = {};
    bool window = false;
    bool integerScale = false;
    // Lines of the file the window does not manage (comments, keys it does not know), in their
    // order; they are written back after the managed lines.
    std::vector<std::string> keptLines;
};

// The whole file: one CR LF line per setting in the fixed order, the kept lines, and a line
// holding one space.
std::string configText(const CentreSettings& settings);

// The settings of a first start, which are also the file the build places beside the programs:
// keyboard input on the arrows, Z, X, Backspace, Enter, A and S; joystick buttons 1 to 6 on A,
// B, Select, Start, L and R; 1024X768 at 4x (the largest picture on 16:9 and 4:3 desktops
// alike), every frame drawn, paced by the clock
// (automatic frame skipping); sound and every other switch off.
CentreSettings firstStartSettings();

// One line of the file as the window applies it. key is configKeyNone for lines the window
// ignores (SAVEMETHOD, DETECTSAVE, unknown keys, lines without "="). value is the option
// index, 1/0 for a switch ("YES" exactly), 0 for INPUT=KEYBOARD and 1 for any other INPUT,
// or the key code or joystick button. outOfRange marks a number the window cannot show.
struct CentreLine {
    ConfigKey key = configKeyNone;
    int value = 0;
    bool outOfRange = false;
};

CentreLine parseCentreLine(std::string_view line);

// True for a line the window writes itself and so never keeps: a SAVEMETHOD line, the line
// holding one space, and every line of a key the window shows (even one out of range).
bool writtenByCentre(std::string_view line);

// The file's lines without their CR LF or LF ends; the empty piece after a last line end is
// not a line.
std::vector<std::string_view> configLines(std::string_view text);

// The leading number of text, as the window has always read values: leading blanks skipped,
// an optional sign, digits and a fraction; anything after them is ignored and no digits at
// all give 0. Rounded to the nearest integer, halves to even.
double roundedValue(std::string_view text);
