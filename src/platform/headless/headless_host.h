// Controls of the headless host for tests and tools.
#pragma once

#include "machine/types.h"

void headlessAdvanceClock(u32 milliseconds);
