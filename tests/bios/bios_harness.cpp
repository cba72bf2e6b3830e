#include "bios/bios_harness.h"

#include <gtest/gtest.h>

#include "common/run_state.h"
#include "machine/bus.h"
#include "machine/frame.h"
#include "machine/gba_system.h"
#include "machine/memory_access.h"
#include "support/gba_program.h"

namespace {

constexpr u32 callListOffset = 0x100000; // 0x08100000
constexpr u32 resultsAddress = 0x03001000;
constexpr u32 callsKept = 0xD0E;

} // namespace

std::string biosImagePath() {
    return QUARVEND_BIOS_IMAGE;
}

void writeCallList(const std::vector<BiosCall>& calls) {
    u8* list = gba.GamePakRom + callListOffset;
    for (const BiosCall& call : calls) {
        const u32 words[8] = {call.number, call.caller, call.r0,          call.r1,
                              call.r2,     call.r3,     call.timerReload, call.options};
        for (u32 word : words) {
            store32(list, word);
            list += 4;
        }
    }
    store32(list, 0xFFFFFFFF);
}

void prepareCalls(const std::vector<BiosCall>& calls) {
    prepareProgram("bios_caller.gba", biosImagePath());
    writeCallList(calls);
    runState.emulationRunning = 1;
}

void runOneFrame() {
    runFrame(0);
}

bool runCalls(u32 maxFrames) {
    for (u32 frame = 0; frame < maxFrames; ++frame) {
        runOneFrame();
        if (resultWord(0) == resultFinished) {
            return true;
        }
    }
    return false;
}

BiosResult callResult(size_t index) {
    u32 base = resultsAddress + static_cast<u32>(index) * 32;
    return BiosResult{readWord(base),      readWord(base + 4),  readWord(base + 8),
                      readWord(base + 12), readWord(base + 16), readWord(base + 20),
                      readWord(base + 24), readWord(base + 28)};
}

std::vector<BiosResult> runAndCheck(const std::vector<BiosCall>& calls, u32 maxFrames) {
    prepareCalls(calls);
    EXPECT_TRUE(runCalls(maxFrames)) << "the program did not finish its calls";
    std::vector<BiosResult> results;
    for (size_t index = 0; index < calls.size(); ++index) {
        const BiosCall& call = calls[index];
        BiosResult result = callResult(index);
        std::string context = "call " + std::to_string(index) + ": SWI " +
                              std::to_string(call.number) + " from " +
                              (call.caller == fromThumb ? "THUMB" : "ARM");
        EXPECT_EQ(result.done, callsKept) << context;
        EXPECT_EQ(result.r2, call.r2) << context;
        EXPECT_EQ(result.changed, 0u) << context << " changed r4-r11";
        // N and C as the caller set them, System mode, ARM state, IRQs enabled, same SP.
        EXPECT_EQ(result.cpsr, 0xA000001Fu) << context;
        results.push_back(result);
    }
    return results;
}

std::vector<BiosCall> fromBoth(const BiosCall& call) {
    BiosCall arm = call;
    arm.caller = fromArm;
    BiosCall thumb = call;
    thumb.caller = fromThumb;
    return {arm, thumb};
}

void writeBytes(u32 address, const std::vector<u8>& bytes) {
    for (u8 byte : bytes) {
        busWrite8(address++, byte);
    }
}

std::vector<u8> readBytes(u32 address, u32 count) {
    std::vector<u8> bytes(count);
    for (u32 index = 0; index < count; ++index) {
        bytes[index] = static_cast<u8>(busRead8(address + index));
    }
    return bytes;
}

void writeWord(u32 address, u32 value) {
    busWrite32(address, value);
}

u32 readWord(u32 address) {
    return busRead32(address);
}
