// The four looping sound buffers as the audio thread plays them, and the mixing of them into
// 16-bit stereo. Shared between the emulation thread, which writes the bytes and sets volume,
// pan, position and play, and the audio thread, which reads them: every field is atomic, so
// neither thread ever waits for the other.
#pragma once

#include <atomic>

#include "common/types.h"
#include "platform/host.h"

struct SoundStream {
    std::atomic<u8> bytes[soundBufferBytes]; // unsigned 8-bit, 0x80 silence
    std::atomic<u32> cursor;                 // the next byte played
    std::atomic<s32> volume;                 // hundredths of a decibel, 0 full
    std::atomic<s32> pan;                    // -10000 left only .. +10000 right only
    std::atomic<bool> playing;
};

struct SoundStreams {
    SoundStream stream[4];
};

// Back to four silent, stopped buffers at position 0, full volume, centred.
void resetSoundStreams(SoundStreams& streams);

// Fills FRAMES stereo frames (left, right) with the sum of the playing buffers, each scaled by
// its volume and pan, and advances their cursors by FRAMES bytes: one byte per frame, as the
// buffers and the output both run at 44100 per second. Each byte taken becomes silence again,
// so that a buffer the emulator stops writing falls silent instead of repeating its last second.
void mixSoundStreams(SoundStreams& streams, s16* out, u32 frames);

// The console's channels put out levels above zero only (the wave channel), so the mix carries
// a constant offset that a loudspeaker should not get. A high-pass filter at about 3 Hz, as
// the capacitor at the console's output, takes it away. The first sound would start with a
// jump to its offset, a pop: it fades in over 20 ms instead, as does sound after a second of
// silence. Used by the audio thread only; a state of zeros is the start of the output.
struct OutputCentring {
    float lastInput[2];
    float lastOutput[2];
    u32 silentFrames; // how long the input has been silent, up to the fade's trigger
    u32 fadeFrames;   // how far the fade-in has come, up to its end
};
void centreSoundOutput(OutputCentring& state, s16* out, u32 frames);
