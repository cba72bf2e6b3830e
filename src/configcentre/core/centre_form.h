// The settings window as plain data, and the procedures behind its events. A view draws a
// CentreForm into its controls and calls these procedures when the user acts, so every rule
// of the window (resolution and zoom, real display, half speed, the save method shown, key
// capture, the files it reads and writes) is written here once for every view.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "configcentre/core/config_text.h"
#include "configcentre/core/save_method_list.h"

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The window's light grey, also the key boxes' colour while they are not capturing.
inline constexpr Rgb centreGrey = {192, 192, 192};
inline constexpr Rgb captureWhite = {255, 255, 255};

// The GBA buttons of the key boxes, in their order.
inline constexpr const char* centreButtonNames[centreKeyCount] = {
    "Up", "Down", "Left", "Right", "A", "B", "Select", "Start", "L", "R"};

// The texts of the "ROM Infomation" panel's value labels.
struct RomFields {
    std::string cartName;
    std::string romSize;
    std::string gameCode;
    std::string makerCode;
    std::string mainUnitCode;
    std::string deviceType;
    std::string gameVersion;
};

// The status line. A message about the files read at start stays until another one comes; a
// message about the user's last action (a ROM, a folder, a key) goes with the next action of
// that kind that succeeds.
struct StatusLine {
    std::string text;
    bool aboutEvent = false;
};

void showStatus(StatusLine& line, const std::string& message);
void showEventStatus(StatusLine& line, const std::string& message);

struct CentreForm {
    // The option groups, check boxes, key codes and joystick buttons as shown.
    CentreSettings settings;
    bool zoomEnabled[centreZoomCount] = {true, true, true, true};
    bool halfSpeedEnabled = true;
    bool realGbaEnabled = true;
    // "Force Auto Detect Catridge Save Method", and Label_SaveMethod: -1 empty, else the method
    // 0..3, found in the save-method list or (methodDetected) by the save library's marker.
    bool detectSave = true;
    bool detectSaveEnabled = true;
    int shownMethod = -1;
    bool methodDetected = false;
    // The chosen ROM: start does nothing while noRomSelected is set.
    bool noRomSelected = true;
    bool romInfoShown = false;
    RomFields rom;
    std::string romPath;
    // The Controller tab's boxes: the key box and the joystick box drawn white for capturing
    // (-1 for none), whether the key released was pressed while its box had the focus, and the
    // joystick box that waits for a button.
    int keyBoxCapturing = -1;
    bool keyPressSeen = false;
    int joyBoxCapturing = -1;
    int joyBoxWaiting = -1;
    StatusLine status;
};

// Form_Load's reading of "Quarvend.CFG" from the current directory. A missing file, or one that
// is not a regular file, counts as missing: the first-start file is written (a file that is not
// a regular file is left alone) and shown. Then the half-speed rule. Returns the status-line
// message, empty when all went well.
std::string readConfig(CentreForm& form);

// Form_Load's files: readConfig, then the save-method list into methods. Returns the
// status-line message of both, empty when all went well.
std::string loadForm(CentreForm& form, SaveMethodTable& methods);

// Applies the file's lines in order, each as the click on its control it stands for, so the
// rules follow. A group without a line then shows what the emulator takes for it (640X480,
// no zoom, every frame drawn, keyboard input). Returns the lines ignored as out of range.
std::vector<std::string> applyConfigText(CentreForm& form, std::string_view text);

// The file as the form stands, and writeConfig, which replaces "Quarvend.CFG" with it. Returns
// an empty text on success, else the status-line message; the old file then stays.
std::string formConfigText(const CentreForm& form);
std::string writeConfig(const CentreForm& form);

// Reads "RIDIravu.DAT" from the current directory into table. Returns the status-line message
// when it could not be used (the table is then empty, so every method is unknown).
std::string readSaveMethodList(SaveMethodTable& table);

// Opt_Res_Click: the largest zoom a resolution shows is 2X at 640X480, 3X at 800X600 and 4X
// at 1024X768; a larger zoom selected becomes that one (a click, so the real-display rule
// follows).
void selectResolution(CentreForm& form, int index);
// Opt_Zoom_Click: the real display needs 3X or 4X.
void selectZoom(CentreForm& form, int index);
void selectFrameSkip(CentreForm& form, int index);
// Chk_AutoFrameSkip_Click, with the half-speed rule: half speed needs automatic skipping.
void setAutoFrameSkip(CentreForm& form, bool on);
void applyHalfSpeedRule(CentreForm& form);

// File1_Click: reads the ROM's header, shows it and the save method. Returns the status-line
// message ("Not a GBA ROM", an unreadable file), empty for a good ROM.
std::string chooseRom(CentreForm& form, const SaveMethodTable& methods, const std::string& path);
// A change of folder: the previous ROM's details go, and start waits for a new choice.
void leaveRom(CentreForm& form);

// Label_SaveMethod's text and colour.
std::string saveMethodText(const CentreForm& form);
Rgb saveMethodColour(const CentreForm& form);

// Txt_Inkey_GotFocus and _LostFocus: the box with the focus is white and takes keys.
void focusKeyBox(CentreForm& form, int index);
void leaveKeyBox(CentreForm& form, int index);
// Txt_Inkey_KeyDown (the view clears the box's text).
void pressKeyInBox(CentreForm& form);
// Txt_Inkey_KeyUp: the key, when it was pressed in the box (not the Tab that moved the focus
// there), goes to takeKey. Returns the status-line message.
std::string releaseKeyInBox(CentreForm& form, int index, std::uint16_t virtualKey, bool keypad);
// A key the emulator reads becomes the button's key; any other key is refused and the button
// keeps its key. Returns the status-line message of a refused key.
std::string takeKey(CentreForm& form, int index, std::uint16_t virtualKey, bool keypad);
std::string keyBoxText(const CentreForm& form, int index);
Rgb keyBoxColour(const CentreForm& form, int index);

// Txt_Joy_GotFocus (before the capture of joystick_capture.h starts) and _LostFocus: the box is
// white while it has the focus and has not taken a button; a box left keeps waiting.
void focusJoyBox(CentreForm& form, int index);
void leaveJoyBox(CentreForm& form, int index);
// The box's text: empty while it waits for a button.
std::string joyBoxText(const CentreForm& form, int index);
Rgb joyBoxColour(const CentreForm& form, int index);
