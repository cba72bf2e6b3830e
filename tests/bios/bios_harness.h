// Runs roms/bios_caller.s on the boot image built from bios/: the host lists the SWI calls,
// the program makes them from ARM or THUMB code and records what came back.
#pragma once

#include <string>
#include <vector>

#include "common/types.h"

enum Caller : u32 { fromArm = 0, fromThumb = 1, fromArmLowByte = 2 };

// Options of a call (bits 0-15: the interrupt flags at 0x03007FF8 before the call).
constexpr u32 copyWramEntry = 1u << 16;
constexpr u32 setRestartFlag = 1u << 17;
constexpr u32 enableVblankIrq = 1u << 18;

struct BiosCall {
    u32 number;
    Caller caller;
    u32 r0 = 0;
    u32 r1 = 0;
    u32 r2 = 0;
    u32 r3 = 0;
    u32 timerReload = 0; // timer 0 runs with its interrupt during the call when not 0
    u32 options = 0;
};

struct BiosResult {
    u32 r0, r1, r2, r3;
    u32 cpsr;       // bit 8 set when SP was not kept
    u32 changed;    // bit n set when r(4+n) was not kept
    u32 interrupts; // handled by the program's handler during the call
    u32 done;       // 0xD0E once recorded
};

// Where the program records its starts (the OR of r0-r12, CPSR, SP and LR at entry).
namespace entry {
constexpr u32 registersOr = 0x03000040;
constexpr u32 cpsr = 0x03000044;
constexpr u32 sp = 0x03000048;
constexpr u32 lr = 0x0300004C;
constexpr u32 count = 0x03000050;
constexpr u32 wramLr = 0x03000054;
constexpr u32 handlerR0 = 0x0300005C;
} // namespace entry

// Path of the built boot image.
std::string biosImagePath();

// Loads the program and the boot image on a fresh machine and writes the call list.
void prepareCalls(const std::vector<BiosCall>& calls);

// Replaces the call list in the loaded program (for example while it runs).
void writeCallList(const std::vector<BiosCall>& calls);

// Runs whole frames until the program finishes; false if it has not after maxFrames.
bool runCalls(u32 maxFrames = 30);

// Runs one frame.
void runOneFrame();

BiosResult callResult(size_t index);

// prepareCalls, runCalls, then checks that every call returned with the caller's registers
// (r2, r4-r11, SP), flags and mode kept. Returns the results.
std::vector<BiosResult> runAndCheck(const std::vector<BiosCall>& calls, u32 maxFrames = 30);

// The same call made from ARM and from THUMB code.
std::vector<BiosCall> fromBoth(const BiosCall& call);

// Bytes and words of the emulated memory, through the bus.
void writeBytes(u32 address, const std::vector<u8>& bytes);
std::vector<u8> readBytes(u32 address, u32 count);
void writeWord(u32 address, u32 value);
u32 readWord(u32 address);
