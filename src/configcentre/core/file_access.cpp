#include "configcentre/core/file_access.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* notRegularText = "not a regular file";

char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    auto lower = [](char x, char y) { return lowerCase(x) < lowerCase(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lower)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lower)) {
        return false;
    }
    return a < b;
}

bool wildcardMatch(std::string_view name, std::string_view pattern) {
    if (pattern.empty()) {
        return name.empty();
    }
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (wildcardMatch(name.substr(skip), pattern.substr(1))) {
                return true;
            }
        }
        return false;
    }
    if (name.empty()) {
        return false;
    }
    if (pattern.front() != '?' && lowerCase(pattern.front()) != lowerCase(name.front())) {
        return false;
    }
    return wildcardMatch(name.substr(1), pattern.substr(1));
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                             text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = lowerCase(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A file manager's "file:///home/me/my%20roms" as a path.
std::string pathOfFileUrl(std::string_view url) {
    std::string path;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && hexDigit(url[i + 1]) >= 0 &&
            hexDigit(url[i + 2]) >= 0) {
            path += static_cast<char>(hexDigit(url[i + 1]) * 16 + hexDigit(url[i + 2]));
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

// The path without a separator at its end, except for a root.
fs::path withoutTrailingSeparator(fs::path path) {
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// Follows links to the path that is finally written; a link that points nowhere yet gives
// the path it points to.
fs::path finalTarget(fs::path path) {
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++hops) {
        fs::path next = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

#ifdef _WIN32

std::string writeThenRename(const fs::path& target, std::string_view bytes) {
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return std::strerror(errno);
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return error.message();
    }
    return {};
}

#else

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file keeps the old one's permissions; a first file gets those the umask allows.
mode_t modeFor(const fs::path& target) {
    struct stat old;
    if (::stat(target.c_str(), &old) == 0) {
        return old.st_mode & 07777;
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string writeThenRename(const fs::path& target, std::string_view bytes) {
    std::string temporary = target.string() + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return std::strerror(errno);
    }
    std::string failure;
    if (::fchmod(fd, modeFor(target)) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0) {
        failure = std::strerror(errno);
    }
    if (::close(fd) != 0 && failure.empty()) {
        failure = std::strerror(errno);
    }
    if (failure.empty() && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = std::strerror(errno);
    }
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return failure;
    }
    syncFolder(target.parent_path());
    return {};
}

#endif

} // namespace

FileState openRegularFile(const std::string& path, std::FILE*& file, std::string& error) {
    file = nullptr;
#ifdef _WIN32
    std::error_code statusError;
    fs::file_status status = fs::status(path, statusError);
    if (!fs::exists(status)) {
        error = statusError ? statusError.message() : std::strerror(ENOENT);
        return FileState::missing;
    }
    if (!fs::is_regular_file(status)) {
        error = notRegularText;
        return FileState::notRegular;
    }
    file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::strerror(errno);
        return FileState::failed;
    }
    return FileState::open;
#else
    // Opening a FIFO for reading waits for a writer unless it is opened without blocking.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return errno == ENOENT || errno == ENOTDIR ? FileState::missing : FileState::failed;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = notRegularText;
        ::close(fd);
        return FileState::notRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file = ::fdopen(fd, "rb");
    if (!file) {
        error = std::strerror(errno);
        ::close(fd);
        return FileState::failed;
    }
    return FileState::open;
#endif
}

FileText readRegularFile(const std::string& path, std::size_t maxBytes, bool tail) {
    FileText result;
    std::FILE* file = nullptr;
    result.state = openRegularFile(path, file, result.error);
    if (result.state != FileState::open) {
        return result;
    }
    std::size_t size = maxBytes;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::min(maxBytes, static_cast<std::size_t>(std::max(std::ftell(file), 0L)));
        std::fseek(file, tail ? -static_cast<long>(size) : 0, tail ? SEEK_END : SEEK_SET);
    }
    result.bytes.resize(size);
    result.bytes.resize(std::fread(result.bytes.data(), 1, size, file));
    if (std::ferror(file)) {
        result.state = FileState::failed;
        result.error = std::strerror(errno);
        result.bytes.clear();
    }
    std::fclose(file);
    return result;
}

std::string replaceFile(const std::string& path, std::string_view bytes) {
    const fs::path target = finalTarget(path);
    std::error_code error;
    fs::file_status status = fs::status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return notRegularText;
    }
    return writeThenRename(target, bytes);
}

FolderListing listFolder(const std::string& folder) {
    FolderListing listing;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name.front() == '.') {
            continue;
        }
        if (entries->is_directory(typeError)) {
            listing.folders.push_back(name);
        } else if (entries->is_regular_file(typeError)) {
            listing.files.push_back(name);
        }
    }
    if (error) {
        listing.error = error.message();
        listing.folders.clear();
        listing.files.clear();
        return listing;
    }
    std::sort(listing.folders.begin(), listing.folders.end(), lessIgnoringCase);
    std::sort(listing.files.begin(), listing.files.end(), lessIgnoringCase);
    listing.readable = true;
    return listing;
}

bool matchesPattern(std::string_view name, std::string_view patterns) {
    while (!patterns.empty()) {
        std::size_t end = patterns.find(';');
        std::string_view pattern = trimmed(patterns.substr(0, end));
        patterns.remove_prefix(end == std::string_view::npos ? patterns.size() : end + 1);
        if (!pattern.empty() && wildcardMatch(name, pattern)) {
            return true;
        }
    }
    return false;
}

std::string filePattern(bool listBin, bool listGba, const std::string& current) {
    if (listBin && listGba) {
        return "*.BIN;*.GBA";
    }
    if (listBin) {
        return "*.BIN";
    }
    if (listGba) {
        return "*.GBA";
    }
    return current;
}

std::vector<std::string> foldersDownTo(const std::string& folder) {
    const fs::path path = withoutTrailingSeparator(fs::absolute(folder));
    std::vector<std::string> chain;
    fs::path walked;
    for (const fs::path& part : path) {
        walked /= part;
        // The root name of a Windows path ("C:") is not a folder of its own.
        if (walked == path.root_name() && path.has_root_directory()) {
            continue;
        }
        chain.push_back(walked.string());
    }
    return chain;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return (fs::path(folder) / name).string();
}

TypedPath resolveTypedPath(std::string_view text, const std::string& currentFolder) {
    TypedPath result;
    text = trimmed(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    std::string typed(text);
    if (text.starts_with("file://")) {
        typed = pathOfFileUrl(text.substr(7));
    }
    if (typed.empty()) {
        result.error = "Type a folder or a ROM file";
        return result;
    }
    const char* home = std::getenv("HOME");
    if (home && (typed == "~" || typed.starts_with("~/"))) {
        typed = home + typed.substr(1);
    }
    fs::path path(typed);
    if (path.is_relative()) {
        path = fs::path(currentFolder) / path;
    }
    path = withoutTrailingSeparator(path);
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
        result.found = true;
        result.folder = path.string();
    } else if (fs::is_regular_file(status)) {
        result.found = true;
        result.folder = path.parent_path().string();
        result.fileName = path.filename().string();
    } else if (fs::exists(status)) {
        result.error = typed + " is neither a folder nor a regular file";
    } else {
        result.error = "No folder or file " + typed;
    }
    return result;
}
