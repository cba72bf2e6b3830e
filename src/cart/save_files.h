// The three save files beside the ROM: raw images of SaveRam, FlashMemory and EepromData.
#pragma once

#include <string>

// Builds the three names from the ROM path: its last three characters replaced by "sav",
// "Flash" and "EEPROM". A path shorter than three characters keeps all of them and gets
// "." and the ending appended instead, so that it still names a file of its own.
void setSaveFileNames(const char* romPath);

extern std::string sramFileName;
extern std::string flashFileName;
extern std::string eepromFileName;

// Each fills its memory from its file; a missing or short file leaves the rest zero. A file
// that exists but cannot be read is logged and is then never overwritten by writeSaveFiles.
// A file larger than its memory is logged; a temporary file left beside the save by an
// unfinished write is removed once the save itself was read.
void loadFlash();
void loadSram();
void loadEeprom();

// Writes the Flash file (Flash carts only), the EEPROM file and the SRAM file. Each is written
// to a temporary file beside it and renamed over the old one, so a failed write never leaves
// a short or empty save; a failure is logged and the old file is kept. The memory replaces
// the file's first bytes only: a larger file keeps the rest. A save name that is a symbolic
// link is written through to the link's target, which stays a link's target.
void writeSaveFiles();
