#include "shell/save_states.h"

#include <utility>
#include <vector>

#include "cart/rom_loader.h"
#include "cart/save_files.h"
#include "common/checksum.h"
#include "common/files.h"
#include "common/log.h"
#include "common/run_state.h"
#include "machine/frame.h"
#include "machine/gba_system.h"
#include "machine/machine_state.h"
#include "machine/memory_access.h"
#include "shell/startup.h"

namespace {

constexpr u32 stateMagic = 0x54535651; // "QVST"
constexpr u32 headerWords = 7;
constexpr u32 headerSize = 4 * headerWords;

enum HeaderWord : u32 { magic, version, romBytes, romCrc, frame, bodySize, bodyCrc };

// What was asked for between frames; the host's business, not the machine's.
struct StateRequests {
    u32 saveSlot; // 0: none
    u32 loadSlot;
    std::vector<std::pair<u32, std::string>> scheduledSaves; // frame, file
    std::string scheduledLoad;
};

StateRequests requests;

u32 romChecksum() {
    return crc32(gba.GamePakRom, romSize);
}

void logRefusal(const char* what, const std::string& path, const std::string& reason) {
    debugLog(("\nState not " + std::string(what) + path + ": " + reason).c_str());
}

void logDone(const char* what, const std::string& path, u32 frameNumber) {
    debugLog(
        ("\nState " + std::string(what) + path + " (frame " + std::to_string(frameNumber) + ")")
            .c_str());
}

// Why FILE cannot be loaded as a state of this ROM by this program, or empty.
std::string headerProblem(const std::vector<u8>& file) {
    if (file.size() < headerSize) {
        return "the file is too short for a state";
    }
    auto word = [&](HeaderWord index) { return load32(file.data() + 4 * index); };
    if (word(magic) != stateMagic) {
        return "not a state file";
    }
    if (word(version) != stateFormatVersion) {
        return "format version " + std::to_string(word(version)) + ", this program reads version " +
               std::to_string(stateFormatVersion);
    }
    if (word(romBytes) != romSize || word(romCrc) != romChecksum()) {
        return "saved with another ROM";
    }
    const size_t body = file.size() - headerSize;
    if (body < word(bodySize)) {
        return "the file is cut short";
    }
    if (body > word(bodySize) || crc32(file.data() + headerSize, body) != word(bodyCrc)) {
        return "the file is damaged";
    }
    return {};
}

void serveScheduledSaves() {
    auto& saves = requests.scheduledSaves;
    for (auto entry = saves.begin(); entry != saves.end();) {
        if (entry->first == runState.framesRendered) {
            saveStateFile(entry->second);
            entry = saves.erase(entry);
        } else {
            ++entry;
        }
    }
}

} // namespace

std::string stateSlotFileName(u32 slot) {
    return romSiblingName(romPath, ("ss" + std::to_string(slot)).c_str());
}

void requestStateSave(u32 slot) {
    requests.saveSlot = slot;
}

void requestStateLoad(u32 slot) {
    requests.loadSlot = slot;
}

void scheduleStateSave(u32 frameNumber, const std::string& path) {
    requests.scheduledSaves.emplace_back(frameNumber, path);
}

void scheduleStateLoad(const std::string& path) {
    requests.scheduledLoad = path;
}

bool saveStateFile(const std::string& path) {
    const std::vector<u8> body = saveMachineState();
    std::vector<u8> file(headerSize);
    const u32 header[headerWords] = {stateMagic,
                                     stateFormatVersion,
                                     romSize,
                                     romChecksum(),
                                     runState.framesRendered,
                                     static_cast<u32>(body.size()),
                                     crc32(body.data(), body.size())};
    for (u32 i = 0; i < headerWords; ++i) {
        store32(file.data() + 4 * i, header[i]);
    }
    file.insert(file.end(), body.begin(), body.end());
    if (!replaceFileWhole(path, file.data(), file.size())) {
        logRefusal("saved to ", path, "the file could not be written");
        return false;
    }
    logDone("saved to ", path, runState.framesRendered);
    return true;
}

bool loadStateFile(const std::string& path) {
    std::vector<u8> file;
    if (!readWholeFile(path.c_str(), file)) {
        logRefusal("loaded from ", path, "the file cannot be read");
        return false;
    }
    if (std::string problem = headerProblem(file); !problem.empty()) {
        logRefusal("loaded from ", path, problem);
        return false;
    }
    // What the game saved before the load reaches its files first.
    if (gba.saveTouched) {
        if (!writeSaveFiles().empty()) {
            logRefusal("loaded from ", path, "the save files could not be written first");
            return false;
        }
        gba.saveTouched = false;
    }
    const std::vector<u8> body(file.begin() + headerSize, file.end());
    if (std::string problem = loadMachineState(body); !problem.empty()) {
        logRefusal("loaded from ", path, "the file does not fit this program: " + problem);
        return false;
    }
    holdSaveFilesAfterStateLoad();
    logDone("loaded from ", path, load32(file.data() + 4 * frame));
    return true;
}

void betweenFrames() {
    if (requests.saveSlot != 0) {
        saveStateFile(stateSlotFileName(requests.saveSlot));
        requests.saveSlot = 0;
    }
    if (!requests.scheduledSaves.empty()) {
        serveScheduledSaves();
    }
    if (requests.loadSlot != 0) {
        loadStateFile(stateSlotFileName(requests.loadSlot));
        requests.loadSlot = 0;
    }
    if (!requests.scheduledLoad.empty()) {
        loadStateFile(requests.scheduledLoad);
        requests.scheduledLoad.clear();
    }
}
