#include "cart/rom_loader.h"

#include <cstdio>
#include <cstring>

#include "cart/built_in_boot_image.h"
#include "common/files.h"
#include "common/log.h"
#include "common/settings.h"
#include "machine/gba_system.h"

u32 romSize = 0;

namespace {

// The image is read in 32 KB chunks; a chunk that reaches the end of the file is not counted
// unless it is the only one, so odd-sized images are rounded down to a whole chunk.
constexpr u32 romChunkSize = 0x8000;
constexpr u32 fourMegabytes = 0x400000;
constexpr u32 eightMegabytes = 0x800000;

// Counts the chunks read into GamePakRom. Returns false on a read error. Stops at the end of
// the buffer; `tooLarge` tells whether the file went on past it.
bool readRomChunks(std::FILE* file, u32& chunksCounted, bool& tooLarge) {
    chunksCounted = 0;
    tooLarge = false;
    for (;;) {
        u32 offset = chunksCounted * romChunkSize;
        if (offset == gamePakSize) {
            // The buffer is full: one more byte means the file is larger than a game pak.
            int next = std::fgetc(file);
            if (next != EOF) {
                tooLarge = true;
                return true;
            }
            // An exactly full buffer counts like any exact multiple: one empty read at the end.
            ++chunksCounted;
            return !std::ferror(file);
        }
        u8* chunk = gba.GamePakRom + offset;
        std::size_t got = std::fread(chunk, 1, romChunkSize, file);
        if (std::ferror(file)) {
            return false;
        }
        std::memset(chunk + got, 0, romChunkSize - got);
        ++chunksCounted;
        if (got < romChunkSize) {
            return true;
        }
    }
}

// Zeroes GamePakRom from BEGIN to the end but writes only the 4 KB blocks that hold data: the
// blocks never written stay untouched zero pages, so a small image does not commit 32 MB.
void clearGamePakFrom(u32 begin) {
    constexpr u32 block = 0x1000;
    u32 firstWhole = (begin + block - 1) & ~(block - 1);
    std::memset(gba.GamePakRom + begin, 0, firstWhole - begin);
    for (u32 offset = firstWhole; offset < gamePakSize; offset += block) {
        const u8* bytes = gba.GamePakRom + offset;
        u64 any = 0;
        for (u32 i = 0; i < block; i += 8) {
            u64 word;
            std::memcpy(&word, bytes + i, 8);
            any |= word;
        }
        if (any) {
            std::memset(gba.GamePakRom + offset, 0, block);
        }
    }
}

// 4 MB and 8 MB images repeat through the whole 32 MB game pak space.
void mirrorRom() {
    if (romSize == fourMegabytes) {
        std::memcpy(gba.GamePakRom + fourMegabytes, gba.GamePakRom, fourMegabytes);
    }
    if (romSize == fourMegabytes || romSize == eightMegabytes) {
        std::memcpy(gba.GamePakRom + eightMegabytes, gba.GamePakRom, eightMegabytes);
        std::memcpy(gba.GamePakRom + 2 * eightMegabytes, gba.GamePakRom, 2 * eightMegabytes);
    }
}

void logRomSize(bool tooLarge) {
    debugLog("\nLoad ROM:");
    debugLogInt(static_cast<s32>(romSize >> 10));
    debugLog("KB\n");
    debugLog("GamePakROMSize=");
    debugLogHex32(romSize);
    if (tooLarge) {
        debugLog("\nROM larger than 32 MB: only the first 32 MB loaded");
    }
}

} // namespace

int loadRom(const char* path) {
    romSize = 0;
    std::FILE* file = openRegularFile(path);
    if (!file) {
        return 0;
    }
    u32 chunksCounted = 0;
    bool tooLarge = false;
    bool readOk = readRomChunks(file, chunksCounted, tooLarge);
    std::fclose(file);

    u32 filledEnd = chunksCounted * romChunkSize;
    if (filledEnd > gamePakSize) {
        filledEnd = gamePakSize;
    }
    if (!readOk) {
        // A directory or an unreadable file: nothing of it stays in the game pak.
        std::memset(gba.GamePakRom, 0, filledEnd);
        return 0;
    }
    // Bytes past the image read as 0 unless the mirroring below defines them.
    clearGamePakFrom(filledEnd);

    if (tooLarge) {
        romSize = gamePakSize;
    } else {
        u32 counted = chunksCounted * romChunkSize;
        romSize = counted > romChunkSize ? counted - romChunkSize : counted;
    }
    logRomSize(tooLarge);
    mirrorRom();
    return 1;
}

void loadBios() {
    // The settings field may fill its whole buffer without a terminating zero.
    char name[sizeof settings.biosFileName + 1] = {};
    std::memcpy(name, settings.biosFileName, sizeof settings.biosFileName);
    if (name[0] == 0) {
        std::strcpy(name, "GBA.BIOS");
    }
    size_t got = 0;
    std::FILE* file = openRegularFile(name);
    if (file) {
        got = std::fread(gba.BiosRom, 1, biosSize, file);
        if (std::ferror(file)) {
            got = 0; // an unreadable image is treated like a missing one
        }
        std::fclose(file);
    }
    if (got < biosSize) {
        // Without a whole image the console would run on zeros from the first interrupt on.
        std::memcpy(gba.BiosRom, builtInBootImage, biosSize);
        debugLog("\nGBA.BIOS not found or short: using the built-in boot image");
        return;
    }
    debugLog("\nBIOS Image loaded");
}
