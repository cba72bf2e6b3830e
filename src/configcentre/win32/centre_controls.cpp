// Construction of the settings window's controls, with their names (control identifiers) and
// captions, in the frames that hold them. Positions are in pixels of the window's client area.
#include <windows.h>

#include <commctrl.h>

#include "configcentre/win32/centre_window.h"

namespace {

constexpr const char* frameClass = "QuarvendCfgFrame";
constexpr DWORD child = WS_CHILD | WS_VISIBLE;
constexpr DWORD checkStyle = child | WS_TABSTOP | BS_CHECKBOX;
constexpr int labelHeight = 16;
constexpr int checkHeight = 20;
constexpr int boxHeight = 22;

HINSTANCE appInstance;

void rememberControl(HWND made, int id) {
    const int place = id - centreFirstControlId;
    if (place >= 0 && place < centreControlCount * centreArrayLimit) {
        centre.controls[place / centreArrayLimit][place % centreArrayLimit] = made;
    }
}
// The group boxes go below their frame's controls once those exist.
std::vector<HWND> groupBoxes;

HWND makeControl(HWND parent, const char* className, const char* caption, DWORD style, int x, int y,
                 int width, int height, int id, DWORD extendedStyle = 0) {
    HWND made =
        CreateWindowExA(extendedStyle, className, caption, style, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), appInstance, nullptr);
    SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(centre.font), FALSE);
    rememberControl(made, id);
    return made;
}

HWND makeLabel(HWND parent, const char* caption, int x, int y, int width, int id = -1) {
    return makeControl(parent, "STATIC", caption, child | SS_LEFT | SS_NOPREFIX, x, y, width,
                       labelHeight, id);
}

// A column of check boxes from top, step pixels apart; returns the place below the last.
template <std::size_t count>
int makeChecks(HWND page, const std::pair<CentreControl, const char*> (&checks)[count], int top,
               int step) {
    for (const auto& [name, caption] : checks) {
        makeControl(page, "BUTTON", caption, checkStyle, 16, top, 420, checkHeight,
                    controlId(name));
        top += step;
    }
    return top;
}

// A frame: a window that holds controls and passes their notifications to the main window,
// with a group box and its caption when it has one.
HWND makeFrame(HWND parent, CentreControl name, const char* caption, int x, int y, int width,
               int height) {
    HWND frame = CreateWindowExA(
        WS_EX_CONTROLPARENT, frameClass, "", child | WS_CLIPSIBLINGS, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(name))), appInstance, nullptr);
    rememberControl(frame, controlId(name));
    if (caption) {
        groupBoxes.push_back(
            makeControl(frame, "BUTTON", caption, child | BS_GROUPBOX, 0, 0, width, height, -1));
    }
    return frame;
}

LRESULT CALLBACK frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: return SendMessageA(centre.window, message, wParam, lParam);
    default: return DefWindowProcA(frame, message, wParam, lParam);
    }
}

