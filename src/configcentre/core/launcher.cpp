#include "configcentre/core/launcher.h"

#include <cstdio>

#include "configcentre/core/file_access.h"

namespace {

constexpr std::size_t logTailBytes = 4096;
constexpr std::size_t logTailLines = 8;

struct ExitMeaning {
    int code;
    const char* text;
};
// The emulator's exit codes (shell/startup.h).
constexpr ExitMeaning exitMeanings[] = {
    {2, "the ROM file could not be opened"},
    {3, "the keyboard or joystick could not be set up (with GamePad input: no joystick found)"},
    {4, "the sound output could not be set up"},
    {5, "the display could not be set up"},
    {7, "the window could not be created"},
};

std::string meaningOf(int code) {
    for (const ExitMeaning& meaning : exitMeanings) {
        if (meaning.code == code) {
            return meaning.text;
        }
    }
    return "an unexpected failure";
}

std::string endOfLog() {
    const FileText log = readRegularFile(emulatorLogName, logTailBytes, true);
    std::vector<std::string_view> lines;
    std::string_view text = log.bytes;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    std::string tail;
    std::size_t first = lines.size() > logTailLines ? lines.size() - logTailLines : 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        tail += std::string(lines[i]) + "\n";
    }
    return tail;
}

} // namespace

EmulatorLaunch launchEmulator(const CentreForm& form, const std::string& emulatorFolder) {
    EmulatorLaunch launch;
    std::FILE* rom = nullptr;
    std::string error;
    if (openRegularFile(form.romPath, rom, error) != FileState::open) {
        launch.message =
            "The ROM " + form.romPath + " cannot be read (" + error + "): Quarvend was not started";
        return launch;
    }
    std::fclose(rom);
    const std::string program = joinPath(emulatorFolder, emulatorProgramName);
    if (!startProgram(program, {form.romPath}, launch.program, error)) {
        launch.message = program + " could not be started (" + error + ")";
        return launch;
    }
    launch.started = true;
    return launch;
}

EmulatorLaunch startEmulator(const CentreForm& form, const std::string& emulatorFolder) {
    if (form.noRomSelected) {
        return {};
    }
    EmulatorLaunch launch;
    launch.message = writeConfig(form);
    return launch.message.empty() ? launchEmulator(form, emulatorFolder) : launch;
}

EmulatorWatch watchEmulator(StartedProgram& program, long elapsedMilliseconds) {
    const ProgramEnd end = checkProgram(program);
    return {end.ended || elapsedMilliseconds >= launchWatchMilliseconds, emulatorEndMessage(end)};
}

std::string emulatorEndMessage(const ProgramEnd& end) {
    if (!end.ended || (!end.bySignal && end.code == 0)) {
        return {};
    }
    std::string text = end.bySignal ? "Quarvend was ended by signal " + std::to_string(end.code)
                                    : "Quarvend ended at once with exit code " +
                                          std::to_string(end.code) + ": " + meaningOf(end.code);
    text += ".";
    const std::string tail = endOfLog();
    if (!tail.empty()) {
        text += std::string("\n\nThe end of ") + emulatorLogName + ":\n" + tail;
    }
    return text;
}
