// Interrupt handlers of the project's C programs (see irq.s).
#pragma once

#include "gba.h"

typedef void (*IrqHandler)(void);

// One handler per IE/IF bit (0 VBlank ... 13 game pak); null entries are skipped.
extern IrqHandler irq_handlers[14];
