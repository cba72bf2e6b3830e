// Reads the running QuarvendCfg.exe window from outside, as the Wine tests need it: finds its
// controls by their control names and prints what they show, where they are on the screen (for
// xdotool's clicks), and the message box the window shows. One command per run:
//   centre_window_driver wait SECONDS          until the window is shown
//   centre_window_driver dump                  NAME[.INDEX]=text, .checked, .enabled, .visible,
//                                              list items and selections, the tab shown
//   centre_window_driver where NAME [INDEX]    the screen point at the middle of the control (of
//                                              a check box's box, of a tab control's first tab)
//   centre_window_driver item NAME TEXT        the screen point at the middle of a list item
//   centre_window_driver settext NAME TEXT     replaces an edit box's text (a paste)
//   centre_window_driver messagebox SECONDS    waits for the window's message box: its caption,
//                                              a line "--", its text
//   centre_window_driver close                 closes the window, as its close button does
// Exit code 1 when the window, control, item or message box is not there.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "configcentre/win32/control_names.h"

namespace {

HWND centreWindow() {
    return FindWindowA(centreWindowClass, centreWindowTitle);
}

// Named controls sit in frames; the identifiers are unique in the whole window. One pass over
// the window's controls, by identifier.
BOOL CALLBACK noteControl(HWND window, LPARAM controlsPointer) {
    auto* controls = reinterpret_cast<std::map<int, HWND>*>(controlsPointer);
    controls->emplace(GetDlgCtrlID(window), window);
    return TRUE;
}

HWND findControl(int id) {
    static std::map<int, HWND> controls;
    if (controls.empty()) {
        EnumChildWindows(centreWindow(), noteControl, reinterpret_cast<LPARAM>(&controls));
    }
    auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

int controlNamed(const char* name) {
    for (int i = 0; i < centreControlCount; ++i) {
        if (std::strcmp(centreControlNames[i], name) == 0) {
            return i;
        }
    }
    return -1;
}

// Texts are asked for in UTF-16, which Wine passes between processes whole, and printed as
// the system's 8-bit text.
std::string narrowText(const wchar_t* text) {
    char narrow[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

std::wstring wideText(const char* text) {
    wchar_t wide[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 1024);
    return wide;
}

std::string windowText(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return narrowText(text);
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string itemText(HWND list, bool comboBox, LRESULT index) {
    wchar_t text[1024] = {};
    const UINT getLength = comboBox ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    if (SendMessageW(list, getLength, index, 0) >= 1024) {
        return "?";
    }
    SendMessageW(list, comboBox ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return narrowText(text);
}

void dumpList(const std::string& key, HWND list, bool comboBox) {
    const LRESULT count = SendMessageA(list, comboBox ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::printf("%s.item.%ld=%s\n", key.c_str(), static_cast<long>(i),
                    itemText(list, comboBox, i).c_str());
    }
    const LRESULT selected = SendMessageA(list, comboBox ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    std::printf("%s.selected=%s\n", key.c_str(),
                selected >= 0 ? itemText(list, comboBox, selected).c_str() : "");
}

void dumpControl(const std::string& key, HWND control) {
    const std::string kind = className(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (kind == "ListBox") {
        dumpList(key, control, false);
    } else if (kind == "ComboBox") {
        dumpList(key, control, true);
    } else if (kind == WC_TABCONTROLA) {
        std::printf("%s.selected=%ld\n", key.c_str(),
                    static_cast<long>(SendMessageA(control, TCM_GETCURSEL, 0, 0)));
    } else {
        std::printf("%s=%s\n", key.c_str(), windowText(control).c_str());
    }
    const LONG buttonType = style & BS_TYPEMASK;
    if (kind == "Button" && buttonType != BS_PUSHBUTTON && buttonType != BS_GROUPBOX &&
        buttonType != BS_DEFPUSHBUTTON) {
        std::printf("%s.checked=%d\n", key.c_str(),
                    SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    }
    std::printf("%s.enabled=%d\n%s.visible=%d\n", key.c_str(), IsWindowEnabled(control) ? 1 : 0,
                key.c_str(), IsWindowVisible(control) ? 1 : 0);
}

int dump() {
    for (int name = 0; name < centreControlCount; ++name) {
        for (int index = 0; index < centreArrayLimit; ++index) {
            HWND control = findControl(controlId(static_cast<CentreControl>(name), index));
            if (!control) {
                continue;
            }
            std::string key = centreControlNames[name];
            const bool array =
                index > 0 || findControl(controlId(static_cast<CentreControl>(name), 1));
            if (array) {
                key += "." + std::to_string(index);
            }
            dumpControl(key, control);
        }
    }
    return 0;
}

void printPoint(HWND window, POINT point) {
    ClientToScreen(window, &point);
    std::printf("%ld %ld\n", static_cast<long>(point.x), static_cast<long>(point.y));
}

int where(HWND control) {
    RECT area;
    GetClientRect(control, &area);
    // Check boxes and options: the middle of their box, which a click toggles, as their caption.
    // A tab control: its first tab.
    const std::string kind = className(control);
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    const bool box = kind == "Button" && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON;
    if (kind == WC_TABCONTROLA) {
        printPoint(control, {20, 10});
        return 0;
    }
    printPoint(control, {box ? 7 : area.right / 2, area.bottom / 2});
    return 0;
}

int item(HWND list, const char* text) {
    const std::wstring wide = wideText(text);
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(wide.c_str()));
    if (index < 0) {
        std::fprintf(stderr, "no item %s\n", text);
        return 1;
    }
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    const LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    printPoint(list, {20, static_cast<LONG>((index - top) * height + height / 2)});
    return 0;
}

struct BoxSearch {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK matchMessageBox(HWND window, LPARAM searchPointer) {
    auto* search = reinterpret_cast<BoxSearch*>(searchPointer);
    if (GetWindowThreadProcessId(window, nullptr) == search->thread &&
        className(window) == "#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int messageBox(int seconds) {
    for (int tries = 0; tries < seconds * 10; ++tries) {
        BoxSearch search{GetWindowThreadProcessId(centreWindow(), nullptr), nullptr};
        if (search.thread) {
            EnumWindows(matchMessageBox, reinterpret_cast<LPARAM>(&search));
        }
        if (search.found) {
            // The message box's text is its static control 0xFFFF.
            std::printf("%s\n--\n%s\n", windowText(search.found).c_str(),
                        windowText(GetDlgItem(search.found, 0xFFFF)).c_str());
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "no message box\n");
    return 1;
}

int waitForWindow(int seconds) {
    for (int tries = 0; tries < seconds * 10; ++tries) {
        HWND window = centreWindow();
        if (window && IsWindowVisible(window)) {
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "no window %s\n", centreWindowTitle);
    return 1;
}

HWND namedControl(int argc, char** argv) {
    const int name = argc > 2 ? controlNamed(argv[2]) : -1;
    const int index = argc > 3 ? std::atoi(argv[3]) : 0;
    HWND control =
        name >= 0 ? findControl(controlId(static_cast<CentreControl>(name), index)) : nullptr;
    if (!control) {
        std::fprintf(stderr, "no control %s\n", argc > 2 ? argv[2] : "");
    }
    return control;
}

} // namespace

int main(int argc, char** argv) {
    // Lines end in LF, as the shell scripts that read them expect.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "wait" && argc == 3) {
        return waitForWindow(std::atoi(argv[2]));
    }
    if (command == "messagebox" && argc == 3) {
        return messageBox(std::atoi(argv[2]));
    }
    if (!centreWindow()) {
        std::fprintf(stderr, "no window %s\n", centreWindowTitle);
        return 1;
    }
    if (command == "dump") {
        return dump();
    }
    if (command == "close") {
        PostMessageA(centreWindow(), WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == "where" && (argc == 3 || argc == 4)) {
        HWND control = namedControl(argc, argv);
        return control ? where(control) : 1;
    }
    if ((command == "item" || command == "settext") && argc == 4) {
        HWND control = namedControl(3, argv);
        if (!control) {
            return 1;
        }
        if (command == "item") {
            return item(control, argv[3]);
        }
        const std::wstring text = wideText(argv[3]);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    std::fprintf(stderr, "usage: see the head of centre_window_driver.cpp\n");
    return 2;
}
