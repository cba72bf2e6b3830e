// Loading the game pak image and the boot image into the address space.
#pragma once

#include "common/types.h"

// Bytes of the ROM image loaded; 0 before loading or when the file could not be opened.
extern u32 romSize;

// Returns 1 when the file could be opened and was loaded, 0 when not. Anything but a regular
// file (a directory, a FIFO, a device) and a file that fails while being read count as one
// that could not be opened. Only the first 32 MB of
// a larger file are loaded.
int loadRom(const char* path);

// Loads the first 16 KB of "GBA.BIOS" (settings.biosFileName). A missing, unreadable or short
// file, or anything but a regular file, is replaced whole by the built-in boot image.
void loadBios();
