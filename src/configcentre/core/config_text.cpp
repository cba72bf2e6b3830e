#include "configcentre/core/config_text.h"

#include <cmath>

namespace {

// The file ends with a line holding one space.
constexpr std::string_view closingLine = " ";

const char* keyName(ConfigKey key) {
    return configKeys[key - 1].name;
}

void addLine(std::string& text, std::string_view line) {
    text += line;
    text += "\r\n";
}

void addSetting(std::string& text, ConfigKey key, std::string_view value) {
    std::string line = keyName(key);
    line += '=';
    line += value;
    addLine(text, line);
}

void addOption(std::string& text, ConfigKey key, int index) {
    if (index >= 0) {
        addSetting(text, key, std::to_string(index));
    }
}

void addSwitch(std::string& text, ConfigKey key, bool on) {
    addSetting(text, key, on ? configYes : configNo);
}

ConfigKey keyNamed(std::string_view name) {
    for (const ConfigKeyEntry& entry : configKeys) {
        if (name == entry.name) {
            return entry.id;
        }
    }
    return configKeyNone;
}

bool isSwitch(ConfigKey key) {
    switch (key) {
    case configKeyAutoSkip:
    case configKeyRealGba:
    case configKeyHalfSpeed:
    case configKeyEnableSound:
    case configKeyDisableWscnt:
    case configKeyDisableFifo:
    case configKeyDisableAlpha:
    case configKeyBootFromBios:
    case configKeyWindow:
    case configKeyIntegerScale: return true;
    default: return false;
    }
}

// The largest value the window can show for a numeric key; 0 for keys that are not numbers.
int numericLimit(ConfigKey key) {
    if (key == configKeyRes) {
        return centreResolutionCount - 1;
    }
    if (key == configKeyZoom) {
        return centreZoomCount - 1;
    }
    if (key == configKeySkip) {
        return centreFrameSkipCount - 1;
    }
    if (key >= configKeyUp && key <= configKeyR) {
        return centreMaxKeyCode;
    }
    if (key >= configJoyA && key <= configJoyR) {
        return centreMaxJoyButton;
    }
    return 0;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string configText(const CentreSettings& settings) {
    std::string text;
    addOption(text, configKeyRes, settings.resolution);
    addOption(text, configKeyZoom, settings.zoom);
    addOption(text, configKeySkip, settings.frameSkip);
    addSwitch(text, configKeyAutoSkip, settings.autoSkip);
    addSwitch(text, configKeyRealGba, settings.realGba);
    addSwitch(text, configKeyHalfSpeed, settings.halfSpeed);
    addSwitch(text, configKeyEnableSound, settings.enableSound);
    addSwitch(text, configKeyDisableWscnt, settings.disableWscnt);
    addSwitch(text, configKeyDisableFifo, settings.disableFifo);
    addSwitch(text, configKeyDisableAlpha, settings.disableAlpha);
    addSetting(text, configKeyInput,
               settings.keyboardInput ? configInputKeyboard : configInputGamepad);
    addSwitch(text, configKeyBootFromBios, settings.bootFromBios);
    if (settings.saveMethod >= 0) {
        addLine(text,
                std::string(saveMethodKey.name) + '=' + configSaveMethods[settings.saveMethod]);
    }
    for (int i = 0; i < centreKeyCount; ++i) {
        addSetting(text, static_cast<ConfigKey>(centreFirstKey + i),
                   std::to_string(settings.keyCodes[i]));
    }
    for (int i = 0; i < centreJoyCount; ++i) {
        addSetting(text, static_cast<ConfigKey>(centreFirstJoy + i),
                   std::to_string(settings.joyButtons[i]));
    }
    addSwitch(text, configKeyWindow, settings.window);
    addSwitch(text, configKeyIntegerScale, settings.integerScale);
    for (const std::string& line : settings.keptLines) {
        addLine(text, line);
    }
    addLine(text, closingLine);
    return text;
}

CentreSettings firstStartSettings() {
    CentreSettings settings;
    // 1024 x 768 at 4x: the largest picture on 16:9 and 4:3 desktops alike, as every mode is
    // 4:3 and shown as large as the screen allows (960 x 640 of 1024 x 768).
    settings.resolution = 2;
    settings.zoom = 3;
    settings.frameSkip = 0;
    settings.autoSkip = true; // paced by the clock on any display
    settings.keyboardInput = true;
    const Button order[centreKeyCount] = {buttonUp, buttonDown, buttonLeft,   buttonRight,
                                          buttonA,  buttonB,    buttonSelect, buttonStart,
                                          buttonL,  buttonR};
    for (int i = 0; i < centreKeyCount; ++i) {
        settings.keyCodes[i] = defaultKeyCodes[order[i] - 1];
    }
    for (int i = 0; i < centreJoyCount; ++i) {
        settings.joyButtons[i] = i + 1;
    }
    return settings;
}

std::vector<std::string_view> configLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

bool writtenByCentre(std::string_view line) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return line == closingLine;
    }
    std::string_view key = line.substr(0, equals);
    ConfigKey id = keyNamed(key);
    return key == saveMethodKey.name || (id != configKeyNone && id != configKeyDetectSave);
}

double roundedValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    double sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        sign = text[i] == '-' ? -1 : 1;
        ++i;
    }
    double number = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        number = number * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && isDigit(text[i]); ++i, scale /= 10) {
            number += (text[i] - '0') * scale;
        }
    }
    // The default rounding mode rounds halves to even.
    return std::nearbyint(sign * number);
}

CentreLine parseCentreLine(std::string_view line) {
    CentreLine result;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return result;
    }
    ConfigKey key = keyNamed(line.substr(0, equals));
    std::string_view value = line.substr(equals + 1);
    if (key == configKeyNone || key == configKeyDetectSave) {
        return result;
    }
    result.key = key;
    if (key == configKeyInput) {
        result.value = value == configInputKeyboard ? 0 : 1;
    } else if (isSwitch(key)) {
        result.value = value == configYes ? 1 : 0;
    } else {
        double number = roundedValue(value);
        result.outOfRange = number < 0 || number > numericLimit(key);
        result.value = result.outOfRange ? 0 : static_cast<int>(number);
    }
    return result;
}
