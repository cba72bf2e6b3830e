#include "video/tile_vectors.h"

namespace {

bool processorHasByteShuffles() {
#if QUARVEND_TILE_VECTORS
    // Runs before main, where the feature bits must be read in explicitly.
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
#else
    return false;
#endif
}

bool processorHasWideShuffles() {
#if QUARVEND_WIDE_TILE_VECTORS
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

} // namespace

bool tileVectorsEnabled = processorHasByteShuffles();
bool wideTileVectorsEnabled = processorHasWideShuffles();
