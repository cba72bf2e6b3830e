// 16-colour tile rows turned into colours eight pixels at a time with byte shuffles (SSSE3):
// the 16 colours of a palette bank fit one shuffle table for their low bytes and one for their
// high bytes, so a row of eight 4-bit indices needs two shuffles instead of eight look-ups.
// Chosen at run time: the scalar look-ups stay for processors without SSSE3 and for the tests
// that hold the two paths to the same results.
#pragma once

#include "common/types.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QUARVEND_TILE_VECTORS 1
#else
#define QUARVEND_TILE_VECTORS 0
#endif
// 256-bit vectors only outside Windows, whose stacks GCC does not keep aligned for them.
#if QUARVEND_TILE_VECTORS && !defined(_WIN32)
#define QUARVEND_WIDE_TILE_VECTORS 1
#else
#define QUARVEND_WIDE_TILE_VECTORS 0
#endif

// True where the processor has SSSE3 (found out at start-up) and the vector paths are in use;
// the tests clear it to run the scalar paths.
extern bool tileVectorsEnabled;
// True where 256-bit vectors are built and the processor has AVX2: two tile rows at a time.
extern bool wideTileVectorsEnabled;

#if QUARVEND_TILE_VECTORS
// Eight colours of the 16-colour row ROW (left pixel in the lowest nibble) through BANKBYTES
// (the bank's 16 low bytes, then its 16 high bytes) into OUT.
[[gnu::target("ssse3")]] inline void expandTileRow16(u16* out, u32 row, const u8* bankBytes) {
    const __m128i nibbleMask = _mm_set1_epi8(0x0F);
    const __m128i packed = _mm_cvtsi32_si128(static_cast<int>(row));
    const __m128i low = _mm_and_si128(packed, nibbleMask);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(packed, 4), nibbleMask);
    // Indices in pixel order: byte 2k holds pixel 2k (low nibble), byte 2k+1 pixel 2k+1.
    const __m128i indices = _mm_unpacklo_epi8(low, high);
    const __m128i lowBytes =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bankBytes)), indices);
    const __m128i highBytes = _mm_shuffle_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(bankBytes + 16)), indices);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(lowBytes, highBytes));
}

#if QUARVEND_WIDE_TILE_VECTORS
// Sixteen colours of two 16-colour rows, ROW0 then ROW1, each through its own bank's tables,
// with AVX2: the two halves of a 256-bit shuffle hold one bank each.
[[gnu::target("avx2")]] inline void expandTileRows16Twice(u16* out, u32 row0, const u8* bankBytes0,
                                                          u32 row1, const u8* bankBytes1) {
    const __m128i nibbleMask = _mm_set1_epi8(0x0F);
    const __m128i packed = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(row0)),
                                              _mm_cvtsi32_si128(static_cast<int>(row1)));
    const __m128i low = _mm_and_si128(packed, nibbleMask);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(packed, 4), nibbleMask);
    const __m128i indices = _mm_unpacklo_epi8(low, high); // row 0's eight, then row 1's
    const __m256i laneIndices = _mm256_set_m128i(_mm_srli_si128(indices, 8), indices);
    const __m256i lowTables = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(bankBytes1),
                                                  reinterpret_cast<const __m128i*>(bankBytes0));
    const __m256i highTables =
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(bankBytes1 + 16),
                            reinterpret_cast<const __m128i*>(bankBytes0 + 16));
    const __m256i lowBytes = _mm256_shuffle_epi8(lowTables, laneIndices);
    const __m256i highBytes = _mm256_shuffle_epi8(highTables, laneIndices);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_unpacklo_epi8(lowBytes, highBytes));
}
#endif
#endif
