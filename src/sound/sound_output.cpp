#include "sound/sound_output.h"

#include <cstring>

#include "common/log.h"
#include "common/run_state.h"
#include "common/settings.h"
#include "machine/io_registers.h"
#include "platform/host.h"
#include "sound/fifo.h"
#include "sound/tone_channels.h"

SoundOutputState soundOutput;

namespace {

constexpr u8 silence = 0x80;

// A FIFO that produced fewer samples than the frame needs holds its current ring byte.
void padFifoFrame(SoundFifo& fifo) {
    while (fifo.frameSampleCount < samplesPerFrame) {
        fifo.frameBuffer[fifo.frameSampleCount++] = static_cast<s8>(fifo.ring[fifo.readIndex]);
    }
}

void mixFifos(u8* left, u8* right) {
    u16 control = ioRegister(io::SOUNDCNT_H);
    padFifoFrame(soundFifos[0]);
    padFifoFrame(soundFifos[1]);
    const s8* a = soundFifos[0].frameBuffer;
    const s8* b = soundFifos[1].frameBuffer;
    // Sums wrap modulo 256 without clipping; the DMA sound volume bits are not applied.
    for (u32 i = 0; i < samplesPerFrame; ++i) {
        u8 l = silence, r = silence;
        if (control & 0x0100) {
            r = static_cast<u8>(r - a[i]);
        }
        if (control & 0x0200) {
            l = static_cast<u8>(l - a[i]);
        }
        if (control & 0x1000) {
            r = static_cast<u8>(r - b[i]);
        }
        if (control & 0x2000) {
            l = static_cast<u8>(l - b[i]);
        }
        left[i] = l;
        right[i] = r;
    }
}

// SOUNDCNT_H bits 0-1 shift the tone sum right by 2, 1 or 0 and centre it on 0x80; the
// prohibited value 3 leaves the signed levels as they are.
constexpr u32 ratioShift[4] = {2, 1, 0, 0};
constexpr u8 ratioCentre[4] = {silence, silence, silence, 0};

void mixTones(u8* target, u16 enables) {
    u32 active = ioRegister(io::SOUNDCNT_X) & enables & 0xF;
    s32 levels[samplesPerFrame] = {};
    for (u32 channel = 0; channel < 4; ++channel) {
        if (active & (1u << channel)) {
            const s8* buffer = toneChannels.frameBuffers[channel];
            for (u32 i = 0; i < samplesPerFrame; ++i) {
                levels[i] += buffer[i];
            }
        }
    }
    u32 ratio = ioRegister(io::SOUNDCNT_H) & 3;
    for (u32 i = 0; i < samplesPerFrame; ++i) {
        target[i] = static_cast<u8>((levels[i] >> ratioShift[ratio]) + ratioCentre[ratio]);
    }
}

void mixToneSides(u8* left, u8* right) {
    u16 routing = ioRegister(io::SOUNDCNT_L);
    mixTones(left, (routing >> 12) & 0xF);
    mixTones(right, (routing >> 8) & 0xF);
}

// Writes this frame's 735 bytes of a left/right buffer pair: silence while the master enable
// is off, else the mix. A buffer that cannot be locked skips the pair for this frame; the
// other one is unlocked again with nothing written, so no lock is left held.
void writeBufferPair(int leftBuffer, int rightBuffer, void (*mix)(u8*, u8*)) {
    u8* left = hostLockSoundBuffer(leftBuffer);
    u8* right = hostLockSoundBuffer(rightBuffer);
    if (!left || !right) {
        if (left) {
            hostUnlockSoundBuffer(leftBuffer, soundOutput.writeOffset, 0);
        }
        if (right) {
            hostUnlockSoundBuffer(rightBuffer, soundOutput.writeOffset, 0);
        }
        return;
    }
    left += soundOutput.writeOffset;
    right += soundOutput.writeOffset;
    if (!(ioRegister(io::SOUNDCNT_X) & 0x80)) {
        std::memset(left, silence, samplesPerFrame);
        std::memset(right, silence, samplesPerFrame);
    } else {
        mix(left, right);
    }
    hostUnlockSoundBuffer(leftBuffer, soundOutput.writeOffset, samplesPerFrame);
    hostUnlockSoundBuffer(rightBuffer, soundOutput.writeOffset, samplesPerFrame);
}

} // namespace

int initSound() {
    if (!settings.enableSound) {
        return 1;
    }
    debugLog("\nStart to initialize DirectSound...\n");
    if (!hostSetUp(HostStep::soundCreate)) {
        debugLog("Unable to create DirectSound object!\n");
        return 0;
    }
    debugLog("Direct Sound Object Created\n");
    if (!hostSetUp(HostStep::soundCooperativeLevel)) {
        debugLog("Fail to set cooperative level\n");
        return 0;
    }
    if (!hostSetUp(HostStep::soundPrimaryBuffer)) {
        debugLog("Fail to create primary sound buffer\n");
        return 0;
    }
    if (!hostSetUp(HostStep::soundPrimaryFormat)) {
        debugLog("Fail to set primary sound buffer format\n");
        return 0;
    }
    debugLog("Primary Buffer Established\n");
    debugLog("Buffer Size:");
    debugLogInt(static_cast<s32>(soundBufferBytes));
    debugLog("\n");
    if (!hostSetUp(HostStep::soundSecondaryBuffers)) {
        return 0;
    }
    for (int buffer = 0; buffer < 4; ++buffer) {
        bool leftSide = buffer == fifoLeftBuffer || buffer == psgLeftBuffer;
        hostSetSoundPan(buffer, leftSide ? -10000 : 10000);
        hostStopSound(buffer);
    }
    debugLog("Sound Channels Created\n");
    for (int buffer = 0; buffer < 4; ++buffer) {
        hostSetSoundVolume(buffer, soundStartVolume);
        hostSetSoundPosition(buffer, 40000);
        if (u8* bytes = hostLockSoundBuffer(buffer)) {
            std::memset(bytes, silence, soundBufferBytes);
            hostUnlockSoundBuffer(buffer, 0, soundBufferBytes);
        }
    }
    soundOutput.writeOffset = 0;
    debugLog("Sound Output Start\n");
    return 1;
}

void soundFrame() {
    if (!settings.enableSound) {
        return;
    }
    synthesiseTones();
    writeBufferPair(fifoLeftBuffer, fifoRightBuffer, mixFifos);
    writeBufferPair(psgLeftBuffer, psgRightBuffer, mixToneSides);
    soundOutput.writeOffset += samplesPerFrame;
    if (soundOutput.writeOffset >= soundBufferBytes) {
        soundOutput.writeOffset = 0;
    }
    if (runState.framesRendered == 1) {
        for (int buffer = 0; buffer < 4; ++buffer) {
            hostPlaySound(buffer);
        }
    }
}

void shutdownSound() {
    if (!settings.enableSound) {
        return;
    }
    debugLog("\nUninitialize DirectSound...");
    for (int buffer = 0; buffer < 4; ++buffer) {
        hostStopSound(buffer);
    }
    hostCloseSound();
    debugLog("complete.");
}
