// Sound output: four looping 8-bit mono buffers on the host, hard left and right, two for the
// FIFOs and two for the tone channels, written 735 bytes per frame at a shared offset.
#pragma once

#include "common/types.h"

constexpr u32 samplesPerFrame = 735;

// The volume of all four host buffers until the program sets the tone sides' master volumes.
constexpr s32 soundStartVolume = -280;

struct SoundOutputState {
    u32 writeOffset; // where the next frame's 735 bytes go in each host buffer
};

extern SoundOutputState soundOutput;

// Returns 1 on success (and at once when sound is off), 0 when a set-up step fails.
int initSound();
void soundFrame();
void shutdownSound();
