// Sound register side effects: the state that I/O writes hand to the sound channels and to
// the host's sound buffers.
#pragma once

#include "common/types.h"

// Copies of SOUNDCNT_L bits 0-2 and 4-6 as last sent to the host (the register keeps neither).
extern u16 masterVolumeRight;
extern u16 masterVolumeLeft;

void soundControlLowWritten(u32 value);  // SOUNDCNT_L
void soundControlHighWritten(u32 value); // SOUNDCNT_H
void soundControlXWritten(u32 value);    // SOUNDCNT_X, before the store
void waveControlWritten(u32 value);      // SOUND3CNT_L
