// The high score in the cartridge's battery RAM: a signature, the score and a check byte.
// Battery RAM sits on an 8-bit bus, so it is read and written a byte at a time, by code that
// runs from internal RAM as the cartridge bus is busy with the access.
#include "demo.h"

static const u8 signature[4] = {'Q', 'V', 'H', 'S'};

// Tells tools that inspect cartridge images which save memory this one uses.
__attribute__((used)) static const char save_type[] = "SRAM_V110";

static void sram_read(u8* dest, u32 offset, u32 count) IWRAM_CODE;
static void sram_read(u8* dest, u32 offset, u32 count) {
    for (u32 i = 0; i < count; ++i) {
        dest[i] = SRAM[offset + i];
    }
}

static void sram_write(u32 offset, const u8* source, u32 count) IWRAM_CODE;
static void sram_write(u32 offset, const u8* source, u32 count) {
    for (u32 i = 0; i < count; ++i) {
        SRAM[offset + i] = source[i];
    }
}

static u8 check_byte(const u8* score) {
    return (u8)((score[0] + score[1] + score[2] + score[3]) ^ 0xA5);
}

// A new cartridge, or battery RAM that holds something else, has a high score of 0.
u32 hiscore_load(void) {
    u8 record[9];
    sram_read(record, 0, sizeof record);
    for (int i = 0; i < 4; ++i) {
        if (record[i] != signature[i]) {
            return 0;
        }
    }
    if (record[8] != check_byte(record + 4)) {
        return 0;
    }
    return record[4] | (record[5] << 8) | (record[6] << 16) | ((u32)record[7] << 24);
}

void hiscore_store(u32 score) {
    u8 record[9] = {signature[0],      signature[1],      signature[2],
                    signature[3],      (u8)score,         (u8)(score >> 8),
                    (u8)(score >> 16), (u8)(score >> 24), 0};
    record[8] = check_byte(record + 4);
    sram_write(0, record, sizeof record);
}
