// Save states: the whole machine (machine/machine_state.h) in a file, written with Shift+F1 to
// Shift+F4 into slots 1-4 beside the ROM ("game.ss1" ... "game.ss4", named as the save files
// are) and loaded with F1 to F4. Both happen between two frames, never inside one; the log
// names each state saved or loaded, and why a state was not.
//
// A state file is a header of seven 32-bit little-endian words, then the machine's records:
//   "QVST", the format version, the ROM's size and CRC-32, the frame number (frames run in the
//   session that saved it), the size of the records and their CRC-32.
// A state of another ROM, of another format version, or one that is short or damaged is
// refused and changes nothing.
#pragma once

#include <string>

#include "common/types.h"

constexpr u32 stateSlots = 4;
constexpr u32 stateFormatVersion = 1;

// The file of slot 1-4: the ROM path with its last three characters replaced by "ss1" to "ss4".
std::string stateSlotFileName(u32 slot);

// Shift+F1-F4 and F1-F4: the slot is saved or loaded once the current frame has ended.
void requestStateSave(u32 slot);
void requestStateLoad(u32 slot);

// For scripted runs (the headless runner): a state written to PATH once frame FRAME has ended,
// and one loaded from PATH before the first frame.
void scheduleStateSave(u32 frame, const std::string& path);
void scheduleStateLoad(const std::string& path);

// At once: true when the state was written or loaded.
bool saveStateFile(const std::string& path);
// Before the machine changes, the save files are written when the game touched its save
// memory; after it, they are written only once the game changes its memory again
// (holdSaveFilesAfterStateLoad).
bool loadStateFile(const std::string& path);
