#include "cart/save_files.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "common/files.h"
#include "common/log.h"
#include "common/types.h"
#include "machine/gba_system.h"

std::string sramFileName;
std::string flashFileName;
std::string eepromFileName;
void (*saveWriteMidway)() = nullptr;

namespace {

namespace fs = std::filesystem;

// What start-up found of one save file.
struct SaveFileState {
    // The file existed: it is written back at every save, whether the game changed its
    // memory or not.
    bool existed;
    // The file existed but could not be read: the memory then holds zeros, and writing them
    // over the file would destroy the player's saved games.
    bool unreadable;
    // A state was loaded since the file was last written: it is written again only once the
    // game changes its memory, and the file it replaces then is kept as NAME.bak.
    bool heldByState;
};

SaveFileState flashState;
SaveFileState sramState;
SaveFileState eepromState;

// Temporary files older than this were left by a write that was cut short; younger ones may
// belong to another instance writing right now.
constexpr auto staleAge = std::chrono::minutes(1);

// Fills the memory from the file. A missing file, or anything that is not a regular file, is
// no error: the memory stays zero.
SaveFileState loadImage(const std::string& name, u8* memory, u32 size) {
    std::memset(memory, 0, size);
    std::FILE* file = openRegularFile(name.c_str());
    if (!file) {
        bool missing = errno == ENOENT;
        return {!missing, !missing, false};
    }
    std::fread(memory, 1, size, file);
    bool readOk = !std::ferror(file);
    std::fclose(file);
    if (!readOk) {
        std::memset(memory, 0, size);
    }
    return {true, !readOk, false};
}

// The file a save name stands for: a symbolic link (or a chain of them) is followed to its
// target, so that writing replaces the target and the link stays. A chain that does not end
// within a reasonable number of steps (a loop) leaves the last link, which is never written.
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
    return path;
}

// Temporary files are named FILE.N.tmp, N made of digits and dashes; FILE.tmp is the name
// earlier versions used.
bool isTemporaryFileOf(const std::string& entry, const std::string& file) {
    const std::string ending = ".tmp";
    if (entry == file + ending) {
        return true;
    }
    if (entry.size() <= file.size() + 1 + ending.size() ||
        entry.compare(0, file.size(), file) != 0 || entry[file.size()] != '.' ||
        entry.compare(entry.size() - ending.size(), ending.size(), ending) != 0) {
        return false;
    }
    std::string middle =
        entry.substr(file.size() + 1, entry.size() - file.size() - 1 - ending.size());
    return middle.find_first_not_of("0123456789-") == std::string::npos;
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

// Temporary files left by writes that were cut short (the process killed, the power lost);
// the save itself was replaced whole or not at all, so they are worthless. Only files of our
// own naming that nobody has written to for a while are removed.
void removeStaleTemporaryFiles(const std::string& name) {
    fs::path file = resolveSaveFile(name);
    fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::string fileName = file.filename().string();
    std::error_code error;
    auto now = fs::file_time_type::clock::now();
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string entryName = entry.path().filename().string();
        std::error_code entryError;
        if (!isTemporaryFileOf(entryName, fileName) || !entry.is_regular_file(entryError) ||
            entry.is_symlink(entryError)) {
            continue;
        }
        auto written = entry.last_write_time(entryError);
        if (entryError || now - written < staleAge || !fs::remove(entry.path(), entryError)) {
            continue;
        }
        debugLog("\nRemoved the unfinished save file ");
        debugLog(entry.path().string().c_str());
    }
}

SaveFileState loadSaveFile(const std::string& name, u8* memory, u32 size, const char* loadedText) {
    SaveFileState state = loadImage(name, memory, size);
    if (state.unreadable) {
        debugLog("\nCould not read save file ");
        debugLog(name.c_str());
    } else {
        logIfLargerThanMemory(name, size);
        removeStaleTemporaryFiles(name);
    }
    debugLog(loadedText);
    return state;
}

// Copies the bytes of FILE past OFFSET to OUT. A file that is missing or not longer has none.
bool copyBytesPast(const fs::path& file, u32 offset, std::FILE* out) {
    std::FILE* in = openRegularFile(file.string().c_str());
    if (!in) {
        return errno == ENOENT;
    }
    bool copied = std::fseek(in, static_cast<long>(offset), SEEK_SET) == 0;
    std::vector<char> buffer(0x10000);
    while (copied) {
        size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        copied = std::fwrite(buffer.data(), 1, got, out) == got;
        if (got < buffer.size()) {
            break;
        }
    }
    copied = copied && !std::ferror(in);
    std::fclose(in);
    return copied;
}

// The memory followed by the old file's bytes past it, so that a save file never shrinks.
bool writeContents(std::FILE* out, const fs::path& file, const u8* memory, u32 size) {
    u32 half = size / 2;
    bool written = std::fwrite(memory, 1, half, out) == half;
    if (saveWriteMidway) {
        std::fflush(out);
        saveWriteMidway();
    }
    written = written && std::fwrite(memory + half, 1, size - half, out) == size - half;
    return written && copyBytesPast(file, size, out);
}

