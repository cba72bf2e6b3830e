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
