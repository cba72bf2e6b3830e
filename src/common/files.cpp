#include "common/files.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32

bool isRegular(const struct _stat64& status) {
    return (status.st_mode & _S_IFMT) == _S_IFREG;
}

// Named pipes and devices answer to file names too; only a disk file is a regular file.
bool isDiskFile(int descriptor) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
}

FileKind kindOfStatus(const char* path) {
    struct _stat64 status;
    if (_stat64(path, &status) != 0) {
        return errno == ENOENT ? FileKind::missing : FileKind::other;
    }
    return isRegular(status) ? FileKind::regular : FileKind::other;
}

#else

FileKind kindOfStatus(int result, const struct stat& status) {
    if (result != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? FileKind::missing : FileKind::other;
    }
    if (S_ISLNK(status.st_mode)) {
        return FileKind::link;
    }
    return S_ISREG(status.st_mode) ? FileKind::regular : FileKind::other;
}

// The folder that holds PATH, for syncing a rename into it.
std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

#endif

} // namespace

#ifdef _WIN32

std::FILE* openRegularFile(const char* path) {
    // Device names such as CON or COM1 are no regular files and are never opened.
    if (kindOfStatus(path) != FileKind::regular) {
        errno = ENOENT;
        return nullptr;
    }
    int descriptor = _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (descriptor < 0) {
        return nullptr;
    }
    struct _stat64 status;
    if (_fstat64(descriptor, &status) != 0 || !isRegular(status) || !isDiskFile(descriptor)) {
        _close(descriptor);
        errno = ENOENT;
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "rb");
    if (!file) {
        _close(descriptor);
    }
    return file;
}

std::FILE* openRegularFileForWriting(const char* path, bool append) {
    if (kindOfStatus(path) == FileKind::other) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path, append ? "a" : "w");
    if (file && !isDiskFile(_fileno(file))) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

std::FILE* createNewFile(const char* path) {
    int descriptor = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                           _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "wb");
    if (!file) {
        _close(descriptor);
    }
    return file;
}

FileKind fileKindOf(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return FileKind::link;
    }
    return kindOfStatus(path);
}

FileKind targetKindOf(const char* path) {
    return kindOfStatus(path);
}

bool closeDurably(std::FILE* file) {
    bool flushed = std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
    return std::fclose(file) == 0 && flushed;
}

bool replaceDurably(const std::string& from, const std::string& to) {
    // Write-through returns only once the move is on the disk.
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

unsigned long processNumber() {
    return static_cast<unsigned long>(_getpid());
}

#else

std::FILE* openRegularFile(const char* path) {
    // Checked before opening: opening some devices does something by itself.
    struct stat status;
    if (stat(path, &status) != 0) {
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        errno = ENOENT;
        return nullptr;
    }
    // Without blocking, in case a FIFO took the file's place since the check.
    int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        errno = ENOENT;
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file) {
        close(descriptor);
    }
    return file;
}

std::FILE* openRegularFileForWriting(const char* path, bool append) {
    struct stat status;
    if (stat(path, &status) == 0 && !S_ISREG(status.st_mode)) {
        return nullptr;
    }
    int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int descriptor = open(path, flags | (append ? O_APPEND : O_TRUNC), 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, append ? "a" : "w");
    if (!file) {
        close(descriptor);
    }
    return file;
}

std::FILE* createNewFile(const char* path) {
    int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        close(descriptor);
    }
    return file;
}

FileKind fileKindOf(const char* path) {
    struct stat status;
    int result = lstat(path, &status);
    return kindOfStatus(result, status);
}

FileKind targetKindOf(const char* path) {
    struct stat status;
    int result = stat(path, &status);
    return kindOfStatus(result, status);
}

bool closeDurably(std::FILE* file) {
    bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    return std::fclose(file) == 0 && flushed;
}

bool replaceDurably(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    // The new name lives in the folder: sync it, or a crash may bring the old file back. Some
    // file systems cannot sync a folder; the rename has happened all the same.
    int folder = open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

unsigned long processNumber() {
    return static_cast<unsigned long>(getpid());
}

#endif

std::FILE* createTemporaryFileBeside(const std::string& file, std::string& temporary) {
    static unsigned long writeNumber = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = file + "." + std::to_string(processNumber()) + "-" +
                    std::to_string(++writeNumber) + ".tmp";
        if (std::FILE* out = createNewFile(temporary.c_str())) {
            return out;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

bool replaceFileWhole(const std::string& path, const void* data, size_t size) {
    FileKind kind = fileKindOf(path.c_str());
    if (kind != FileKind::regular && kind != FileKind::missing) {
        return false;
    }
    std::string temporary;
    std::FILE* out = createTemporaryFileBeside(path, temporary);
    if (!out) {
        return false;
    }
    bool written = std::fwrite(data, 1, size, out) == size;
    written = closeDurably(out) && written;
    if (!written || !replaceDurably(temporary, path)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool readWholeFile(const char* path, std::vector<unsigned char>& contents) {
    std::FILE* file = openRegularFile(path);
    if (!file) {
        return false;
    }
    unsigned char buffer[0x4000];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, file)) {
        contents.insert(contents.end(), buffer, buffer + got);
    }
    bool readOk = !std::ferror(file);
    std::fclose(file);
    return readOk;
}
