// Starting a program on Windows: CreateProcess with the program's full name and a command line
// of its quoted name and the arguments as they stand, so that the emulator, which takes its
// whole command line after the program name as the ROM path, gets the path spaces and all.
#include "configcentre/core/program_start.h"

#include <windows.h>

#include <algorithm>

namespace {

struct RunningProgram {
    long id;
    HANDLE process;
};

// Programs started and not yet seen to end, with the handles that tell their exit codes. A
// program no one looks at any more is let go once it has ended.
std::vector<RunningProgram> runningPrograms;

void letGoOfEnded() {
    auto ended = [](const RunningProgram& program) {
        if (WaitForSingleObject(program.process, 0) != WAIT_OBJECT_0) {
            return false;
        }
        CloseHandle(program.process);
        return true;
    };
    runningPrograms.erase(std::remove_if(runningPrograms.begin(), runningPrograms.end(), ended),
                          runningPrograms.end());
}

std::string systemMessage(DWORD error) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' ' || text[length - 1] == '.')) {
        --length;
    }
    return length > 0 ? std::string(text, length) : "error " + std::to_string(error);
}

// The program's name as CreateProcess needs it: with ".exe" when it names none, as the shell
// adds it.
std::string executableName(const std::string& program) {
    const std::size_t name = program.find_last_of("\\/:");
    const std::size_t dot = program.find('.', name == std::string::npos ? 0 : name + 1);
    return dot == std::string::npos ? program + ".exe" : program;
}

} // namespace

bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                  StartedProgram& started, std::string& error) {
    letGoOfEnded();
    const std::string executable = executableName(program);
    std::string commandLine = "\"" + executable + "\"";
    for (const std::string& argument : arguments) {
        commandLine += " " + argument;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        error = systemMessage(GetLastError());
        return false;
    }
    CloseHandle(process.hThread);
    started.id = static_cast<long>(process.dwProcessId);
    started.end = {};
    runningPrograms.push_back({started.id, process.hProcess});
    return true;
}

ProgramEnd checkProgram(StartedProgram& started) {
    ProgramEnd& end = started.end;
    if (started.id <= 0 || end.ended) {
        return end;
    }
    auto running =
        std::find_if(runningPrograms.begin(), runningPrograms.end(),
                     [&](const RunningProgram& program) { return program.id == started.id; });
    if (running == runningPrograms.end()) {
        // Let go of already: it has ended, with a code no longer known.
        end.ended = true;
        return end;
    }
    if (WaitForSingleObject(running->process, 0) != WAIT_OBJECT_0) {
        return end;
    }
    DWORD code = 0;
    GetExitCodeProcess(running->process, &code);
    CloseHandle(running->process);
    runningPrograms.erase(running);
    end.ended = true;
    end.code = static_cast<int>(code);
    return end;
}
