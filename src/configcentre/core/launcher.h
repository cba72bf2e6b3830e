// The start of the emulator from the settings window, and what the user is told when it ends
// at once.
#pragma once

#include <string>

#include "configcentre/core/centre_form.h"
#include "configcentre/core/program_start.h"

inline constexpr const char* emulatorProgramName = "Quarvend";
inline constexpr const char* emulatorLogName = "DBUG.txt";
// How long the started emulator is watched for an early end.
inline constexpr int launchWatchMilliseconds = 2000;

struct EmulatorLaunch {
    bool started = false;
    std::string message; // why it was not started
    StartedProgram program;
};

// launchEmulator: starts emulatorFolder's "Quarvend" in the current directory, where the
// settings were just written, with the chosen ROM's path (spaces and all) as its one argument.
// A ROM that cannot be read is reported instead.
EmulatorLaunch launchEmulator(const CentreForm& form, const std::string& emulatorFolder);

// Command1_Click: nothing (not started, no message) while no ROM is chosen; else writeConfig,
// then launchEmulator. Settings that cannot be written stop the start with their message, as
// the emulator would read the old ones.
EmulatorLaunch startEmulator(const CentreForm& form, const std::string& emulatorFolder);

// One look at the started emulator, elapsedMilliseconds after its start: the watch is over
// when it has ended or launchWatchMilliseconds have passed, and message says what to show.
struct EmulatorWatch {
    bool over = false;
    std::string message;
};
EmulatorWatch watchEmulator(StartedProgram& program, long elapsedMilliseconds);

// For an emulator that ended while it was watched: what its exit code means and the last lines
// of its log. Empty for a normal end.
std::string emulatorEndMessage(const ProgramEnd& end);
