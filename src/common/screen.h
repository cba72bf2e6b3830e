// The console's screen: 240x160 visible pixels. The renderers draw 256-pixel lines, of which
// the first 240 are shown.
#pragma once

#include "common/types.h"

constexpr u32 screenWidth = 240;
constexpr u32 screenHeight = 160;
constexpr u32 renderWidth = 256;
constexpr u32 renderHeight = screenHeight;
