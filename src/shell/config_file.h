// Reading of "Quarvend.CFG" (format in common/config_keys.h) into settings, keyMap and
// buttonState, once at start-up. The emulator never writes the file.
#pragma once

#include "common/config_keys.h"

// Sets the defaults, applies the file's lines in order, then clears buttonState and builds
// keyMap for keyboard mode. A missing or unreadable file leaves the defaults and logs one line
// saying so. Always returns 1.
int readConfigFile();

// The key's number 1..31 (SAVEMETHOD is taken as DETECTSAVE), or 0 after logging "FAIL".
ConfigKey configKeyId(const char* key);
