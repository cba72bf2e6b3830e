// Pixel loops worth building twice: once for AVX2, which does sixteen 16-bit pixels per step,
// and once for the baseline; the dynamic loader picks one by the processor (a GNU indirect
// function). Where the loader has no such functions (Windows), only the baseline is built.
#pragma once

#if defined(__linux__) && defined(__x86_64__)
#define WIDE_VECTOR_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define WIDE_VECTOR_CLONES
#endif
