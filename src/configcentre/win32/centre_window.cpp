// The settings window's events; centre_controls.cpp builds its controls.
#include "configcentre/win32/centre_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include "configcentre/core/file_access.h"
#include "configcentre/core/launcher.h"
#include "configcentre/win32/remembered_choice.h"

CentreWindow centre;

namespace {

constexpr int clientWidth = 792;
constexpr int framesHeight = 532;
constexpr UINT emulatorPollMilliseconds = 50;

COLORREF colourOf(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

std::wstring wideText(const std::string& text, UINT codePage) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return wide;
}

// The core's texts hold the system's 8-bit paths.
void showSystemTextMessage(const std::string& text) {
    MessageBoxW(centre.window, wideText(text, CP_ACP).c_str(),
                wideText(centreWindowTitle, CP_ACP).c_str(), MB_OK);
}

std::string controlText(HWND control) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setText(HWND control, const std::string& text) {
    // Setting the same text again would make the control flicker.
    if (controlText(control) != text) {
        SetWindowTextA(control, text.c_str());
    }
}

void setCheck(HWND button, bool on) {
    SendMessageA(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool isChecked(CentreControl name) {
    return SendMessageA(control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void showOption(CentreControl name, int count, int selected, const bool* enabled = nullptr) {
    for (int i = 0; i < count; ++i) {
        setCheck(control(name, i), i == selected);
        if (enabled) {
            EnableWindow(control(name, i), enabled[i]);
        }
    }
}

// The check boxes that stand for one switch of the file each.
struct Switch {
    CentreControl name;
    bool CentreSettings::*setting;
};
constexpr Switch switches[] = {
    {ctl_Chk_DisableWSCNT, &CentreSettings::disableWscnt},
    {ctl_Chk_DisableColorSF, &CentreSettings::disableAlpha},
    {ctl_Chk_DisableFIFO, &CentreSettings::disableFifo},
    {ctl_Chk_EnableSound, &CentreSettings::enableSound},
    {ctl_Chk_BootFromBIOS, &CentreSettings::bootFromBios},
    {ctl_Chk_HalfSpeed, &CentreSettings::halfSpeed},
    {ctl_Chk_RealGBA, &CentreSettings::realGba},
    {ctl_Chk_Window, &CentreSettings::window},
    {ctl_Chk_IntegerScale, &CentreSettings::integerScale},
};

void showStatusLine() {
    SendMessageA(control(ctl_StatusBar), SB_SETTEXTA, 0,
                 reinterpret_cast<LPARAM>(centre.form.status.text.c_str()));
}

void showStatus(const std::string& message) {
    showStatus(centre.form.status, message);
    showStatusLine();
}

// The folder's files that match the pattern, and the folders of Dir1; the chosen ROM stays
// marked when it is listed.
void showFiles() {
    HWND files = control(ctl_File1);
    SendMessageA(files, WM_SETREDRAW, FALSE, 0);
    SendMessageA(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : listedFiles(centre.browser)) {
        SendMessageA(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(files, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(files, nullptr, TRUE);
}

void markChosenFile() {
    const std::string name = listedRomName(centre.form, centre.browser);
    HWND files = control(ctl_File1);
    const LRESULT found = name.empty()
                              ? LB_ERR
                              : SendMessageA(files, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(files, LB_SETCURSEL, found == LB_ERR ? static_cast<WPARAM>(-1) : found, 0);
}

void showFolders() {
    HWND folders = control(ctl_Dir1);
    SendMessageA(folders, WM_SETREDRAW, FALSE, 0);
    SendMessageA(folders, LB_RESETCONTENT, 0, 0);
    centre.dirPaths.clear();
    auto add = [&](const std::string& name, const std::string& path, int depth) {
        const std::string shown = std::string(static_cast<std::size_t>(depth) * 2, ' ') + name;
        SendMessageA(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        centre.dirPaths.push_back(path);
    };
    int depth = 0;
    for (const std::string& folder : centre.browser.chain) {
        const std::size_t slash = folder.find_last_of("\\/");
        const bool root = slash == std::string::npos || slash + 1 == folder.size();
        add(root ? folder : folder.substr(slash + 1), folder, depth++);
    }
    SendMessageA(folders, LB_SETCURSEL, centre.dirPaths.size() - 1, 0);
    for (const std::string& name : centre.browser.subfolders) {
        add(name, joinPath(centre.browser.folder, name), depth);
    }
    SendMessageA(folders, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(folders, nullptr, TRUE);
}

// Runs an event of the ROM List and draws what it left: the lists when they changed, the path
// field (kept as typed when the event changed nothing) and the form; remembers the folder and
// the ROM for the next run.
template <typename Event>
void browseEvent(Event event) {
    const RomBrowser before = centre.browser;
    const std::string romBefore = centre.form.romPath;
    const std::string message = event();
    showEventStatus(message);
    const bool moved = centre.browser.folder != before.folder;
    if (moved || centre.browser.subfolders != before.subfolders ||
        centre.browser.files != before.files || centre.dirPaths.empty()) {
        showFolders();
        showFiles();
        markChosenFile();
    } else if (centre.form.romPath != romBefore) {
        markChosenFile();
    }
    if (message.empty() || moved || centre.form.romPath != romBefore) {
        // The end of the path, the ROM's name, in view.
        HWND path = control(ctl_Txt_Path);
        setText(path, pathFieldText(centre.form, centre.browser));
        const int length = GetWindowTextLengthA(path);
        SendMessageA(path, EM_SETSEL, length, length);
        SendMessageA(path, EM_SCROLLCARET, 0, 0);
    }
    const std::string drive = centre.browser.chain.empty() ? "" : centre.browser.chain.front();
    SendMessageA(control(ctl_Drive1), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(drive.c_str()));
    rememberChoice(centre.browser.folder, centre.form.noRomSelected ? "" : centre.form.romPath);
    showForm();
}

std::string selectedText(HWND list, UINT getIndex, UINT getText) {
    const LRESULT index = SendMessageA(list, getIndex, 0, 0);
    if (index < 0) {
        return {};
    }
    char text[MAX_PATH * 2] = {};
    const UINT getLength = getText == LB_GETTEXT ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
    if (SendMessageA(list, getLength, index, 0) >= static_cast<LRESULT>(sizeof text)) {
        return {};
    }
    SendMessageA(list, getText, index, reinterpret_cast<LPARAM>(text));
    return text;
}

void openFolderAt(const std::string& folder) {
    browseEvent([&] { return openFolder(centre.form, centre.browser, folder); });
}

void openSelectedFolder() {
    const LRESULT index = SendMessageA(control(ctl_Dir1), LB_GETCURSEL, 0, 0);
    if (index >= 0 && static_cast<std::size_t>(index) < centre.dirPaths.size()) {
        openFolderAt(centre.dirPaths[static_cast<std::size_t>(index)]);
    }
}

void chooseSelectedFile() {
    const std::string name = selectedText(control(ctl_File1), LB_GETCURSEL, LB_GETTEXT);
    if (!name.empty()) {
        browseEvent(
            [&] { return chooseListedRom(centre.form, centre.browser, centre.saveMethods, name); });
    }
}

void goToTypedPath(const std::string& typed) {
    browseEvent([&] { return goToPath(centre.form, centre.browser, centre.saveMethods, typed); });
}

void applyFilePattern() {
    setListedKinds(centre.browser, isChecked(ctl_Check_ListBIN), isChecked(ctl_Check_ListGBA));
    showFiles();
    markChosenFile();
}

// "Browse...": the system's file dialog, filtered to the ROM patterns, opened on the folder
// shown. The current directory stays where "Quarvend.CFG" is.
void browse() {
    const std::string pattern = centre.browser.pattern;
    std::string filter = "ROM files (" + pattern + ")";
    filter += '\0' + pattern + '\0' + "All files (*.*)" + '\0' + "*.*" + '\0';
    char path[MAX_PATH * 2] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = centre.window;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrInitialDir = centre.browser.folder.c_str();
    dialog.lpstrTitle = "Choose a ROM";
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameA(&dialog)) {
        goToTypedPath(path);
    }
}

void writeConfigOnClose() {
    stopJoystickCapture();
    const std::string error = writeConfig(centre.form);
    if (!error.empty()) {
        showStatus(error);
        showSystemTextMessage(error);
    }
}

void startClicked() {
    const EmulatorLaunch launch = startEmulator(centre.form, centre.emulatorFolder);
    if (!launch.started) {
        if (!launch.message.empty()) {
            showSystemTextMessage(launch.message);
        }
        return;
    }
    centre.emulator = launch.program;
    centre.emulatorStarted = GetTickCount();
    SetTimer(centre.window, emulatorTimer, emulatorPollMilliseconds, nullptr);
}

void watchEmulator() {
    const EmulatorWatch watch =
        watchEmulator(centre.emulator, static_cast<long>(GetTickCount() - centre.emulatorStarted));
    if (watch.over) {
        KillTimer(centre.window, emulatorTimer);
    }
    if (!watch.message.empty()) {
        showSystemTextMessage(watch.message);
    }
}

void showTab(int selected) {
    for (int i = 0; i < 3; ++i) {
        ShowWindow(centre.pages[i], i == selected ? SW_SHOW : SW_HIDE);
    }
}

// A click on a check box or an option: the form changes, and the form is drawn again.
bool optionClicked(int id) {
    CentreForm& form = centre.form;
    const int place = id - centreFirstControlId;
    const auto name = static_cast<CentreControl>(place / centreArrayLimit);
    const int index = place % centreArrayLimit;
    switch (name) {
    case ctl_Opt_Res: selectResolution(form, index); break;
    case ctl_Opt_Zoom: selectZoom(form, index); break;
    case ctl_Opt_FrameSkip: selectFrameSkip(form, index); break;
    case ctl_Opt_Controller1: form.settings.keyboardInput = index == 0; break;
    case ctl_Chk_AutoFrameSkip: setAutoFrameSkip(form, !form.settings.autoSkip); break;
    case ctl_Chk_DetectSave: form.detectSave = !form.detectSave; break;
    default:
        for (const Switch& check : switches) {
            if (check.name == name) {
                form.settings.*check.setting = !(form.settings.*check.setting);
                showForm();
                return true;
            }
        }
        return false;
    }
    showForm();
    return true;
}

void commandReceived(int id, int code) {
    const int place = id - centreFirstControlId;
    const auto name = static_cast<CentreControl>(place / centreArrayLimit);
    switch (name) {
    case ctl_Cmd_Browse: browse(); return;
    case ctl_Command1: startClicked(); return;
    case ctl_Check_ListBIN:
    case ctl_Check_ListGBA: applyFilePattern(); return;
    case ctl_Drive1:
        if (code == CBN_SELCHANGE) {
            openFolderAt(selectedText(control(ctl_Drive1), CB_GETCURSEL, CB_GETLBTEXT));
        }
        return;
    case ctl_Dir1:
        if (code == LBN_DBLCLK) {
            openSelectedFolder();
        }
        return;
    case ctl_File1:
        if (code == LBN_SELCHANGE) {
            chooseSelectedFile();
        }
        return;
    case ctl_Txt_Inkey:
    case ctl_Txt_Joy: return;
    default:
        if (code == BN_CLICKED) {
            optionClicked(id);
        }
        return;
    }
}

// Enter outside the boxes that take it: opens the folder or chooses the file that is selected.
void enterPressed() {
    HWND focus = GetFocus();
    if (focus == control(ctl_Dir1)) {
        openSelectedFolder();
    } else if (focus == control(ctl_File1)) {
        chooseSelectedFile();
    }
}

HBRUSH colourControl(HDC dc, HWND control) {
    const int place = GetDlgCtrlID(control) - centreFirstControlId;
    const auto name = static_cast<CentreControl>(place / centreArrayLimit);
    const int index = place % centreArrayLimit;
    if (name == ctl_Txt_Inkey || name == ctl_Txt_Joy) {
        const Rgb colour = name == ctl_Txt_Inkey ? keyBoxColour(centre.form, index)
                                                 : joyBoxColour(centre.form, index);
        SetBkColor(dc, colourOf(colour));
        return colour.red == centreGrey.red ? centre.brushes.grey : centre.brushes.white;
    }
    if (name == ctl_Label_SaveMethod) {
        SetTextColor(dc, colourOf(saveMethodColour(centre.form)));
    }
    SetBkColor(dc, colourOf(centreGrey));
    return centre.brushes.grey;
}

void layOutStatusBar() {
    HWND status = control(ctl_StatusBar);
    SendMessageA(status, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(status, &bar);
    RECT frame = {0, 0, clientWidth, framesHeight + (bar.bottom - bar.top)};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(centre.window, GWL_STYLE));
    AdjustWindowRect(&frame, style, FALSE);
    SetWindowPos(centre.window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(status, WM_SIZE, 0, 0);
}

LRESULT CALLBACK centreWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            enterPressed();
        } else if (lParam) {
            commandReceived(LOWORD(wParam), HIWORD(wParam));
        }
        return 0;
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lParam);
        if (note->idFrom == static_cast<UINT_PTR>(controlId(ctl_TabStrip1)) &&
            note->code == TCN_SELCHANGE) {
            showTab(static_cast<int>(SendMessageA(note->hwndFrom, TCM_GETCURSEL, 0, 0)));
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        HWND source = reinterpret_cast<HWND>(lParam);
        if (source == control(ctl_Txt_Path) || source == control(ctl_Drive1)) {
            break;
        }
        return reinterpret_cast<LRESULT>(colourControl(reinterpret_cast<HDC>(wParam), source));
    }
    case WM_TIMER:
        if (wParam == joystickTimer) {
            pollJoystick();
        } else if (wParam == emulatorTimer) {
            watchEmulator();
        }
        return 0;
    case msgGoToTypedPath: goToTypedPath(controlText(control(ctl_Txt_Path))); return 0;
    case msgStartJoystickCapture: startJoystickCapture(static_cast<int>(wParam)); return 0;
    // Form_Unload
    case WM_CLOSE:
        writeConfigOnClose();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string programFolder() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length < sizeof path ? length : 0);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? "." : folder.substr(0, slash);
}

std::string currentFolder() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof path, path);
    return length > 0 && length < sizeof path ? path : ".";
}

} // namespace

HWND control(CentreControl name, int index) {
    return centre.controls[name][index];
}

void captureBoxFocus(CentreControl name, int index, bool gained) {
    if (name == ctl_Txt_Inkey) {
        gained ? focusKeyBox(centre.form, index) : leaveKeyBox(centre.form, index);
    } else if (gained) {
        focusJoyBox(centre.form, index);
        // Started once the focus change is over, since it may show a message box.
        PostMessageA(centre.window, msgStartJoystickCapture, static_cast<WPARAM>(index), 0);
    } else {
        leaveJoyBox(centre.form, index);
    }
    showForm();
}

void showEventStatus(const std::string& message) {
    showEventStatus(centre.form.status, message);
    showStatusLine();
}

void showMessage(const std::string& title, const std::string& text) {
    MessageBoxW(centre.window, wideText(text, CP_UTF8).c_str(), wideText(title, CP_UTF8).c_str(),
                MB_OK);
}

void showForm() {
    const CentreForm& form = centre.form;
    const CentreSettings& settings = form.settings;
    showOption(ctl_Opt_Res, centreResolutionCount, settings.resolution);
    showOption(ctl_Opt_Zoom, centreZoomCount, settings.zoom, form.zoomEnabled);
    showOption(ctl_Opt_FrameSkip, centreFrameSkipCount, settings.frameSkip);
    showOption(ctl_Opt_Controller1, 2, settings.keyboardInput ? 0 : 1);
    for (const Switch& check : switches) {
        setCheck(control(check.name), settings.*check.setting);
    }
    setCheck(control(ctl_Chk_AutoFrameSkip), settings.autoSkip);
    EnableWindow(control(ctl_Chk_HalfSpeed), form.halfSpeedEnabled);
    EnableWindow(control(ctl_Chk_RealGBA), form.realGbaEnabled);
    setCheck(control(ctl_Chk_DetectSave), form.detectSave);
    EnableWindow(control(ctl_Chk_DetectSave), form.detectSaveEnabled);
    setText(control(ctl_Label_SaveMethod), saveMethodText(form));
    // Its colour comes with WM_CTLCOLORSTATIC, so it is drawn again for a new colour.
    InvalidateRect(control(ctl_Label_SaveMethod), nullptr, TRUE);

    ShowWindow(control(ctl_Frame2), form.romInfoShown ? SW_SHOW : SW_HIDE);
    const std::pair<CentreControl, const std::string*> fields[] = {
        {ctl_Lab_CartName, &form.rom.cartName},         {ctl_Lab_ROMSize, &form.rom.romSize},
        {ctl_Lab_GameCode, &form.rom.gameCode},         {ctl_Lab_MakerCode, &form.rom.makerCode},
        {ctl_Lab_MainUnitCode, &form.rom.mainUnitCode}, {ctl_Lab_DeviceType, &form.rom.deviceType},
        {ctl_Lab_GameVersion, &form.rom.gameVersion},
    };
    for (const auto& [name, value] : fields) {
        setText(control(name), *value);
    }
    for (int i = 0; i < centreKeyCount; ++i) {
        setText(control(ctl_Txt_Inkey, i), keyBoxText(form, i));
        InvalidateRect(control(ctl_Txt_Inkey, i), nullptr, TRUE);
    }
    for (int i = 0; i < centreJoyCount; ++i) {
        setText(control(ctl_Txt_Joy, i), joyBoxText(form, i));
        InvalidateRect(control(ctl_Txt_Joy, i), nullptr, TRUE);
    }
}

bool openCentreWindow(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&common);
    centre.brushes.grey = CreateSolidBrush(colourOf(centreGrey));
    centre.brushes.white = CreateSolidBrush(colourOf(captureWhite));
    centre.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    centre.emulatorFolder = programFolder();

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = centreWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = centre.brushes.grey;
    windowClass.lpszClassName = centreWindowClass;
    if (!RegisterClassA(&windowClass) || !registerFrameClass(instance)) {
        return false;
    }
    centre.window = CreateWindowExA(WS_EX_CONTROLPARENT, centreWindowClass, centreWindowTitle,
                                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, clientWidth, framesHeight,
                                    nullptr, nullptr, instance, nullptr);
    if (!centre.window) {
        return false;
    }
    buildControls(instance);
    layOutStatusBar();
    fillDrives();

    // Form_Load
    clearSaveMethodTable(centre.saveMethods);
    const std::string message = loadForm(centre.form, centre.saveMethods);
    applyFilePattern();
    const RememberedChoice last = rememberedChoice();
    browseEvent([&] {
        return restoreLastChoice(centre.form, centre.browser, centre.saveMethods, last.folder,
                                 last.rom, currentFolder());
    });
    if (!message.empty()) {
        showStatus(message);
    }
    ShowWindow(centre.window, showCommand);
    UpdateWindow(centre.window);
    return true;
}
