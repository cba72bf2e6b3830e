// Runs one of the GBA test programs from roms/ on a freshly reset machine.
//
// The programs report through a result block in internal RAM:
//   0x03000000  0x600D600D once the program has finished
//   0x03000004  number of failed checks
//   0x03000008  case number of the first failed check (0 when none failed)
//   0x03000010  free for program-specific outputs
#pragma once

#include <string>

#include "common/types.h"

constexpr u32 resultBlock = 0x03000000;
constexpr u32 resultFinished = 0x600D600D;

struct ProgramResult {
    bool finished;
    u32 failures;
    u32 firstFailedCase;
    u32 cyclesRun;
};

// Loads NAME from the roms build folder into the game pak (and BOOTIMAGE, when given, as the
// boot image), resets the machine and the CPU, then runs cpuRun in scanline-sized steps until
// the program finishes or maxCycles have passed.
ProgramResult runProgram(const std::string& name, u32 maxCycles = 2000000,
                         const std::string& bootImage = "");

// Loads and resets as runProgram does, without running.
void prepareProgram(const std::string& name, const std::string& bootImage = "");

// Word of the result block at byte offset OFFSET.
u32 resultWord(u32 offset);
