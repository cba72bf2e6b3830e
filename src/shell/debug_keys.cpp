#include "shell/debug_keys.h"

#include <cstdio>

#include "common/log.h"
#include "common/run_state.h"
#include "machine/bus.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "shell/save_states.h"
#include "shell/startup.h"
#include "video/line_renderers.h"

const char* const dumpVideoRamFile = "DumpVRAM.bin";
const char* const dumpMemoryFile = "DumpMEM.bin";
const char* const dumpPaletteFile = "DumpPAL.bin";
const char* const dumpObjectAttributesFile = "DumpOAM.bin";

namespace {

constexpr u32 videoRamStart = 0x06000000;
constexpr u32 paletteStart = 0x05000000;
constexpr u32 objectAttributesStart = 0x07000000;
// The stretch of internal work RAM that the memory dump covers.
constexpr u32 memoryDumpStart = 0x03006280;
constexpr u32 memoryDumpSize = 0x200;

void logRegister(const char* label, u32 offset) {
    debugLog(label);
    debugLogHex16(ioRegister(offset));
}

// A 32-bit DMA address kept as two halfwords, written high half first.
void logAddress(const char* label, u32 lowOffset) {
    debugLog(label);
    debugLogHex16(ioRegister(lowOffset + 2));
    debugLogHex16(ioRegister(lowOffset));
}

// Reads through the bus, as the CPU would see the memory, and writes the bytes unchanged.
// A file that cannot be created is skipped without a word.
void dumpBusRange(const char* fileName, u32 start, u32 size) {
    std::FILE* file = std::fopen(fileName, "wb");
    if (!file) {
        return;
    }
    u8 chunk[1024];
    for (u32 done = 0; done < size; done += sizeof chunk) {
        u32 length = size - done < sizeof chunk ? size - done : sizeof chunk;
        for (u32 i = 0; i < length; ++i) {
            chunk[i] = static_cast<u8>(busRead8(start + done + i));
        }
        std::fwrite(chunk, 1, length, file);
    }
    std::fclose(file);
}

void logSoundRegisters() {
    logRegister("\nSGCNT0L:", io::SOUNDCNT_L);
    logRegister("  CNT0H:", io::SOUNDCNT_H);
    logRegister("  CNT1:", io::SOUNDCNT_X);
}

void logVideoState() {
    logRegister("\nDISPCNT:", io::DISPCNT);
    logRegister("\nBG0:", io::BG0CNT);
    logRegister("\nBG1:", io::BG0CNT + 2);
    logRegister("\nBG2:", io::BG2CNT);
    logRegister("\nBG3:", io::BG2CNT + 2);
    logRegister(" BLDMOD:", io::BLDCNT);
    logRegister(" COLEV:", io::COLEV);
    for (u16 layer : videoLine.priorityLayer) {
        debugLog("  ");
        debugLogInt(layer);
    }
    // Any of the window enable bits 13-15.
    if ((ioRegister(io::DISPCNT) >> 8) > 0x1F) {
        debugLog("\nWINONf:");
    }
    logRegister("\nDMACNT:", io::DMA0CNT_H);
    logRegister("   ", io::DMA1CNT_H);
    logRegister("   ", io::DMA2CNT_H);
    logRegister("   ", io::DMA3CNT_H);
    logCpuState();
    dumpVideoRam();
    dumpPalette();
    dumpObjectAttributes();
}

void logDmaAddresses() {
    logAddress("\nDMA1 Sour:", io::DMA1SAD);
    logAddress("  Targ:", io::DMA1DAD);
    logRegister("  CNTH:", io::DMA1CNT_H);
    logAddress("\nDMA2 Sour:", io::DMA2SAD);
    logAddress("  Targ:", io::DMA2DAD);
    logRegister("  CNTH:", io::DMA2CNT_H);
    logRegister("\nDMA0 CNT:", io::DMA0CNT_H);
    dumpMemory();
}

} // namespace

void escapePressed() {
    debugLog("\nTotal Frame:");
    debugLogInt(static_cast<s32>(runState.framesRendered));
    debugLog("\nSkipped:");
    debugLogInt(static_cast<s32>(runState.framesSkipped));
    debugLog("\nVia ESC\n");
    shutdownEmulator();
}

void debugKeyPressed(u8 code) {
    if (code >= dik::f1 && code <= dik::f4) {
        const u32 slot = code - dik::f1 + 1u;
        if (shiftHeld()) {
            requestStateSave(slot);
        } else {
            requestStateLoad(slot);
        }
        return;
    }
    switch (code) {
    case dik::f8: runState.resyncRequested = 1; break;
    case dik::f9: logSoundRegisters(); break;
    case dik::f10: debugLog("\nSTARTLOG"); break;
    case dik::f11: logVideoState(); break;
    case dik::f12: logDmaAddresses(); break;
    case dik::sysRq: runState.screenshotRequested = 1; break;
    default: break;
    }
}

void logCpuState() {
    debugLog(" Fr:");
    debugLogInt(static_cast<s32>(runState.framesRendered));
    debugLog(" SL:");
    debugLogInt(ioRegister(io::VCOUNT));
    debugLog("  CPSR:");
    debugLogHex32(gba.cpu.cpsr);
    debugLog("  PC:");
    debugLogHex32(gba.cpu.registers[15]);
}

void dumpVideoRam() {
    dumpBusRange(dumpVideoRamFile, videoRamStart, videoRamSize);
    logRegister("\nBG0CNT:", io::BG0CNT);
}

void dumpPalette() {
    dumpBusRange(dumpPaletteFile, paletteStart, paletteSize);
}

void dumpObjectAttributes() {
    dumpBusRange(dumpObjectAttributesFile, objectAttributesStart, oamSize);
}

void dumpMemory() {
    dumpBusRange(dumpMemoryFile, memoryDumpStart, memoryDumpSize);
}
