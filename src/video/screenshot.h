// Print Screen: the frame just drawn as a 240x160 24-bit BMP, "Shot0001.BMP" onwards.
#pragma once

#include "common/types.h"

extern u32 screenshotCounter;

constexpr u32 screenshotFileSize = 115254;
constexpr u32 screenshotImageSize = 115200;

// Writes the 160 visible lines of renderBuffer; the file name cycles through 00-99.
void saveScreenshot();