void buildRomList(HWND window) {
    HWND frame = makeFrame(window, ctl_Frame1, "ROM List", 8, 8, 272, 516);
    HWND path = makeControl(frame, "EDIT", "", child | WS_TABSTOP | ES_AUTOHSCROLL, 12, 22, 180,
                            boxHeight, controlId(ctl_Txt_Path), WS_EX_CLIENTEDGE);
    makePathField(path);
    makeControl(frame, "BUTTON", "Browse...", child | WS_TABSTOP | BS_PUSHBUTTON, 196, 21, 64, 24,
                controlId(ctl_Cmd_Browse));
    makeControl(frame, "COMBOBOX", "", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 12, 52,
                248, 200, controlId(ctl_Drive1));
    const DWORD list = child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    makeControl(frame, "LISTBOX", "", list, 12, 82, 248, 164, controlId(ctl_Dir1),
                WS_EX_CLIENTEDGE);
    makeControl(frame, "LISTBOX", "", list, 12, 252, 248, 176, controlId(ctl_File1),
                WS_EX_CLIENTEDGE);
    const DWORD autoCheck = child | WS_TABSTOP | BS_AUTOCHECKBOX;
    HWND listBin = makeControl(frame, "BUTTON", "List .BIN files", autoCheck, 12, 434, 240,
                               checkHeight, controlId(ctl_Check_ListBIN));
    HWND listGba = makeControl(frame, "BUTTON", "List .GBA files", autoCheck, 12, 454, 240,
                               checkHeight, controlId(ctl_Check_ListGBA));
    SendMessageA(listBin, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(listGba, BM_SETCHECK, BST_CHECKED, 0);
    makeControl(frame, "BUTTON", "Start Quarvend!", child | WS_TABSTOP | BS_PUSHBUTTON, 12, 478,
                248, 28, controlId(ctl_Command1));
}

void buildRomInfo(HWND window) {
    HWND frame = makeFrame(window, ctl_Frame2, "ROM Infomation", 288, 8, 496, 128);
    const std::pair<const char*, CentreControl> rows[] = {
        {"Cart Name:", ctl_Lab_CartName},        {"ROM Size:", ctl_Lab_ROMSize},
        {"GameCode:", ctl_Lab_GameCode},         {"MakerCode:", ctl_Lab_MakerCode},
        {"MainUnitCode:", ctl_Lab_MainUnitCode}, {"DeviceType:", ctl_Lab_DeviceType},
        {"GameVersion:", ctl_Lab_GameVersion},
    };
    int row = 0;
    for (const auto& [caption, value] : rows) {
        const int x = row < 4 ? 12 : 252;
        const int y = 24 + 24 * (row % 4);
        makeLabel(frame, caption, x, y, 88);
        makeLabel(frame, "", x + 92, y, 140, controlId(value));
        ++row;
    }
    // Hidden until a ROM is chosen.
    ShowWindow(frame, SW_HIDE);
}

HWND makePage(HWND parent, CentreControl name, const RECT& place) {
    return makeFrame(parent, name, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top);
}

void buildGeneralTab(HWND page) {
    makeLabel(page, "Optimization/Speed up option", 8, 8, 400, controlId(ctl_Label31));
    const std::pair<CentreControl, const char*> checks[] = {
        {ctl_Chk_DisableWSCNT, "ROM WaitState Setting Fixed to 4/2 (FASTER!)"},
        {ctl_Chk_DisableColorSF, "Disable All Color Special Effects"},
        {ctl_Chk_DisableFIFO, "Disable GBA DirectSound FIFO Transfer"},
        {ctl_Chk_EnableSound, "Enable Sound Emulation"},
        {ctl_Chk_BootFromBIOS, "Boot from BIOS"},
        {ctl_Chk_DetectSave, "Force Auto Detect Catridge Save Method"},
    };
    const int y = makeChecks(page, checks, 30, 24);
    makeLabel(page, "Save Method Identified As:", 8, y + 8, 150, controlId(ctl_Label32));
    makeLabel(page, "", 162, y + 8, 220, controlId(ctl_Label_SaveMethod));
}

void buildOptionColumn(HWND page, int x, const char* caption, CentreControl name,
                       const std::vector<const char*>& captions) {
    makeLabel(page, caption, x, 8, 140);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        // Each option array is its own group for the arrow keys.
        const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
        makeControl(page, "BUTTON", captions[i], child | first | BS_RADIOBUTTON, x + 8,
                    28 + 22 * static_cast<int>(i), 132, checkHeight,
                    controlId(name, static_cast<int>(i)));
    }
}

void buildVideoTab(HWND page) {
    buildOptionColumn(page, 8, "Resolution:", ctl_Opt_Res, {"640X480", "800X600", "1024X768"});
    buildOptionColumn(page, 158, "Screen Size:", ctl_Opt_Zoom, {"No Zooming", "2X", "3X", "4X"});
    buildOptionColumn(page, 308, "Always Skip:", ctl_Opt_FrameSkip,
                      {"Draw every frame", "Frame Skip 1", "Frame Skip 2", "Frame Skip 3"});
    const std::pair<CentreControl, const char*> checks[] = {
        {ctl_Chk_AutoFrameSkip, "Enable AutoFrame Skipping"},
        {ctl_Chk_HalfSpeed, "Run in 1/2 speed"},
        {ctl_Chk_RealGBA, "Enable Real GBA Mode(3X and Above)"},
        {ctl_Chk_Window, "Play in a window"},
        {ctl_Chk_IntegerScale, "Whole-number scaling only"},
    };
    makeChecks(page, checks, 124, 22);
}

