// Opening and replacing the files the emulator reads and writes, so that only regular files are
// ever read or replaced: a FIFO, a device or a directory where a ROM, a boot image, a save or
// the configuration should be counts as missing, and opening one never blocks. The POSIX and
// Windows ways of doing this differ; this is the one place that knows both.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Opens PATH for binary reading when it is a regular file (links are followed). Anything else
// gives nullptr with errno ENOENT, as a missing file does; other failures leave the system's
// errno.
std::FILE* openRegularFile(const char* path);

// Opens PATH for text output, appending or emptying it, creating it when missing. Anything but a
// regular file in its place gives nullptr: nothing is written into a FIFO or a device.
std::FILE* openRegularFileForWriting(const char* path, bool append);

// Creates PATH for binary writing; nullptr with errno EEXIST when anything has that name
// already, so that no file, link, FIFO or device is ever written over.
std::FILE* createNewFile(const char* path);

// Appends the whole of the regular file PATH to CONTENTS. False when it cannot be opened (as
// openRegularFile) or read.
bool readWholeFile(const char* path, std::vector<unsigned char>& contents);

enum class FileKind { missing, regular, link, other };

// What PATH names itself, a link not followed.
FileKind fileKindOf(const char* path);
// What PATH leads to once links are followed.
FileKind targetKindOf(const char* path);

// Flushes the stream and has the system put its data on the disk, then closes it. False when
// any of it failed.
bool closeDurably(std::FILE* file);

// Renames FROM over TO in one step, then makes the rename itself durable. False when the rename
// failed; FROM is then still there.
bool replaceDurably(const std::string& from, const std::string& to);

// The number of this process, for names that no other process uses at the same time.
unsigned long processNumber();

// Creates a file of our own beside FILE for binary writing, named FILE.P-N.tmp (P the process
// number, N a count), which no other write of this process or another uses, and puts its name
// into TEMPORARY. nullptr when it cannot be created.
std::FILE* createTemporaryFileBeside(const std::string& file, std::string& temporary);

// Writes SIZE bytes at DATA as the whole of PATH in one step: into a temporary file beside it,
// put on the disk, then renamed over it, so PATH is never seen short. Only a regular file, or a
// name with nothing there yet, is replaced; never a link, a device, a FIFO or a folder. False
// when that failed; PATH is then as it was.
bool replaceFileWhole(const std::string& path, const void* data, size_t size);
