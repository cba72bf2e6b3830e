// Noise channel 4: a linear-feedback shift register of 15 or 7 bits (SOUND4CNT_H bit 3),
// shifted at 524288 / r / 2^(s+1) Hz, with the envelope, length and restart of the tone
// channels (SOUND4CNT_L as SOUND2CNT_L, SOUND4CNT_H bits 14-15 as SOUND2CNT_H's). Its state
// is ToneChannels::noise; its levels go to the fourth tone frame buffer.
#pragma once

// Fills channel 4's frame buffer for one frame, after a pending restart; part of
// synthesiseTones.
void synthesiseNoise();
