// The four DMA channels.
#pragma once

// Moves data for one 64-cycle slice on the active channel.
void runDmaSlice();
