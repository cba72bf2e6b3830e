#include "cart/save_files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "machine/gba_system.h"
#include "common/types.h"
#include "common/log.h"

std::string sramFileName;
std::string flashFileName;
std::string eepromFileName;

namespace {

// Set when a save file existed at start but could not be read: the memory then holds zeros,
// and writing them over the file would destroy the player's saved games.
bool flashUnreadable = false;
bool sramUnreadable = false;
bool eepromUnreadable = false;

std::string saveFileName(const std::string& romPath, const char* ending) {
    if (romPath.size() < 3) {
        return romPath + "." + ending;
    }
    return romPath.substr(0, romPath.size() - 3) + ending;
}

// Returns false when the file exists but could not be read; a missing file is no error.
bool loadImage(const std::string& name, u8* memory, u32 size) {
    std::memset(memory, 0, size);
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) {
        std::error_code ignored;
        return !std::filesystem::exists(name, ignored);
    }
    std::fread(memory, 1, size, file);
    bool readOk = !std::ferror(file);
    std::fclose(file);
    if (!readOk) {
        std::memset(memory, 0, size);
    }
    return readOk;
}

bool loadSaveFile(const std::string& name, u8* memory, u32 size, const char* loadedText) {
    bool readOk = loadImage(name, memory, size);
    if (!readOk) {
        debugLog("\nCould not read save file ");
        debugLog(name.c_str());
    }
    debugLog(loadedText);
    return !readOk;
}

// Writes beside the old file and renames over it, which replaces it in one step, so the old
// contents survive any failure before the rename.
bool writeImage(const std::string& name, const u8* memory, u32 size) {
    std::string temporary = name + ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(reinterpret_cast<const char*>(memory), static_cast<std::streamsize>(size));
    out.close();
    if (!out || std::rename(temporary.c_str(), name.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void writeSaveFile(const std::string& name, const u8* memory, u32 size, bool unreadable,
                   const char* savedText) {
    if (unreadable) {
        debugLog("\nSave file not overwritten because it could not be read at start: ");
        debugLog(name.c_str());
        return;
    }
    if (!writeImage(name, memory, size)) {
        debugLog("\nCould not write save file ");
        debugLog(name.c_str());
        return;
    }
    debugLog(savedText);
    debugLog(name.c_str());
}

} // namespace

void setSaveFileNames(const char* romPath) {
    std::string path = romPath ? romPath : "";
    sramFileName = saveFileName(path, "sav");
    flashFileName = saveFileName(path, "Flash");
    eepromFileName = saveFileName(path, "EEPROM");
    flashUnreadable = false;
    sramUnreadable = false;
    eepromUnreadable = false;
}

void loadFlash() {
    flashUnreadable = loadSaveFile(flashFileName, gba.FlashMemory, flashSize, "\nFlashROM Loaded");
}

void loadSram() {
    sramUnreadable = loadSaveFile(sramFileName, gba.SaveRam, saveRamSize, "\nSRAM Loaded");
}

void loadEeprom() {
    eepromUnreadable = loadSaveFile(eepromFileName, gba.EepromData, eepromSize, "\nEEPROM Loaded");
}

void writeSaveFiles() {
    if (gba.saveType == SaveType::flash) {
        writeSaveFile(flashFileName, gba.FlashMemory, flashSize, flashUnreadable,
                      "\nFlashROM contents saved to  ");
    }
    writeSaveFile(eepromFileName, gba.EepromData, eepromSize, eepromUnreadable,
                  "\nEEPROM contents saved to  ");
    writeSaveFile(sramFileName, gba.SaveRam, saveRamSize, sramUnreadable,
                  "\nSRAM contents saved to  ");
}
