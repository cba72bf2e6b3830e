// Sound output: four looping 8-bit mono buffers on the host, hard left and right, two for the
// FIFOs and two for the tone channels, written 735 bytes per frame at a shared offset.
#pragma once

#include "common/types.h"

constexpr u32 samplesPerFrame = 735;

struct SoundOutputState {
    u32 writeOffset; // where the next frame's 735 bytes go in each host buffer
    // Copies of SOUNDCNT_L bits 0-2 and 4-6 as last sent to the host (the register keeps
    // neither).
    u16 masterVolumeRight;
    u16 masterVolumeLeft;
};

extern SoundOutputState soundOutput;

// Returns 1 on success (and at once when sound is off), 0 when a set-up step fails.
int initSound();
void soundFrame();
void shutdownSound();
