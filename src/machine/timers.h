// The four timers.
#pragma once

// Advances the enabled timers by one 64-cycle slice.
void stepTimers();
