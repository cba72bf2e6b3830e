#include "configcentre/core/rom_browser.h"

#include <filesystem>

#include "configcentre/core/file_access.h"

namespace fs = std::filesystem;

std::string openFolder(CentreForm& form, RomBrowser& browser, const std::string& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    if (error) {
        return "Cannot open the folder " + folder + " (" + error.message() + ")";
    }
    std::vector<std::string> chain = foldersDownTo(absolute.string());
    const std::string shown = chain.back();
    FolderListing listing = listFolder(shown);
    if (!listing.readable) {
        return "Cannot open the folder " + shown + " (" + listing.error + ")";
    }
    if (shown != browser.folder) {
        leaveRom(form);
    }
    browser.folder = shown;
    browser.chain = std::move(chain);
    browser.subfolders = std::move(listing.folders);
    browser.files = std::move(listing.files);
    return {};
}

void setListedKinds(RomBrowser& browser, bool listBin, bool listGba) {
    browser.pattern = filePattern(listBin, listGba, browser.pattern);
}

std::vector<std::string> listedFiles(const RomBrowser& browser) {
    std::vector<std::string> shown;
    for (const std::string& name : browser.files) {
        if (matchesPattern(name, browser.pattern)) {
            shown.push_back(name);
        }
    }
    return shown;
}

std::string chooseListedRom(CentreForm& form, const RomBrowser& browser,
                            const SaveMethodTable& methods, const std::string& name) {
    return chooseRom(form, methods, joinPath(browser.folder, name));
}

std::string goToPath(CentreForm& form, RomBrowser& browser, const SaveMethodTable& methods,
                     std::string_view typed) {
    const TypedPath path = resolveTypedPath(typed, browser.folder);
    if (!path.found) {
        return path.error;
    }
    std::string message = openFolder(form, browser, path.folder);
    if (!message.empty() || path.fileName.empty()) {
        return message;
    }
    return chooseListedRom(form, browser, methods, path.fileName);
}

std::string restoreLastChoice(CentreForm& form, RomBrowser& browser, const SaveMethodTable& methods,
                              const std::string& lastFolder, const std::string& lastRom,
                              const std::string& currentFolder) {
    std::error_code error;
    // A folder that has gone since is forgotten without a word.
    if (lastFolder.empty() || !fs::is_directory(lastFolder, error) ||
        !openFolder(form, browser, lastFolder).empty()) {
        openFolder(form, browser, currentFolder);
        return {};
    }
    if (lastRom.empty() || !fs::is_regular_file(lastRom, error)) {
        return {};
    }
    const fs::path rom = fs::absolute(lastRom, error).lexically_normal();
    if (rom.parent_path().string() != browser.folder) {
        return {};
    }
    return chooseListedRom(form, browser, methods, rom.filename().string());
}

std::string pathFieldText(const CentreForm& form, const RomBrowser& browser) {
    return form.noRomSelected || form.romPath.empty() ? browser.folder : form.romPath;
}

std::string listedRomName(const CentreForm& form, const RomBrowser& browser) {
    if (form.romPath.empty()) {
        return {};
    }
    const fs::path rom(form.romPath);
    if (rom.parent_path().string() != browser.folder) {
        return {};
    }
    const std::string name = rom.filename().string();
    return matchesPattern(name, browser.pattern) ? name : std::string();
}
