#include "configcentre/win32/remembered_choice.h"

#include <windows.h>

namespace {

constexpr const char* choiceKey = "Software\\Quarvend\\QuarvendCfg";
constexpr const char* folderValue = "lastFolder";
constexpr const char* romValue = "lastRom";

std::string readValue(HKEY key, const char* name) {
    char text[MAX_PATH * 2] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return text;
}

void writeValue(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

} // namespace

RememberedChoice rememberedChoice() {
    RememberedChoice choice;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, choiceKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        choice.folder = readValue(key, folderValue);
        choice.rom = readValue(key, romValue);
        RegCloseKey(key);
    }
    return choice;
}

void rememberChoice(const std::string& folder, const std::string& rom) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, choiceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (!folder.empty()) {
        writeValue(key, folderValue, folder);
    }
    if (!rom.empty()) {
        writeValue(key, romValue, rom);
    }
    RegCloseKey(key);
}
