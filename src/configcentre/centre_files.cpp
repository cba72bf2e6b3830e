// Build step: writes the files the settings program finds beside the programs. "save-list CSV
// OUT" writes the save-method list from the game-code table; "default-config OUT" writes the
// settings program's first-start file (firstStartSettings), unless OUT already exists (it holds
// the user's settings then).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "configcentre/core/config_text.h"
#include "configcentre/core/save_method_list.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "centre_files: %s\n", message.c_str());
    return 1;
}

bool readWhole(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return static_cast<bool>(in);
}

// Written beside the target and renamed over it, so an interrupted build leaves no half file.
bool writeWhole(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

int writeSaveList(const char* csvPath, const char* outPath) {
    std::string csv;
    if (!readWhole(csvPath, csv)) {
        return fail(std::string("cannot read ") + csvPath);
    }
    std::vector<SaveMethodRecord> records;
    std::string error;
    if (!parseSaveTypesCsv(csv, records, error)) {
        return fail(std::string(csvPath) + ": " + error);
    }
    if (!writeWhole(outPath, saveMethodListText(records))) {
        return fail(std::string("cannot write ") + outPath);
    }
    return 0;
}

int writeDefaultConfig(const char* outPath) {
    if (std::filesystem::exists(outPath)) {
        return 0;
    }
    if (!writeWhole(outPath, configText(firstStartSettings()))) {
        return fail(std::string("cannot write ") + outPath);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "save-list" && argc == 4) {
        return writeSaveList(argv[2], argv[3]);
    }
    if (mode == "default-config" && argc == 3) {
        return writeDefaultConfig(argv[2]);
    }
    return fail("usage: centre_files save-list CSV OUT | default-config OUT");
}
