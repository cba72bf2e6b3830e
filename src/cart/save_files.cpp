#include "cart/save_files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "common/log.h"
#include "common/types.h"
#include "machine/gba_system.h"

std::string sramFileName;
std::string flashFileName;
std::string eepromFileName;

namespace {

namespace fs = std::filesystem;

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

// The file a save name stands for: a symbolic link (or a chain of them) is followed to its
// target, so that writing replaces the target and the link stays. A chain that does not end
// within a reasonable number of steps (a loop) leaves the name as it is.
fs::path resolveSaveFile(const std::string& name) {
    fs::path path = name;
    for (int step = 0; step < 40; ++step) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return path;
        }
        fs::path target = fs::read_symlink(path, error);
        if (error) {
            return path;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return name;
}

fs::path temporaryFileOf(const fs::path& file) {
    fs::path temporary = file;
    temporary += ".tmp";
    return temporary;
}

// Other programs and flash carts leave save files larger than the memory; their bytes past
// the memory are kept by every write, so the user hears of it once, here.
void logIfLargerThanMemory(const std::string& name, u32 size) {
    std::error_code error;
    std::uintmax_t length = fs::file_size(resolveSaveFile(name), error);
    if (!error && length > size) {
        debugLog("\nSave file larger than its memory, the bytes past the memory are kept: ");
        debugLog(name.c_str());
    }
}

// A temporary file left by a write that was cut short (the process killed, the power lost);
// the save itself was replaced whole or not at all, so the temporary file is worthless.
void removeStaleTemporaryFile(const std::string& name) {
    fs::path temporary = temporaryFileOf(resolveSaveFile(name));
    std::error_code error;
    if (fs::is_regular_file(fs::symlink_status(temporary, error)) && fs::remove(temporary, error)) {
        debugLog("\nRemoved the unfinished save file ");
        debugLog(temporary.string().c_str());
    }
}

bool loadSaveFile(const std::string& name, u8* memory, u32 size, const char* loadedText) {
    bool readOk = loadImage(name, memory, size);
    if (!readOk) {
        debugLog("\nCould not read save file ");
        debugLog(name.c_str());
    } else {
        logIfLargerThanMemory(name, size);
        removeStaleTemporaryFile(name);
    }
    debugLog(loadedText);
    return !readOk;
}

// Copies the bytes of FILE past OFFSET to OUT. A file that is missing or not longer has none.
bool copyBytesPast(const fs::path& file, u32 offset, std::ofstream& out) {
    std::error_code error;
    std::uintmax_t length = fs::file_size(file, error);
    if (error || length <= offset) {
        return true;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in.seekg(offset)) {
        return false;
    }
    std::vector<char> buffer(0x10000);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.write(buffer.data(), in.gcount());
    }
    return in.eof() && !in.bad() && out.good();
}

// Writes beside the old file and renames over it, which replaces it in one step, so the old
// contents survive any failure before the rename. The memory goes over the file's first bytes
// and any bytes past it are carried over, so a save file never shrinks.
bool writeImage(const std::string& name, const u8* memory, u32 size) {
    fs::path file = resolveSaveFile(name);
    fs::path temporary = temporaryFileOf(file);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(reinterpret_cast<const char*>(memory), static_cast<std::streamsize>(size));
    bool copied = copyBytesPast(file, size, out);
    out.close();
    std::error_code error;
    if (!copied || !out) {
        fs::remove(temporary, error);
        return false;
    }
    fs::rename(temporary, file, error);
    if (error) {
        fs::remove(temporary, error);
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
