#include "support/gba_program.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "machine/gba_system.h"
#include "machine/memory_access.h"
#include "machine/scheduler.h"
#include "support/test_support.h"

namespace {

void copyImage(const std::string& name, u8* target, size_t capacity) {
    std::vector<u8> image = readBinaryFile(programPath(name));
    if (image.empty()) {
        throw std::runtime_error("test program missing or empty: " + programPath(name).string());
    }
    std::memcpy(target, image.data(), std::min(image.size(), capacity));
}

} // namespace

void prepareProgram(const std::string& name, const std::string& bootImage) {
    resetTestMachine();
    copyImage(name, gba.GamePakRom, gamePakSize);
    if (!bootImage.empty()) {
        copyImage(bootImage, gba.BiosRom, biosSize);
    }
    resetMachine();
    scheduler.sliceBudget = 0;
    scheduler.totalCycles = 0;
}

ProgramResult runProgram(const std::string& name, u32 maxCycles, const std::string& bootImage) {
    prepareProgram(name, bootImage);

    ProgramResult result{};
    while (result.cyclesRun < maxCycles) {
        cpuRun(956);
        result.cyclesRun += 956;
        if (resultWord(0) == resultFinished) {
            result.finished = true;
            break;
        }
    }
    result.failures = resultWord(4);
    result.firstFailedCase = resultWord(8);
    return result;
}

u32 resultWord(u32 offset) {
    return load32(gba.InternalRam + ((resultBlock + offset) & 0x7FFC));
}
