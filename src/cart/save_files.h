// The three save files beside the ROM: raw images of SaveRam, FlashMemory and EepromData.
#pragma once

#include <string>

// The name of a file beside the ROM: its path with the last three characters replaced by
// ENDING. A path shorter than three characters keeps all of them and gets "." and the ending
// appended instead, so that it still names a file of its own.
std::string romSiblingName(const char* romPath, const char* ending);

// Builds the three names from the ROM path with the endings "sav", "Flash" and "EEPROM".
void setSaveFileNames(const char* romPath);

extern std::string sramFileName;
extern std::string flashFileName;
extern std::string eepromFileName;

// Each fills its memory from its file; a missing or short file leaves the rest zero, and so does
// anything that is not a regular file (a FIFO, a device, a folder), which is never opened for
// reading. A file that exists but cannot be read is logged and is then never overwritten by
// writeSaveFiles. A file larger than its memory is logged. Temporary files left beside the save
// by writes that were cut short are removed once the save itself was read, when they are older
// than a minute (younger ones may be another instance's write in progress).
void loadFlash();
void loadSram();
void loadEeprom();

// Writes the Flash file (Flash carts only), the EEPROM file and the SRAM file, each only when
// the game changed that memory during the run or the file existed at start. Each is written to
// a temporary file of its own beside it, put on the disk and renamed over the old one, so a
// failed or cut-short write never leaves a short or empty save; a failure is logged and the old
// file is kept. The memory replaces the file's first bytes only: a larger file keeps the rest.
// A save name that is a symbolic link is written through to the link's target, which stays a
// link's target, but only when that target is a regular file or does not exist yet: a device,
// FIFO or folder is never replaced. Returns the log lines of the saves that changed and could
// not be written, one a line; empty when nothing was lost.
std::string writeSaveFiles();

// After a state load, which put the save memories back as the game saw them then: a file is
// written again only once the game changes its memory, and the first such write keeps the file
// it replaces as NAME.bak (game.sav.bak, game.Flash.bak, game.EEPROM.bak), so no save on the
// disk is lost to a state. Clears the changed and touched notes.
void holdSaveFilesAfterStateLoad();

// Test switch for writes cut short by a kill: when set, called twice during each write, halfway
// through the temporary file's data and between its completion and the rename, so that a test
// tool can hold the write there.
extern void (*saveWriteMidway)();
