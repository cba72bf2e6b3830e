#include "shell/startup.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "cart/rom_loader.h"
#include "cart/save_files.h"
#include "cart/save_memory.h"
#include "common/log.h"
#include "common/run_state.h"
#include "common/settings.h"
#include "cpu/cpu_state.h"
#include "input/input.h"
#include "machine/frame.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/wait_states.h"
#include "shell/config_file.h"
#include "shell/main_loop.h"
#include "sound/sound_output.h"
#include "video/color_effects.h"
#include "video/display_output.h"
#include "video/frame_driver.h"
#include "video/line_buffers.h"
#include "video/sprites.h"

char romPath[256];

namespace {

u32 displayReady;   // the display set-up has completed at least once
u32 saveFilesReady; // the save memories were read, so writing them back loses nothing
u32 shutDown;       // the shut-down sequence has run

// Copies the command line; false when it cannot be a ROM path (shorter than 3 characters,
// which the save names need, or too long for the path buffer).
bool takeCommandLine(const char* commandLine) {
    size_t length = commandLine ? std::strlen(commandLine) : 0;
    std::memset(romPath, 0, sizeof romPath);
    if (length < 3 || length >= sizeof romPath) {
        return false;
    }
    std::memcpy(romPath, commandLine, length);
    return true;
}

std::string romNotOpenedText(const char* commandLine) {
    return std::string("Cannot open ROM file: ") + (commandLine ? commandLine : "");
}

void logCommandLineRefused(const char* commandLine) {
    size_t length = commandLine ? std::strlen(commandLine) : 0;
    debugLog(length < 3 ? "\nCommand line too short for a ROM path (fewer than 3 characters)"
                        : "\nCommand line too long for a ROM path (more than 255 characters)");
}

void resetRunState() {
    runState.emulationRunning = 0;
    runState.windowActive = 0;
    runState.framesRendered = 0;
    runState.framesSkipped = 0;
    runState.clearAtFrame = 0;
    runState.fastForward = 0;
    runState.paused = 0;
    displayReady = 0;
    saveFilesReady = 0;
    shutDown = 0;
}

void clearSaveMemories() {
    std::memset(gba.SaveRam, 0, sizeof gba.SaveRam);
    std::memset(gba.FlashMemory, 0, sizeof gba.FlashMemory);
    std::memset(gba.EepromData, 0, sizeof gba.EepromData);
    gba.saveChip.saveType = SaveType::undetermined;
    gba.saveChip.biosSaveRedirect = 0;
    gba.saveTouched = 0;
    gba.savesChanged = 0;
    resetSaveMemoryState();
}

void bootFromBios() {
    startAtResetVector();
    ioRegister(io::POSTFLG) = 0; // a plain store: no halt
}

// The log's length before a set-up group, so that a failure can show the lines it wrote.
std::uintmax_t logLength() {
    std::error_code error;
    std::uintmax_t length = std::filesystem::file_size(logFileName, error);
    return error ? 0 : length;
}

// What the log got from MARK on, without the blank lines around it; empty when the log could
// not be written.
std::string logTextSince(std::uintmax_t mark) {
    std::ifstream log(logFileName, std::ios::binary);
    log.seekg(static_cast<std::streamoff>(mark));
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    size_t first = text.find_first_not_of("\r\n ");
    size_t last = text.find_last_not_of("\r\n ");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// A failed set-up ends the program with its exit code, after the shut-down sequence and a
// message box that shows the player the lines the failing group logged: started from the
// settings program, Quarvend has no terminal to say it in. The joystick's own message box
// ("Joystick not found!") has told the player already.
int failStartUp(int exitCode, std::uintmax_t logMark, const char* fallbackText) {
    std::string text = logTextSince(logMark);
    shutdownEmulator();
    if (text.find("Fail to initialize joystick") == std::string::npos) {
        hostShowMessageBox("Quarvend Message", text.empty() ? fallbackText : text.c_str());
    }
    return exitCode;
}

} // namespace

int createMainWindow() {
    if (!hostSetUp(HostStep::windowCreate)) {
        return 0;
    }
    return 1;
}

void mainWindowProc(HostMessage message) {
    switch (message) {
    case hostMessageActivate:
        runState.windowActive = 1;
        if (displayReady && runState.framesRendered > 2) {
            // The display was lost while inactive: build it again and clear it 30 frames on.
            initDisplay();
            runState.clearAtFrame = runState.framesRendered;
        }
        break;
    case hostMessageDeactivate:
        runState.windowActive = 0;
        if (displayReady) {
            hostRestoreDesktopMode();
        }
        break;
    case hostMessageClose:
        if (runState.emulationRunning) {
            shutdownEmulator();
        }
        break;
    case hostMessageNone: break;
    }
}

HostMessage takeWindowMessage(bool wait) {
    HostMessage message = hostTakeMessage(wait);
    mainWindowProc(message);
    return message;
}

void shutdownEmulator() {
    if (shutDown) {
        return;
    }
    shutDown = 1;
    releaseLineBuffers();
    std::string saveFailures = saveFilesReady ? writeSaveFiles() : std::string();
    releaseDisplay();
    displayReady = 0;
    debugLog("\nDirectDraw Uninitialized");
    hostCloseInput();
    shutdownSound();
    // The player has to know that the progress of this run is lost: the log alone is not seen.
    // Shown once the picture and the sound have stopped, while the window is still there.
    if (!saveFailures.empty()) {
        hostShowMessageBox("Quarvend Message", saveFailures.c_str());
    }
    writeLogRepeats();
    debugLog("\n");
    debugLogInt(static_cast<s32>(runState.framesRendered));
    debugLog(" frames rendered\n");
    debugLogInt(static_cast<s32>(runState.framesSkipped));
    debugLog(" frames skipped\n");
    debugLog("\nQuitting...");
    runState.emulationRunning = 0;
    hostCloseWindow();
}

int quarvendMain(const char* commandLine) {
    resetRunState();
    bool pathUsable = takeCommandLine(commandLine);
    setSaveFileNames(romPath);
    resetLog();

    bool romLoaded = pathUsable && loadRom(romPath);
    if (!romLoaded) {
        debugLog(("\n" + romNotOpenedText(commandLine)).c_str());
        if (!pathUsable) {
            logCommandLineRefused(commandLine);
        }
        romSize = 0;
        shutdownEmulator(); // the save memories are not read yet: no save file is written
    }
    clearSaveMemories();
    loadFlash();
    loadSram();
    loadEeprom();
    readConfigFile();
    loadBios();
    if (!romLoaded) {
        hostShowMessageBox("Quarvend Message", romNotOpenedText(commandLine).c_str());
        return exitRomNotOpened;
    }
    saveFilesReady = 1;

    std::uintmax_t logMark = logLength();
    if (!createMainWindow()) {
        debugLog("\nFail to create window");
        return failStartUp(exitWindowFailed, logMark, "Fail to create window");
    }
    debugLog("\nWin32 application established\n");
    logMark = logLength();
    if (!initDirectInput()) {
        return failStartUp(exitInputFailed, logMark, "The input devices cannot be set up");
    }
    logMark = logLength();
    if (!initSound()) {
        return failStartUp(exitSoundFailed, logMark, "The sound output cannot be set up");
    }
    logMark = logLength();
    if (!initDisplay()) {
        return failStartUp(exitDisplayFailed, logMark, "The display cannot be set up");
    }
    displayReady = 1;
    debugLog("All DirectX components initialized successfully\n");
    takeWindowMessage(true);

    installMemoryHandlers();
    initWaitStates();
    initSpriteSizes();
    buildEffectTables();
    resetMachine();
    initIoMasks();
    debugLog("GameBoy Advance system structure established\n");
    if (hostRaisePriority()) {
        debugLog("Priority set\n");
    }
    if (settings.bootFromBios) {
        bootFromBios();
    }
    betweenFrames(); // a state to start from
    emulationLoop();
    return exitNormal;
}
