#include "configcentre/core/centre_form.h"

#include "common/dik_keys.h"
#include "configcentre/core/file_access.h"
#include "configcentre/core/key_codes.h"
#include "configcentre/core/rom_header.h"

namespace {

// More than any settings file holds; a larger file is read this far.
constexpr std::size_t configReadLimit = 1 << 20;
constexpr std::size_t saveListReadLimit = 1 << 20;

struct MethodLook {
    const char* text;
    Rgb colour;
};
constexpr MethodLook methodLooks[] = {
    {"Unknown", {255, 0, 0}},
    {"SRAM", {0, 0, 255}},
    {"FlashROM", {0, 0, 128}},
    {"EEPROM", {0, 255, 128}},
};
constexpr int methodCount = 4;
constexpr Rgb labelBlack = {0, 0, 0};

std::string couldNotWrite(const std::string& error) {
    return std::string(configFileName) + " could not be written (" + error +
           "): the settings were not saved";
}

void showMethod(CentreForm& form, int method, bool detected) {
    form.shownMethod = method;
    form.methodDetected = detected;
    // Only a known method may be written instead of detection.
    form.detectSaveEnabled = method != 0;
    form.detectSave = method == 0;
}

void showUnknownMethod(CentreForm& form) {
    showMethod(form, 0, false);
}

void showRomInfo(CentreForm& form, const RomHeader& header, const SaveMethodTable& methods) {
    form.romInfoShown = true;
    form.rom.cartName = printableText(header.title);
    form.rom.gameCode = printableText(header.gameCode);
    form.rom.makerCode = printableText(header.makerCode);
    form.rom.mainUnitCode = hexText(header.mainUnitCode);
    form.rom.deviceType = hexText(header.deviceType);
    form.rom.gameVersion = hexText(header.version);
    int method = lookUpSaveMethod(methods, header.gameCode);
    bool detected = false;
    if (method == 0) {
        method = saveLibraryMethodOfFile(form.romPath);
        detected = method != 0;
    }
    form.shownMethod = -1;
    // A list may hold methods beyond the four; the label then stays empty.
    if (method >= 0 && method < methodCount) {
        showMethod(form, method, detected);
    }
}

std::string fileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void showStatus(StatusLine& line, const std::string& message) {
    line.text = message;
    line.aboutEvent = false;
}

void showEventStatus(StatusLine& line, const std::string& message) {
    if (!message.empty()) {
        line.text = message;
        line.aboutEvent = true;
    } else if (line.aboutEvent) {
        line.text.clear();
        line.aboutEvent = false;
    }
}

std::string loadForm(CentreForm& form, SaveMethodTable& methods) {
    std::string message = readConfig(form);
    const std::string listMessage = readSaveMethodList(methods);
    if (!message.empty() && !listMessage.empty()) {
        message += "; ";
    }
    return message + listMessage;
}

std::string readConfig(CentreForm& form) {
    std::string messages;
    FileText file = readRegularFile(configFileName, configReadLimit);
    if (file.state == FileState::missing || file.state == FileState::notRegular) {
        file.bytes = configText(firstStartSettings());
        std::string error = replaceFile(configFileName, file.bytes);
        if (!error.empty()) {
            messages = couldNotWrite(error);
        }
    } else if (file.state == FileState::failed) {
        messages = std::string(configFileName) + " could not be read (" + file.error +
                   "): the settings shown are not from it";
    }
    std::vector<std::string> ignored = applyConfigText(form, file.bytes);
    if (!ignored.empty()) {
        std::string lines;
        for (const std::string& line : ignored) {
            lines += (lines.empty() ? "" : ", ") + line;
        }
        messages += std::string(messages.empty() ? "" : "; ") + configFileName +
                    ": ignored the out-of-range line" + (ignored.size() > 1 ? "s " : " ") + lines;
    }
    applyHalfSpeedRule(form);
    return messages;
}

std::vector<std::string> applyConfigText(CentreForm& form, std::string_view text) {
    std::vector<std::string> ignored;
    CentreSettings& settings = form.settings;
    settings.keptLines.clear();
    bool inputSeen = false;
    for (std::string_view line : configLines(text)) {
        const CentreLine setting = parseCentreLine(line);
        if (setting.key == configKeyNone && !writtenByCentre(line)) {
            settings.keptLines.emplace_back(line);
        }
        if (setting.outOfRange) {
            ignored.emplace_back(line);
            continue;
        }
        const int value = setting.value;
        const bool on = value != 0;
        switch (setting.key) {
        case configKeyRes: selectResolution(form, value); break;
        case configKeyZoom: selectZoom(form, value); break;
        case configKeySkip: selectFrameSkip(form, value); break;
        case configKeyInput:
            settings.keyboardInput = value == 0;
            inputSeen = true;
            break;
        case configKeyAutoSkip: setAutoFrameSkip(form, on); break;
        case configKeyRealGba: settings.realGba = on; break;
        case configKeyHalfSpeed: settings.halfSpeed = on; break;
        case configKeyEnableSound: settings.enableSound = on; break;
        case configKeyDisableWscnt: settings.disableWscnt = on; break;
        case configKeyDisableFifo: settings.disableFifo = on; break;
        case configKeyDisableAlpha: settings.disableAlpha = on; break;
        case configKeyBootFromBios: settings.bootFromBios = on; break;
        case configKeyWindow: settings.window = on; break;
        case configKeyIntegerScale: settings.integerScale = on; break;
        default:
            if (setting.key >= centreFirstKey && setting.key < centreFirstKey + centreKeyCount) {
                settings.keyCodes[setting.key - centreFirstKey] = value;
            } else if (setting.key >= centreFirstJoy &&
                       setting.key < centreFirstJoy + centreJoyCount) {
                settings.joyButtons[setting.key - centreFirstJoy] = value;
            }
            break;
        }
    }
    // What the emulator's reader takes when the line is absent.
    if (settings.resolution < 0) {
        selectResolution(form, 0);
    }
    if (settings.zoom < 0) {
        selectZoom(form, 0);
    }
    if (settings.frameSkip < 0) {
        selectFrameSkip(form, 0);
    }
    if (!inputSeen) {
        settings.keyboardInput = true;
    }
    return ignored;
}

std::string formConfigText(const CentreForm& form) {
    CentreSettings settings = form.settings;
    settings.saveMethod = form.detectSave ? 0 : form.shownMethod;
    return configText(settings);
}

std::string writeConfig(const CentreForm& form) {
    std::string error = replaceFile(configFileName, formConfigText(form));
    return error.empty() ? error : couldNotWrite(error);
}

std::string readSaveMethodList(SaveMethodTable& table) {
    clearSaveMethodTable(table);
    const std::string name = saveMethodListFileName;
    const FileText file = readRegularFile(name, saveListReadLimit);
    if (file.state != FileState::open) {
        return name + " could not be read (" + file.error + "): no save method will be identified";
    }
    const SaveMethodListRead read = parseSaveMethodList(file.bytes, table);
    if (read.malformed) {
        return name + ": record " + std::to_string(read.records + 1) +
               " has no number as its save method: no save method will be identified";
    }
    if (read.records < saveMethodRecordCount) {
        return name + " holds " + std::to_string(read.records) + " of its " +
               std::to_string(saveMethodRecordCount) +
               " records: no save method will be identified";
    }
    return {};
}

void selectResolution(CentreForm& form, int index) {
    form.settings.resolution = index;
    const int largestZoom = index + 1;
    for (int i = 2; i < centreZoomCount; ++i) {
        form.zoomEnabled[i] = i <= largestZoom;
    }
    if (form.settings.zoom > largestZoom) {
        selectZoom(form, largestZoom);
    }
}

void selectZoom(CentreForm& form, int index) {
    form.settings.zoom = index;
    form.realGbaEnabled = index >= 2;
    if (!form.realGbaEnabled) {
        form.settings.realGba = false;
    }
}

void selectFrameSkip(CentreForm& form, int index) {
    form.settings.frameSkip = index;
}

void setAutoFrameSkip(CentreForm& form, bool on) {
    form.settings.autoSkip = on;
    applyHalfSpeedRule(form);
}

void applyHalfSpeedRule(CentreForm& form) {
    form.halfSpeedEnabled = form.settings.autoSkip;
    if (!form.halfSpeedEnabled) {
        form.settings.halfSpeed = false;
    }
}

std::string chooseRom(CentreForm& form, const SaveMethodTable& methods, const std::string& path) {
    const RomInspection rom = inspectRomFile(path);
    if (rom.state == RomFileState::unreadable) {
        form.noRomSelected = true;
        form.romInfoShown = false;
        showUnknownMethod(form);
        return path + " could not be read (" + rom.error + ")";
    }
    const std::string notARom = "Not a GBA ROM: " + fileNameOf(path);
    if (rom.state == RomFileState::empty) {
        // As it always has, an empty file leaves the previous ROM's details on show.
        showUnknownMethod(form);
        return notARom + " is empty";
    }
    form.romPath = path;
    form.noRomSelected = rom.tooShort;
    form.rom.romSize = romSizeText(rom.size);
    if (!rom.header.valid) {
        form.romInfoShown = false;
        showUnknownMethod(form);
        return notARom + " has no cartridge header";
    }
    showRomInfo(form, rom.header, methods);
    return {};
}

void leaveRom(CentreForm& form) {
    form.noRomSelected = true;
    form.romInfoShown = false;
    form.rom = RomFields{};
    form.romPath.clear();
    form.shownMethod = -1;
    form.methodDetected = false;
    form.detectSave = true;
    form.detectSaveEnabled = true;
}

std::string saveMethodText(const CentreForm& form) {
    if (form.shownMethod < 0) {
        return {};
    }
    std::string text = methodLooks[form.shownMethod].text;
    return form.methodDetected ? text + " (detected)" : text;
}

Rgb saveMethodColour(const CentreForm& form) {
    return form.shownMethod < 0 ? labelBlack : methodLooks[form.shownMethod].colour;
}

void focusKeyBox(CentreForm& form, int index) {
    form.keyBoxCapturing = index;
    form.keyPressSeen = false;
}

void leaveKeyBox(CentreForm& form, int index) {
    if (form.keyBoxCapturing == index) {
        form.keyBoxCapturing = -1;
    }
}

void pressKeyInBox(CentreForm& form) {
    form.keyPressSeen = true;
}

std::string releaseKeyInBox(CentreForm& form, int index, std::uint16_t virtualKey, bool keypad) {
    return form.keyPressSeen ? takeKey(form, index, virtualKey, keypad) : std::string();
}

std::string takeKey(CentreForm& form, int index, std::uint16_t virtualKey, bool keypad) {
    const std::uint8_t code = TranslateDIK(virtualKey, keypad);
    if (code == dikEscape) {
        return "Escape ends Quarvend, so it cannot be a button";
    }
    if (code == 0) {
        return std::string("Quarvend cannot read that key: ") + centreButtonNames[index] +
               " keeps its key";
    }
    form.settings.keyCodes[index] = code;
    return {};
}

std::string keyBoxText(const CentreForm& form, int index) {
    return TranslateSTR(form.settings.keyCodes[index]);
}

Rgb keyBoxColour(const CentreForm& form, int index) {
    return form.keyBoxCapturing == index ? captureWhite : centreGrey;
}

void focusJoyBox(CentreForm& form, int index) {
    form.joyBoxCapturing = index;
}

void leaveJoyBox(CentreForm& form, int index) {
    if (form.joyBoxCapturing == index) {
        form.joyBoxCapturing = -1;
    }
}

std::string joyBoxText(const CentreForm& form, int index) {
    if (form.joyBoxWaiting == index) {
        return {};
    }
    return "Joy " + std::to_string(form.settings.joyButtons[index]);
}

Rgb joyBoxColour(const CentreForm& form, int index) {
    return form.joyBoxCapturing == index ? captureWhite : centreGrey;
}
