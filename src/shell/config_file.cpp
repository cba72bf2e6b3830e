#include "shell/config_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "common/files.h"
#include "common/log.h"
#include "machine/gba_system.h"

Settings settings;
u8 keyMap[256];
u16 buttonState[11];

namespace {

bool sameKey(const char* name, std::string_view key) {
    return std::string_view(name) == key;
}

// Lines are held with their length, so a NUL byte in the file is an ordinary character that
// makes the key unknown instead of silently shortening the line.
ConfigKey lookUpKey(std::string_view key) {
    for (const ConfigKeyEntry& entry : configKeys) {
        if (sameKey(entry.name, key)) {
            return entry.id;
        }
    }
    if (sameKey(saveMethodKey.name, key)) {
        return saveMethodKey.id;
    }
    debugLog("FAIL");
    return configKeyNone;
}

// Every character counts as a digit, unchecked, as the format has always been read; the
// arithmetic wraps modulo 2^32.
u32 decimalValue(std::string_view value) {
    u32 number = 0;
    for (char c : value) {
        number = number * 10 + (static_cast<u32>(static_cast<u8>(c)) - u32{'0'});
    }
    return number;
}

char firstCharacter(std::string_view value) {
    return value.empty() ? '\0' : value[0];
}

bool isYes(std::string_view value) {
    return firstCharacter(value) == 'Y';
}

void setDefaults() {
    settings.resolutionWidth = defaultResolution.width;
    settings.resolutionHeight = defaultResolution.height;
    settings.zoom = defaultZoom;
    settings.inputMode = inputKeyboard;
    settings.enableSound = 0;
    std::snprintf(settings.biosFileName, sizeof settings.biosFileName, "%s", defaultBiosFileName);
}

void applyResolution(u32 index) {
    if (index < sizeof configResolutions / sizeof configResolutions[0]) {
        settings.resolutionWidth = configResolutions[index].width;
        settings.resolutionHeight = configResolutions[index].height;
    }
    debugLog("\nResolutionX=");
    debugLogInt(static_cast<s32>(settings.resolutionWidth));
}

void applySaveMethod(char letter) {
    for (u32 type = 0; type < sizeof configSaveMethods / sizeof configSaveMethods[0]; ++type) {
        if (letter == configSaveMethods[type][0]) {
            gba.saveChip.saveType = static_cast<SaveType>(type);
            return;
        }
    }
}

void applyKeyCode(Button button, std::string_view value) {
    if (settings.inputMode == inputKeyboard) {
        settings.buttonCodes[button - 1] = static_cast<u8>(decimalValue(value));
    }
}

// The file counts joystick buttons from 1, the joystick state from 0.
void applyJoystickButton(Button button, std::string_view value) {
    if (settings.inputMode == inputJoystick) {
        settings.buttonCodes[button - 1] = static_cast<u8>(decimalValue(value) - 1);
    }
}

void applySetting(ConfigKey key, std::string_view value) {
    switch (key) {
    case configKeyNone: break;
    case configKeyRes: applyResolution(decimalValue(value)); break;
    case configKeyZoom: settings.zoom = decimalValue(value) + 1; break;
    case configKeyInput:
        settings.inputMode = firstCharacter(value) == 'K' ? inputKeyboard : inputJoystick;
        break;
    case configKeyUp:
    case configKeyDown:
    case configKeyLeft:
    case configKeyRight:
    case configKeyA:
    case configKeyB:
    case configKeySelect:
    case configKeyStart:
    case configKeyL:
    case configKeyR: applyKeyCode(configKeys[key - 1].button, value); break;
    case configJoyA:
    case configJoyB:
    case configJoySelect:
    case configJoyStart:
    case configJoyL:
    case configJoyR: applyJoystickButton(configKeys[key - 1].button, value); break;
    case configKeyAutoSkip:
        settings.autoFrameSkip = isYes(value);
        if (settings.autoFrameSkip) {
            debugLog("\nAuto Frame Skip");
        }
        break;
    case configKeySkip:
        settings.frameSkip = decimalValue(value);
        debugLog("\nFrameSkip:");
        debugLogInt(static_cast<s32>(settings.frameSkip));
        break;
    case configKeyHalfSpeed: settings.halfSpeed = isYes(value); break;
    case configKeyEnableSound: settings.enableSound = isYes(value); break;
    case configKeyDisableFifo: settings.disableFifo = isYes(value); break;
    case configKeyDisableAlpha: settings.disableAlpha = isYes(value); break;
    case configKeyBootFromBios: settings.bootFromBios = isYes(value); break;
    case configKeyDisableWscnt: settings.disableWaitControl = isYes(value); break;
    case configKeyRealGba: settings.realGba = isYes(value); break;
    case configKeyDetectSave: applySaveMethod(firstCharacter(value)); break;
    case configKeyWindow: settings.windowed = isYes(value); break;
    case configKeyIntegerScale: settings.integerScale = isYes(value); break;
    }
}

void applyLine(std::string_view line) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    ConfigKey key = lookUpKey(line.substr(0, equals));
    applySetting(key, line.substr(equals + 1));
}

// Reads up to configMaxLineLength characters, ending early at LF or CR LF (a CR just before
// the end of the file ends the line too). Returns false when the file is at its end.
bool readLine(std::FILE* file, char (&line)[configMaxLineLength], std::size_t& length) {
    length = 0;
    bool readAny = false;
    while (length < configMaxLineLength) {
        int c = std::getc(file);
        if (c == EOF) {
            break;
        }
        readAny = true;
        if (c == '\n') {
            break;
        }
        if (c == '\r') {
            int next = std::getc(file);
            if (next == '\n' || next == EOF) {
                break;
            }
            std::ungetc(next, file);
        }
        line[length++] = static_cast<char>(c);
    }
    return readAny;
}

// Clears the button states and maps each key code to its button; in joystick mode the map
// stays empty. Later buttons win a shared code, so unset codes (0) map to the last unset one.
void buildKeyMap() {
    std::memset(buttonState, 0, sizeof buttonState);
    std::memset(keyMap, 0, sizeof keyMap);
    settings.disableFifoCopy = settings.disableFifo;
    if (settings.inputMode == inputJoystick) {
        return;
    }
    for (u32 button = buttonUp; button <= buttonR; ++button) {
        keyMap[settings.buttonCodes[button - 1]] = static_cast<u8>(button);
    }
}

// Applies every line; on a read error the settings go back to what they were before reading.
void readLines(std::FILE* file) {
    const Settings defaults = settings;
    const SaveType saveType = gba.saveChip.saveType;
    char line[configMaxLineLength];
    std::size_t length;
    while (readLine(file, line, length)) {
        applyLine(std::string_view(line, length));
    }
    if (std::ferror(file)) {
        settings = defaults;
        gba.saveChip.saveType = saveType;
        debugLog("\nQuarvend.CFG could not be read: using default settings");
    }
}

} // namespace

int readConfigFile() {
    setDefaults();
    std::FILE* file = openRegularFile(configFileName);
    if (file) {
        readLines(file);
        std::fclose(file);
    } else if (errno == ENOENT) {
        debugLog("\nQuarvend.CFG not found: using default settings");
    } else {
        debugLog("\nQuarvend.CFG could not be read: using default settings");
    }
    buildKeyMap();
    return 1;
}

ConfigKey configKeyId(const char* key) {
    return lookUpKey(key ? std::string_view(key) : "");
}
