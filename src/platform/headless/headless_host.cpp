// The headless host: no window and no devices. The clock is virtual, so runs are repeatable:
// it advances only when the emulator sleeps or a test moves it.
#include "platform/headless/headless_host.h"

#include "platform/host.h"

namespace {
u32 virtualClock = 0;
} // namespace

u32 hostMilliseconds() { return virtualClock; }

void hostSleep(u32 milliseconds) { virtualClock += milliseconds; }

void headlessAdvanceClock(u32 milliseconds) { virtualClock += milliseconds; }
