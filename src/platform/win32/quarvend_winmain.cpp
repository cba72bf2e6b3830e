// Quarvend.exe: the emulator on the Windows host. The whole command line is the ROM path,
// taken verbatim.
#include "platform/step_failure.h"
#include "platform/win32/win32_host.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    appInstance = instance;
    appShowCommand = showCommand;
    nameWindowAfter(commandLine);
    readFailingStep();
    // The frame pacing reads the millisecond clock; ask for its finest resolution.
    timeBeginPeriod(1);
    int exitCode = quarvendMain(commandLine);
    timeEndPeriod(1);
    return exitCode;
}