// A key or joystick box with its button's caption, in two columns.
void buildCaptureBox(HWND page, CentreControl name, int index, const char* button, int top) {
    const int x = 16 + 210 * (index % 2);
    const int y = top + 26 * (index / 2);
    makeLabel(page, (std::string(button) + ":").c_str(), x, y + 3, 48);
    HWND box = makeControl(page, "EDIT", "", child | WS_TABSTOP | ES_AUTOHSCROLL, x + 50, y, 120,
                           boxHeight, controlId(name, index), WS_EX_CLIENTEDGE);
    makeCaptureBox(box);
}

void buildControllerTab(HWND page) {
    makeLabel(page, "GameBoy Build-in Controller:", 8, 10, 160);
    makeControl(page, "BUTTON", "Keyboard", child | WS_GROUP | WS_TABSTOP | BS_RADIOBUTTON, 172, 8,
                84, checkHeight, controlId(ctl_Opt_Controller1, 0));
    makeControl(page, "BUTTON", "GamePad", child | BS_RADIOBUTTON, 262, 8, 84, checkHeight,
                controlId(ctl_Opt_Controller1, 1));
    makeLabel(page, "Keyboard Setting:", 8, 40, 200);
    for (int i = 0; i < centreKeyCount; ++i) {
        buildCaptureBox(page, ctl_Txt_Inkey, i, centreButtonNames[i], 62);
    }
    makeLabel(page, "GamePad Setting:", 8, 200, 200);
    for (int i = 0; i < centreJoyCount; ++i) {
        buildCaptureBox(page, ctl_Txt_Joy, i,
                        centreButtonNames[centreKeyCount - centreJoyCount + i], 220);
    }
}

void buildSettings(HWND window) {
    HWND frame = makeFrame(window, ctl_Frame3, "Emulator Setting", 288, 142, 496, 382);
    HWND tabs = makeControl(frame, WC_TABCONTROLA, "", child | WS_CLIPSIBLINGS | WS_TABSTOP, 12, 22,
                            472, 348, controlId(ctl_TabStrip1));
    const char* captions[] = {"General", "Video", "Controller"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(captions[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    // The three frames share the tab control's display area.
    RECT place;
    GetWindowRect(tabs, &place);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&place), 2);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&place));
    const CentreControl names[] = {ctl_Frame_General, ctl_Frame_Video, ctl_Frame_Controller};
    for (int i = 0; i < 3; ++i) {
        centre.pages[i] = makePage(frame, names[i], place);
        SetWindowPos(centre.pages[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    buildGeneralTab(centre.pages[0]);
    buildVideoTab(centre.pages[1]);
    buildControllerTab(centre.pages[2]);
    ShowWindow(centre.pages[1], SW_HIDE);
    ShowWindow(centre.pages[2], SW_HIDE);
}

void addToolTips(HWND window) {
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                nullptr, appInstance, nullptr);
    const std::pair<CentreControl, const char*> tipTexts[] = {
        {ctl_Chk_DisableColorSF, "Fast/Wrong Graphic"},
        {ctl_Chk_DisableFIFO, "Fast/PCM Channel silenced/Some Game may corrupt"},
        {ctl_Chk_EnableSound, "Enable AutoFrameSkip to have clear sound"},
    };
    for (const auto& [name, text] : tipTexts) {
        TOOLINFOA tool{};
        // The size that every version of the common controls accepts.
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control(name));
        tool.lpszText = const_cast<char*>(text);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

} // namespace

bool registerFrameClass(HINSTANCE instance) {
    WNDCLASSA frame{};
    frame.lpfnWndProc = frameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    frame.hbrBackground = centre.brushes.grey;
    frame.lpszClassName = frameClass;
    return RegisterClassA(&frame) != 0;
}

void buildControls(HINSTANCE instance) {
    appInstance = instance;
    buildRomList(centre.window);
    buildRomInfo(centre.window);
    buildSettings(centre.window);
    for (HWND box : groupBoxes) {
        SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    makeControl(centre.window, STATUSCLASSNAMEA, "", child, 0, 0, 0, 0, controlId(ctl_StatusBar));
    addToolTips(centre.window);
}

void fillDrives() {
    HWND drives = control(ctl_Drive1);
    char names[512] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof names - 1, names);
    for (const char* name = names; length > 0 && length < sizeof names && *name;
         name += lstrlenA(name) + 1) {
        SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
}
