// What the files of the SDL host share: the window, and the set-up and event entry points
// of each device group. The emulator core sees none of this; it calls platform/host.h.
#pragma once

#include <SDL.h>

#include "common/types.h"
#include "platform/host.h"

// The one window; null before windowCreate and after hostCloseWindow.
extern SDL_Window* sdlWindow;

// The window is an ordinary one (WINDOW=YES, or switched with Alt+Enter), not the full screen.
extern bool sdlWindowed;

// Keeps the ROM's file name for the ordinary window's title.
void nameWindowAfter(const char* romPath);

// Alt+Enter: from the full screen to an ordinary window or back.
void switchWindowMode();

// Draws the last picture again into a window that was uncovered or resized.
void redrawWindow();

// Every SDL event passes through here, from whichever host call pumped the queue: window
// events become window messages, key events go to the keyboard buffer.
void pumpSdlEvents();

// A closed terminal or a logout (SIGHUP) ends the program as SIGTERM does: as a request to
// close the window, so that the shut-down writes the saves.
void catchHangUp();

// Brings the window to the front with the keyboard; SDL may have made a new window for the
// renderer, which then needs it again.
void takeKeyboardFocus();

// Set-up steps of each group; each answers as hostSetUp does.
bool setUpWindow();
bool setUpDisplay(HostStep step);
bool setUpJoystick(HostStep step);
bool setUpSound(HostStep step);

void queueKeyEvent(const SDL_KeyboardEvent& key);
void noteRenderDeviceReset();
