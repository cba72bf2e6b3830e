// Debug keys, handled inside the input poll: register and memory dumps, screenshots, pacing
// resynchronisation and Escape.
#pragma once

#include "common/types.h"


// DirectInput key codes of the debug keys.
namespace dik {
constexpr u8 escape = 0x01;
constexpr u8 f8 = 0x42;
constexpr u8 f9 = 0x43;
constexpr u8 f10 = 0x44;
constexpr u8 f11 = 0x57;
constexpr u8 f12 = 0x58;
constexpr u8 sysRq = 0xB7; // Print Screen
} // namespace dik

extern const char* const dumpVideoRamFile;
extern const char* const dumpMemoryFile;
extern const char* const dumpPaletteFile;
extern const char* const dumpObjectAttributesFile;

// Escape: logs the frame counters and runs the shut-down sequence.
void escapePressed();
// The action of a debug key press (F8-F12, Print Screen); other codes do nothing.
void debugKeyPressed(u8 code);

void logCpuState();
void dumpVideoRam();
void dumpPalette();
void dumpObjectAttributes();
void dumpMemory();
