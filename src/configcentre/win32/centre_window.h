// The settings program's one window on plain Win32 controls: the ROM browser with the cartridge
// header panel, the three tabs of emulator settings and the start button. The window draws a
// CentreForm (core/centre_form.h) and hands every event to the core's procedures, which hold
// the rules; centre_controls.cpp builds the controls, capture_boxes.cpp reads the key and
// joystick boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "configcentre/core/centre_form.h"
#include "configcentre/core/program_start.h"
#include "configcentre/core/rom_browser.h"
#include "configcentre/win32/control_names.h"

// The window's colours: the light grey of the window and of the key boxes, white while a box
// captures.
struct CentreBrushes {
    HBRUSH grey = nullptr;
    HBRUSH white = nullptr;
};

struct CentreWindow {
    HWND window = nullptr;
    HFONT font = nullptr;
    CentreBrushes brushes;
    // Every named control (frames included) by name and index, and the tab pages in tab order.
    HWND controls[centreControlCount][centreArrayLimit] = {};
    HWND pages[3] = {};

    CentreForm form;
    SaveMethodTable saveMethods;
    RomBrowser browser;
    // Dir1's folders, by list index.
    std::vector<std::string> dirPaths;
    std::string emulatorFolder;

    StartedProgram emulator;
    DWORD emulatorStarted = 0;
};

extern CentreWindow centre;

// Registers the window classes, builds the window and loads it (Form_Load): reads
// "Quarvend.CFG" (writing the first-start file when there is none) and "RIDIravu.DAT" from the
// current directory, and shows the folder and ROM of the last run, else the current directory.
bool openCentreWindow(HINSTANCE instance, int showCommand);

// The control of a name (and index, for a control array).
HWND control(CentreControl name, int index = 0);

// centre_controls.cpp: the class of the frames that hold controls, and every control, with its
// name and caption, in its frame.
bool registerFrameClass(HINSTANCE instance);
void buildControls(HINSTANCE instance);
// Fills the drive list with the system's drives.
void fillDrives();

// Draws the form into the controls.
void showForm();
void showEventStatus(const std::string& message);
// A message box over the window; texts in UTF-8.
void showMessage(const std::string& title, const std::string& text);

// Txt_Inkey_GotFocus, Txt_Joy_GotFocus and their LostFocus, for focus moves inside the window.
void captureBoxFocus(CentreControl name, int index, bool gained);

// capture_boxes.cpp: the key and joystick boxes' own handling of keys and focus.
void makeCaptureBox(HWND box);
void makePathField(HWND field);
// Txt_Joy_GotFocus after the focus has moved: the first joystick reading, and the polling.
void startJoystickCapture(int index);
void pollJoystick();
void stopJoystickCapture();

// Messages the window posts to itself.
inline constexpr UINT msgGoToTypedPath = WM_APP + 1;
inline constexpr UINT msgStartJoystickCapture = WM_APP + 2;
inline constexpr UINT_PTR joystickTimer = 1;
inline constexpr UINT_PTR emulatorTimer = 2;
