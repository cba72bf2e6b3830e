// Calls into the boot image's software interrupt functions (THUMB numbering).
#pragma once

#include "gba.h"

// THUMB code gives the number in the instruction's low byte, ARM code in bits 16-23.
#if defined(__thumb__)
#define SWI_NUMBER(n) "swi " #n
#else
#define SWI_NUMBER(n) "swi " #n " << 16"
#endif

// Sleeps until the next vertical blank interrupt has been served.
static inline void VBlankIntrWait(void) {
    __asm__ volatile(SWI_NUMBER(0x05)::: "r0", "r1", "r2", "r3", "memory");
}

// One group of sprite matrix parameters: scales in 8.8, angle in 1/65536 turns.
typedef struct {
    s16 scaleX;
    s16 scaleY;
    u16 angle;
    u16 padding;
} ObjAffineSource;

// Writes COUNT matrices to DEST, one parameter every STRIDE bytes (8 for OAM).
static inline void ObjAffineSet(const ObjAffineSource* source, volatile void* dest, u32 count,
                                u32 stride) {
    register const ObjAffineSource* r0 __asm__("r0") = source;
    register volatile void* r1 __asm__("r1") = dest;
    register u32 r2 __asm__("r2") = count;
    register u32 r3 __asm__("r3") = stride;
    __asm__ volatile(SWI_NUMBER(0x0F) : "+r"(r0), "+r"(r1), "+r"(r2), "+r"(r3) : : "memory");
}

// CpuFastSet: copies (or fills, with bit 24 of MODE) words in blocks of eight.
static inline void CpuFastSet(const void* source, volatile void* dest, u32 mode) {
    register const void* r0 __asm__("r0") = source;
    register volatile void* r1 __asm__("r1") = dest;
    register u32 r2 __asm__("r2") = mode;
    __asm__ volatile(SWI_NUMBER(0x0C) : "+r"(r0), "+r"(r1), "+r"(r2) : : "r3", "memory");
}
#define CPUFASTSET_FILL 0x01000000
