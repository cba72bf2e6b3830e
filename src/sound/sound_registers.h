// Sound register side effects: the state that I/O writes hand to the sound channels and to
// the host's sound buffers.
#pragma once

#include "common/types.h"

// The tone sides' master volumes as the program last wrote them through SOUNDCNT_L (bits 0-2
// and 4-6), which the register does not keep, and whether each has gone to its host buffer:
// until then the buffer plays at the start-up volume. Part of a saved state, so that a loaded
// state sounds as it did.
struct SoundVolumes {
    u16 masterRight; // the volume of psgLeftBuffer
    u16 masterLeft;  // the volume of psgRightBuffer
    bool rightSent;
    bool leftSent;
};

extern SoundVolumes soundVolumes;

// Gives the two tone buffers the volumes soundVolumes records (after a state load).
void restoreSoundVolumes();

void soundControlLowWritten(u32 value);  // SOUNDCNT_L
void soundControlHighWritten(u32 value); // SOUNDCNT_H
void soundControlXWritten(u32 value);    // SOUNDCNT_X, before the store
void waveControlWritten(u32 value);      // SOUND3CNT_L

// SOUND1CNT_X, SOUND2CNT_H, SOUND3CNT_X, SOUND4CNT_H, before the store: a restart (bit 15)
// while the master enable is on turns the channel's status bit STATUSBIT on at once, and the
// next synthesis starts the channel; while the master is off it is dropped. Returns the value
// to store.
u32 soundRestartWritten(u16 statusBit, u32 value);
