// Print Screen: the frame just drawn as a 240x160 24-bit BMP, "Shot0001.BMP" onwards.
#pragma once

#include "common/types.h"

// The number of the last screenshot file written, 0 at start.
extern u32 screenshotCounter;

constexpr u32 screenshotFileSize = 115254;
constexpr u32 screenshotImageSize = 115200;

// Writes the 160 visible lines of renderBuffer into the first "ShotNNNN.BMP" after the last one
// written whose name is free; after Shot9999.BMP comes Shot0000.BMP. A file that cannot be
// created is skipped silently.
void saveScreenshot();
