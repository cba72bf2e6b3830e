#include "support/test_support.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/run_state.h"
#include "common/settings.h"
#include "cpu/poll_loops.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/wait_states.h"

const char* const runnerSoundConfig = "INPUT=KEYBOARD\r\nENABLESOUND=YES\r\n"
                                      "KEYUP=200\r\nKEYDOWN=208\r\nKEYLEFT=203\r\nKEYRIGHT=205\r\n"
                                      "KEYA=44\r\nKEYB=45\r\nKEYSELECT=14\r\nKEYSTART=28\r\n"
                                      "KEYL=30\r\nKEYR=31\r\n";

void resetTestMachine() {
    std::memset(&gba, 0, sizeof gba);
    std::memset(&settings, 0, sizeof settings);
    std::memset(keyMap, 0, sizeof keyMap);
    runState = RunState{};
    disarmPollLoop();
    installMemoryHandlers();
    initWaitStates();
    initIoMasks();
}

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quarvend-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    path_ = pattern;
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

namespace {

bool capabilities(__user_cap_data_struct* data, bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

constexpr u32 permissionOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

} // namespace

PermissionsEnforced::PermissionsEnforced() {
    __user_cap_data_struct data[2] = {};
    if (!capabilities(data, false) || !(data[0].effective & permissionOverrides)) {
        return;
    }
    savedEffective_ = data[0].effective;
    data[0].effective &= ~permissionOverrides;
    changed_ = capabilities(data, true);
}

PermissionsEnforced::~PermissionsEnforced() {
    __user_cap_data_struct data[2] = {};
    if (changed_ && capabilities(data, false)) {
        data[0].effective = savedEffective_;
        capabilities(data, true);
    }
}

std::string readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<u8> readBinaryFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<u8>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

void writeFile(const std::filesystem::path& path, const std::vector<u8>& contents) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
}

std::filesystem::path programPath(const std::string& name) {
    return std::filesystem::path(QUARVEND_ROM_DIR) / name;
}
