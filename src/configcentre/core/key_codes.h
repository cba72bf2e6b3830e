// Key codes of the Controller tab. Keys arrive as Windows virtual-key codes; the emulator and
// "Quarvend.CFG" speak DirectInput key codes (the PC set-1 scan codes, e.g. Up 0xC8).
#pragma once

#include <cstdint>
#include <string>

// The DirectInput code of a supported key's virtual-key code; 0 for every other key.
std::uint8_t TranslateDIK(std::uint16_t virtualKey);

// The short name shown for a DirectInput code; empty for 0 and for unsupported codes.
std::string TranslateSTR(int code);
