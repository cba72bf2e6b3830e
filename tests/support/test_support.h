// Helpers shared by the test suites: a clean machine, a scratch working directory and files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/types.h"

// Clears the whole machine and the settings, then fills the bus and cost tables and writes
// the power-on I/O values, as start-up does before the CPU runs.
void resetTestMachine();

// Makes a fresh temporary directory the current directory for the life of the object.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// While it lives, the file permissions hold for this thread even when it runs as root (it gives
// up the capabilities that override them), so read-only folders and unreadable files act as
// they do for a player.
class PermissionsEnforced {
  public:
    PermissionsEnforced();
    ~PermissionsEnforced();
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

  private:
    u32 savedEffective_ = 0;
    bool changed_ = false;
};

std::string readTextFile(const std::filesystem::path& path);
std::vector<u8> readBinaryFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& contents);
void writeFile(const std::filesystem::path& path, const std::vector<u8>& contents);

// A "Quarvend.CFG" with the headless runner's default keys and sound on.
extern const char* const runnerSoundConfig;

// Path of a program built from roms/ (for example "arm_alu.gba").
std::filesystem::path programPath(const std::string& name);
