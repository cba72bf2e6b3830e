// CRC-32 (the polynomial of zip and PNG), for telling whole files and images apart.
#pragma once

#include <cstddef>

#include "common/types.h"

// The CRC-32 of SIZE bytes at DATA; pass the result of one call as CRC to go on over more.
u32 crc32(const void* data, size_t size, u32 crc = 0);
