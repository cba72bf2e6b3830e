// Sound register side effects: the state that I/O writes hand to the sound channels and to
// the host's sound buffers.
#pragma once

#include "common/types.h"

void soundControlLowWritten(u32 value);  // SOUNDCNT_L
void soundControlHighWritten(u32 value); // SOUNDCNT_H
void soundControlXWritten(u32 value);    // SOUNDCNT_X, before the store
void waveControlWritten(u32 value);      // SOUND3CNT_L
