// The "ROM List" frame as plain data: the folder shown, the directory list Dir1 (the folders
// from the root down to it, then its sub-folders), the file list File1 (the folder's files
// that match the pattern of the two list boxes) and the path field, with the procedures behind
// their events. Paths are the system's own 8-bit text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "configcentre/core/centre_form.h"

struct RomBrowser {
    std::string folder;                  // absolute; empty until a folder was shown
    std::vector<std::string> chain;      // the folders from the root down to folder, folder last
    std::vector<std::string> subfolders; // names of folder's folders
    std::vector<std::string> files;      // names of all its files; File1 shows those that match
    std::string pattern = "*.BIN;*.GBA";
};

// Drive1_Change, Dir1_Change: shows folder in the lists. A folder that cannot be read leaves
// them as they were and returns the status-line message. Another folder than the one shown
// clears the chosen ROM's details.
std::string openFolder(CentreForm& form, RomBrowser& browser, const std::string& folder);

// Check_ListBIN_Click, Check_ListGBA_Click (applyFilePattern).
void setListedKinds(RomBrowser& browser, bool listBin, bool listGba);

// The names File1 shows, in name order.
std::vector<std::string> listedFiles(const RomBrowser& browser);

// File1_Click on a name of the folder shown (chooseRom, with its message).
std::string chooseListedRom(CentreForm& form, const RomBrowser& browser,
                            const SaveMethodTable& methods, const std::string& name);

// The path field's Enter and "Browse...": a typed or pasted folder moves the lists there; a
// file moves them to its folder and chooses it.
std::string goToPath(CentreForm& form, RomBrowser& browser, const SaveMethodTable& methods,
                     std::string_view typed);

// Form_Load's folder: the one remembered from the last run while it still exists, with the
// ROM remembered when that is still a file in it; else currentFolder. Returns the ROM's
// message.
std::string restoreLastChoice(CentreForm& form, RomBrowser& browser, const SaveMethodTable& methods,
                              const std::string& lastFolder, const std::string& lastRom,
                              const std::string& currentFolder);

// The path field's text: the chosen ROM's path, else the folder shown.
std::string pathFieldText(const CentreForm& form, const RomBrowser& browser);

// The file name of the chosen ROM when File1 lists it, else empty.
std::string listedRomName(const CentreForm& form, const RomBrowser& browser);
