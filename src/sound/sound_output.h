// Sound output: four looping 8-bit mono buffers on the host, hard left and right, two for the
// FIFOs and two for the tone channels, written 735 bytes per frame at a shared offset. Where
// the host plays the buffers from a cursor that moves in real time, the writing keeps a short,
// steady distance ahead of it: a frame's samples are stretched or squeezed by a few bytes when
// the distance drifts, and the offset moves when the distance is lost altogether.
#pragma once

#include "common/types.h"

constexpr u32 samplesPerFrame = 735;
// Where each frame's bytes go, ahead of the device's cursor: two frames (33 ms), so that a
// frame is heard 33 to 50 ms after it was made, with room for a frame that comes late.
constexpr u32 soundLeadBytes = 2 * samplesPerFrame;

// The volume of all four host buffers until the program sets the tone sides' master volumes.
constexpr s32 soundStartVolume = -280;

struct SoundOutputState {
    u32 writeOffset; // where the next frame's bytes go in each host buffer
    // How far the writing runs ahead of the device's cursor, averaged over a few frames, and
    // the bytes per frame that make up for a device playing a little faster or slower than the
    // frames come (both in bytes).
    float leadAverage;
    float driftBytes;
};

extern SoundOutputState soundOutput;

// Returns 1 on success (and at once when sound is off), 0 when a set-up step fails.
int initSound();
void soundFrame();
void shutdownSound();
// Stops the host's buffers while the game is paused or fast-forwarded, so the player hears
// nothing, and plays them on from where they stopped when HELD is clear again. The frames'
// sound is still made and written meanwhile.
void holdSound(bool held);
