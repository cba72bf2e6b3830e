// Key codes of the Controller tab. Keys arrive as Windows virtual-key codes; the emulator and
// "Quarvend.CFG" speak DirectInput key codes (common/dik_keys.h), the PC set-1 scan codes.
#pragma once

#include <cstdint>
#include <string>

// The DirectInput code of a key given by its virtual-key code; 0 for a key the emulator does
// not read. keypad marks a key of the numeric keypad: Enter there is keypad Enter, and with
// NumLock off the keypad's Home, Up, ... are its digits, as DirectInput reports them. The
// generic Shift, Ctrl and Alt codes stand for the left-hand keys.
std::uint8_t TranslateDIK(std::uint16_t virtualKey, bool keypad = false);

// The name shown for a DirectInput code; empty for 0 and for codes no key sends.
std::string TranslateSTR(int code);
