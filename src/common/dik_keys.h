// The keys of a PC keyboard as the emulator and "Quarvend.CFG" number them: DirectInput key
// codes, which are the PC set-1 scan codes with bit 7 set on the extended keys (the cursor
// block, right-hand Ctrl and Alt, keypad Enter and slash). The Windows host receives these
// codes from DirectInput, the SDL host translates its scancodes into exactly this set, and the
// settings program names them, so a key the player assigns is one the emulator reads.
#pragma once

#include <cstddef>

#include "common/types.h"

struct DikKey {
    u8 code;
    const char* name; // as the settings program shows it
};

inline constexpr DikKey dikKeys[] = {
    {0x01, "Esc"},     {0x02, "1"},          {0x03, "2"},        {0x04, "3"},
    {0x05, "4"},       {0x06, "5"},          {0x07, "6"},        {0x08, "7"},
    {0x09, "8"},       {0x0A, "9"},          {0x0B, "0"},        {0x0C, "-"},
    {0x0D, "="},       {0x0E, "Backspace"},  {0x0F, "Tab"},      {0x10, "Q"},
    {0x11, "W"},       {0x12, "E"},          {0x13, "R"},        {0x14, "T"},
    {0x15, "Y"},       {0x16, "U"},          {0x17, "I"},        {0x18, "O"},
    {0x19, "P"},       {0x1A, "["},          {0x1B, "]"},        {0x1C, "Enter"},
    {0x1D, "LCtrl"},   {0x1E, "A"},          {0x1F, "S"},        {0x20, "D"},
    {0x21, "F"},       {0x22, "G"},          {0x23, "H"},        {0x24, "J"},
    {0x25, "K"},       {0x26, "L"},          {0x27, ";"},        {0x28, "'"},
    {0x29, "`"},       {0x2A, "LShift"},     {0x2B, "\\"},       {0x2C, "Z"},
    {0x2D, "X"},       {0x2E, "C"},          {0x2F, "V"},        {0x30, "B"},
    {0x31, "N"},       {0x32, "M"},          {0x33, ","},        {0x34, "."},
    {0x35, "/"},       {0x36, "RShift"},     {0x37, "Num*"},     {0x38, "LAlt"},
    {0x39, "Space"},   {0x3A, "CapsLock"},   {0x3B, "F1"},       {0x3C, "F2"},
    {0x3D, "F3"},      {0x3E, "F4"},         {0x3F, "F5"},       {0x40, "F6"},
    {0x41, "F7"},      {0x42, "F8"},         {0x43, "F9"},       {0x44, "F10"},
    {0x45, "NumLock"}, {0x46, "ScrollLock"}, {0x47, "Num7"},     {0x48, "Num8"},
    {0x49, "Num9"},    {0x4A, "Num-"},       {0x4B, "Num4"},     {0x4C, "Num5"},
    {0x4D, "Num6"},    {0x4E, "Num+"},       {0x4F, "Num1"},     {0x50, "Num2"},
    {0x51, "Num3"},    {0x52, "Num0"},       {0x53, "Num."},     {0x56, "<>"},
    {0x57, "F11"},     {0x58, "F12"},        {0x9C, "NumEnter"}, {0x9D, "RCtrl"},
    {0xB5, "Num/"},    {0xB7, "PrtSc"},      {0xB8, "RAlt"},     {0xC5, "Pause"},
    {0xC7, "Home"},    {0xC8, "Up"},         {0xC9, "PgUp"},     {0xCB, "Left"},
    {0xCD, "Right"},   {0xCF, "End"},        {0xD0, "Down"},     {0xD1, "PgDn"},
    {0xD2, "Ins"},     {0xD3, "Del"},        {0xDB, "LWin"},     {0xDC, "RWin"},
    {0xDD, "Menu"},
};

inline constexpr u8 dikEscape = 0x01;

// The name of a code, or nullptr for a code no key of the keyboard sends.
constexpr const char* dikKeyName(unsigned code) {
    for (const DikKey& key : dikKeys) {
        if (key.code == code) {
            return key.name;
        }
    }
    return nullptr;
}
