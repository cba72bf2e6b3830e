// Debug keys, handled inside the input poll: register and memory dumps, screenshots, pacing
// resynchronisation, save states (shell/save_states.h) and Escape.
#pragma once

#include "common/types.h"
#include "input/input.h"

extern const char* const dumpVideoRamFile;
extern const char* const dumpMemoryFile;
extern const char* const dumpPaletteFile;
extern const char* const dumpObjectAttributesFile;

void logCpuState();
void dumpVideoRam();
void dumpPalette();
void dumpObjectAttributes();
void dumpMemory();
