// Exception entry. The boot image always handles software interrupts (vector 0x08) and
// interrupts (vector 0x18); nothing is emulated at a higher level.
#pragma once

#include "common/types.h"

// Enters Supervisor mode at 0x08 and charges one cycle. POSTFLG receives 0 for comment 0x12
// and 1 for any other.
void enterSoftwareInterrupt(u32 comment);