enum class WriteResult { written, failed, notAFile };

// Writes beside the old file and renames over it, which replaces it in one step, so the old
// contents survive any failure before the rename. Only a regular file, or a name where there is
// nothing yet, is replaced: never a device, a FIFO or a folder, even at the end of a link.
WriteResult writeImage(const std::string& name, const u8* memory, u32 size) {
    fs::path file = resolveSaveFile(name);
    FileKind kind = fileKindOf(file.string().c_str());
    if (kind != FileKind::regular && kind != FileKind::missing) {
        return WriteResult::notAFile;
    }
    std::string temporary;
    std::FILE* out = createTemporaryFileBeside(file.string(), temporary);
    if (!out) {
        return WriteResult::failed;
    }
    bool written = writeContents(out, file, memory, size);
    written = closeDurably(out) && written;
    if (saveWriteMidway) {
        saveWriteMidway();
    }
    if (!written || !replaceDurably(temporary, file.string())) {
        std::remove(temporary.c_str());
        return WriteResult::failed;
    }
    return WriteResult::written;
}

// Keeps the save file NAME as it is now as NAME.bak, replacing an older copy there. True when
// it was kept or there is no file to keep.
bool keepBackup(const std::string& name) {
    fs::path file = resolveSaveFile(name);
    std::vector<u8> contents;
    if (!readWholeFile(file.string().c_str(), contents)) {
        return fileKindOf(file.string().c_str()) == FileKind::missing;
    }
    const std::string backup = name + ".bak";
    if (!replaceFileWhole(backup, contents.data(), contents.size())) {
        return false;
    }
    debugLog("\nSave file kept as ");
    debugLog(backup.c_str());
    return true;
}

// Writes one save file when the game changed its memory or the file was there at start (after
// a state load: only when the game changed its memory since). A save that changed and could
// not be written is added to FAILURES.
void writeSaveFile(const std::string& name, const u8* memory, u32 size, SaveFileState& state,
                   bool changed, const char* savedText, std::string& failures) {
    if (!changed && (!state.existed || state.heldByState)) {
        return;
    }
    std::string failure;
    if (state.unreadable) {
        failure = "Save file not overwritten because it could not be read at start: " + name;
    } else if (state.heldByState && !keepBackup(name)) {
        failure =
            "Could not keep save file " + name + " as " + name + ".bak, so it was not written";
    } else {
        switch (writeImage(name, memory, size)) {
        case WriteResult::written:
            state.heldByState = false;
            debugLog(savedText);
            debugLog(name.c_str());
            return;
        case WriteResult::failed: failure = "Could not write save file " + name; break;
        case WriteResult::notAFile:
            failure = "Could not write save file " + name + ": it is not a regular file";
            break;
        }
    }
    debugLog(("\n" + failure).c_str());
    if (changed) {
        failures += (failures.empty() ? "" : "\n") + failure;
    }
}

} // namespace

std::string romSiblingName(const char* romPath, const char* ending) {
    std::string path = romPath ? romPath : "";
    if (path.size() < 3) {
        return path + "." + ending;
    }
    return path.substr(0, path.size() - 3) + ending;
}

void setSaveFileNames(const char* romPath) {
    sramFileName = romSiblingName(romPath, "sav");
    flashFileName = romSiblingName(romPath, "Flash");
    eepromFileName = romSiblingName(romPath, "EEPROM");
    flashState = {};
    sramState = {};
    eepromState = {};
}

void loadFlash() {
    flashState = loadSaveFile(flashFileName, gba.FlashMemory, flashSize, "\nFlashROM Loaded");
}

void loadSram() {
    sramState = loadSaveFile(sramFileName, gba.SaveRam, saveRamSize, "\nSRAM Loaded");
}

void loadEeprom() {
    eepromState = loadSaveFile(eepromFileName, gba.EepromData, eepromSize, "\nEEPROM Loaded");
}

void holdSaveFilesAfterStateLoad() {
    flashState.heldByState = true;
    sramState.heldByState = true;
    eepromState.heldByState = true;
    gba.savesChanged = 0;
    gba.saveTouched = false;
}

std::string writeSaveFiles() {
    std::string failures;
    if (gba.saveChip.saveType == SaveType::flash) {
        writeSaveFile(flashFileName, gba.FlashMemory, flashSize, flashState,
                      gba.savesChanged & flashChanged, "\nFlashROM contents saved to  ", failures);
    }
    writeSaveFile(eepromFileName, gba.EepromData, eepromSize, eepromState,
                  gba.savesChanged & eepromChanged, "\nEEPROM contents saved to  ", failures);
    writeSaveFile(sramFileName, gba.SaveRam, saveRamSize, sramState, gba.savesChanged & sramChanged,
                  "\nSRAM contents saved to  ", failures);
    return failures;
}
