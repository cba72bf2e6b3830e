// Starting a program without waiting for it, and looking, without blocking, whether it has
// ended. The settings program starts the emulator through these; program_start_posix.cpp
// holds them for Linux, and a Windows view brings its own.
#pragma once

#include <string>
#include <vector>

struct ProgramEnd {
    bool ended = false;
    bool bySignal = false;
    int code = 0; // the exit code, or the signal that ended it
};

struct StartedProgram {
    long id = -1; // the process id
    ProgramEnd end;
};

// Starts program with the arguments in the current directory, in a session of its own so it
// outlives the settings program. False with the reason when it could not be started.
bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                  StartedProgram& started, std::string& error);

// Whether the program has ended, and how. Once it has, later calls say so again.
ProgramEnd checkProgram(StartedProgram& started);
