#include "machine/timers.h"

// No timer can be enabled until the timer control registers act on writes, so the scheduler
// never calls this.
void stepTimers() {}
