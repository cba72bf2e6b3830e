// The emulator's entry and exit: start-up in its fixed order, the one shut-down sequence and
// the window's message handling.
#pragma once

#include "common/types.h"
#include "platform/host.h"

// Exit codes.
constexpr int exitNormal = 0;
constexpr int exitRomNotOpened = 2;
constexpr int exitInputFailed = 3;
constexpr int exitSoundFailed = 4;
constexpr int exitDisplayFailed = 5;
constexpr int exitWindowFailed = 7;

extern char romPath[256];

// The program: COMMANDLINE is the ROM path, taken verbatim. Returns the exit code.
int quarvendMain(const char* commandLine);

int createMainWindow();
void mainWindowProc(HostMessage message);
void shutdownEmulator();

// Takes one window message (blocking when WAIT is set) and lets the window procedure see it.
HostMessage takeWindowMessage(bool wait);
