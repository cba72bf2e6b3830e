// Quarvend: the emulator on the SDL host. The arguments, joined by single spaces, are the
// command line the emulator takes as the ROM path, so an unquoted path with spaces works too.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <string>

#include "platform/sdl/sdl_host.h"
#include "platform/step_failure.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    SDL_SetMainReady();
    catchHangUp();
    nameWindowAfter(commandLine.c_str());
    readFailingStep();
    int exitCode = quarvendMain(commandLine.c_str());
    SDL_Quit();
    return exitCode;
}
