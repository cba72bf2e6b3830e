// The project's own free boot image (bios/), built into the program so that the console has
// working exception handlers even without a "GBA.BIOS" file. The build generates its
// definition from the assembled image.
#pragma once

#include "common/types.h"
#include "machine/gba_system.h"

extern const u8 builtInBootImage[biosSize];
