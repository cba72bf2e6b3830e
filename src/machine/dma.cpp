#include "machine/dma.h"

// No channel can be started until the DMA control registers act on writes, so the scheduler
// never calls this with a channel active.
void runDmaSlice() {}
