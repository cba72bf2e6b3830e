// Little-endian loads and stores on byte arrays. memcpy keeps them free of aliasing and
// alignment faults; the compiler turns each into a single move.
#pragma once

#include <cstring>

#include "common/types.h"

inline u16 load16(const void* p) {
    u16 v;
    std::memcpy(&v, p, 2);
    return v;
}

inline u32 load32(const void* p) {
    u32 v;
    std::memcpy(&v, p, 4);
    return v;
}

inline u64 load64(const void* p) {
    u64 v;
    std::memcpy(&v, p, 8);
    return v;
}

inline void store16(void* p, u16 v) {
    std::memcpy(p, &v, 2);
}

inline void store32(void* p, u32 v) {
    std::memcpy(p, &v, 4);
}
