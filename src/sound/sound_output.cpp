#include "sound/sound_output.h"

#include <algorithm>
#include <cmath>
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

// The player's pause or fast-forward holds the buffers stopped (not emulated state).
bool soundHeld;

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

// Puts the frame's 735 bytes into a looping buffer as COUNT bytes from the write offset on,
// each byte repeated or left out evenly where COUNT differs, so the wave goes on without a
// jump.
void putFrame(u8* buffer, const u8* frame, u32 count) {
    u32 at = soundOutput.writeOffset;
    if (count == samplesPerFrame) {
        u32 first = std::min(count, soundBufferBytes - at);
        std::memcpy(buffer + at, frame, first);
        std::memcpy(buffer, frame + first, count - first);
        return;
    }
    u32 source = 0, step = 0;
    for (u32 i = 0; i < count; ++i) {
        buffer[at] = frame[source];
        at = at + 1 == soundBufferBytes ? 0 : at + 1;
        for (step += samplesPerFrame; step >= count; step -= count) {
            ++source;
        }
    }
}

// Writes this frame's bytes of a left/right buffer pair: silence while the master enable is
// off, else the mix. A buffer that cannot be locked skips the pair for this frame; the other
// one is unlocked again with nothing written, so no lock is left held.
void writeBufferPair(int leftBuffer, int rightBuffer, void (*mix)(u8*, u8*), u32 count) {
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
    u8 frameLeft[samplesPerFrame];
    u8 frameRight[samplesPerFrame];
    if (!(ioRegister(io::SOUNDCNT_X) & 0x80)) {
        std::memset(frameLeft, silence, samplesPerFrame);
        std::memset(frameRight, silence, samplesPerFrame);
    } else {
        mix(frameLeft, frameRight);
    }
    putFrame(left, frameLeft, count);
    putFrame(right, frameRight, count);
    hostUnlockSoundBuffer(leftBuffer, soundOutput.writeOffset, count);
    hostUnlockSoundBuffer(rightBuffer, soundOutput.writeOffset, count);
}

// Beyond this lead (80 ms), or behind the cursor, the distance has not drifted but is lost (the
// window was inactive, the machine stalled): the write offset moves instead.
constexpr s32 farthestLead = 3528;
// At most this many bytes more or fewer per frame (6.5 %), so the pitch never moves far, and
// at most 36 (5 %) of them for a device's steady pace.
constexpr float largestCorrection = 48.0f;
constexpr float largestDrift = 36.0f;

// How many bytes this frame puts into each buffer. The frame's 735 samples (twice that at half
// speed, where each frame lasts twice as long) become a few more when the device's cursor runs
// ahead of where the writing expects it, a few fewer when it falls behind: a proportional part
// for the averaged distance and an accumulated part for a device that plays steadily faster or
// slower than the frames come.
u32 bytesForFrame() {
    u32 cursor = hostSoundPlayPosition(fifoLeftBuffer);
    if (cursor >= soundBufferBytes) {
        return samplesPerFrame; // the host takes the bytes as they come
    }
    u32 nominal = settings.halfSpeed ? 2 * samplesPerFrame : samplesPerFrame;
    s32 lead =
        static_cast<s32>((soundOutput.writeOffset + soundBufferBytes - cursor) % soundBufferBytes);
    if (lead > static_cast<s32>(soundBufferBytes / 2)) {
        lead -= static_cast<s32>(soundBufferBytes);
    }
    if (lead < 0 || lead > farthestLead) {
        soundOutput.writeOffset = (cursor + soundLeadBytes) % soundBufferBytes;
        soundOutput.leadAverage = soundLeadBytes;
        return nominal;
    }
    soundOutput.leadAverage += (static_cast<float>(lead) - soundOutput.leadAverage) / 8.0f;
    float error = soundOutput.leadAverage - static_cast<float>(soundLeadBytes);
    // Only a distance within two frames of its aim tells the device's pace; a stall or a burst
    // of frames would wind the drift up and overshoot.
    if (std::abs(error) < static_cast<float>(soundLeadBytes)) {
        soundOutput.driftBytes =
            std::clamp(soundOutput.driftBytes + error / 4000.0f, -largestDrift, largestDrift);
    }
    float correction =
        std::clamp(error / 30.0f + soundOutput.driftBytes, -largestCorrection, largestCorrection);
    return static_cast<u32>(static_cast<s32>(nominal) - std::lround(correction));
}

} // namespace

int initSound() {
    soundHeld = false;
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
        // The first frame goes to offset 0, the lead ahead of where playing starts.
        hostSetSoundPosition(buffer, soundBufferBytes - soundLeadBytes);
        if (u8* bytes = hostLockSoundBuffer(buffer)) {
            std::memset(bytes, silence, soundBufferBytes);
            hostUnlockSoundBuffer(buffer, 0, soundBufferBytes);
        }
    }
    soundOutput.writeOffset = 0;
    soundOutput.leadAverage = soundLeadBytes;
    soundOutput.driftBytes = 0;
    debugLog("Sound Output Start\n");
    return 1;
}

void soundFrame() {
    if (!settings.enableSound) {
        return;
    }
    synthesiseTones();
    u32 count = bytesForFrame();
    writeBufferPair(fifoLeftBuffer, fifoRightBuffer, mixFifos, count);
    writeBufferPair(psgLeftBuffer, psgRightBuffer, mixToneSides, count);
    soundOutput.writeOffset = (soundOutput.writeOffset + count) % soundBufferBytes;
    if (runState.framesRendered == 1 && !soundHeld) {
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

// The buffers first play at the end of frame 1; before that there is nothing to stop.
void holdSound(bool held) {
    soundHeld = held;
    if (!settings.enableSound || runState.framesRendered == 0) {
        return;
    }
    for (int buffer = 0; buffer < 4; ++buffer) {
        if (held) {
            hostStopSound(buffer);
        } else {
            hostPlaySound(buffer);
        }
    }
}
