// QuarvendCfg.exe: the settings program for Windows. Reads and writes "Quarvend.CFG" in the
// current directory and starts Quarvend.exe from its own folder on the chosen ROM.
#include <windows.h>

#include "configcentre/win32/centre_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!openCentreWindow(instance, showCommand)) {
        MessageBoxA(nullptr, "The settings window could not be created.", centreWindowTitle,
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move between the controls, as in a dialog.
        if (IsDialogMessageA(centre.window, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
