// Files and folders as the settings program reaches them: regular files opened without ever
// waiting on a FIFO or a device, files replaced whole, folder listings, file patterns and the
// paths a user types. Paths are the system's own 8-bit text.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

enum class FileState { open, missing, notRegular, failed };

// Opens path for binary reading when it is a regular file (or a link to one). Anything else
// (a FIFO, a device, a folder) is not opened, so reading can never block. error says why a
// file was not opened.
FileState openRegularFile(const std::string& path, std::FILE*& file, std::string& error);

struct FileText {
    FileState state = FileState::missing;
    std::string bytes;
    std::string error;
};

// The whole of a regular file, or its last maxBytes when tail is set.
FileText readRegularFile(const std::string& path, std::size_t maxBytes, bool tail = false);

// Replaces path with bytes: written beside it and renamed over it, so a reader sees the old
// file or the new one, never a part. A link is followed to its target when the target is a
// regular file or does not exist yet; a path that is something else (a FIFO, a device, a
// folder) is left alone. Returns an empty text on success, else why the file was not written.
std::string replaceFile(const std::string& path, std::string_view bytes);

struct FolderListing {
    bool readable = false;
    std::string error;
    std::vector<std::string> folders; // names in name order ignoring case, hidden ones left out
    std::vector<std::string> files;   // regular files and links to them, likewise
};

FolderListing listFolder(const std::string& folder);

// True when name matches one of the ';'-separated patterns ("*.BIN;*.GBA"), in any letter
// case; '*' stands for any run of characters and '?' for one.
bool matchesPattern(std::string_view name, std::string_view patterns);

// The file list's pattern for the two check boxes "List .BIN files" and "List .GBA files";
// with neither checked the pattern stays as it was.
std::string filePattern(bool listBin, bool listGba, const std::string& current);

// The folders from the root down to folder (absolute), folder last.
std::vector<std::string> foldersDownTo(const std::string& folder);

// folder and name joined by one separator.
std::string joinPath(const std::string& folder, const std::string& name);

// What a typed or pasted path names: a folder, or a file in a folder. Blanks, enclosing
// quotes and a "file://" prefix are taken off; a relative path is taken from currentFolder.
struct TypedPath {
    bool found = false;
    std::string folder;
    std::string fileName; // empty when the path names a folder
    std::string error;
};

TypedPath resolveTypedPath(std::string_view text, const std::string& currentFolder);
