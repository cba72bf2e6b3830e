// What the files of the Windows host share: the window and instance, and the set-up entry
// points of each device group. The emulator core sees none of this; it calls platform/host.h.
#pragma once

// The whole of it, so that the multimedia timer and wave format come along.
#include <windows.h>

#include "common/types.h"
#include "platform/host.h"

// What WinMain received; set before the emulator starts.
extern HINSTANCE appInstance;
extern int appShowCommand;

// The one window; null before windowCreate and after hostCloseWindow.
extern HWND mainWindow;
// The window is an ordinary one (WINDOW=YES, or switched with Alt+Enter), not the full screen.
extern bool mainWindowed;

// Keeps the ROM's file name for the ordinary window's title.
void nameWindowAfter(const char* romPath);
// Gives the window the style, size and title of the mode in mainWindowed.
void styleMainWindow();
// Alt+Enter: from the full screen to an ordinary window or back, the display built again.
void switchWindowMode();
// Paints the last picture into the ordinary window again (WM_PAINT).
void paintWindow(HDC context);

// Set-up steps of each group; each answers as hostSetUp does.
bool setUpWindow();
bool setUpInput(HostStep step);
bool setUpSound(HostStep step);
bool setUpDisplay(HostStep step);

// Releases a COM interface once and forgets it.
template <typename Interface>
void releaseInterface(Interface*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}
