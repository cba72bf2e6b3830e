// Sound output: four looping 8-bit mono buffers on the host, hard left and right, two for the
// FIFOs and two for the tone channels, written 735 bytes per frame at a shared offset.
#pragma once

#include "common/types.h"

constexpr u32 samplesPerFrame = 735;

extern u32 soundWriteOffset;

// Returns 1 on success (and at once when sound is off), 0 when a set-up step fails.
int initSound();
void soundFrame();
void shutdownSound();
