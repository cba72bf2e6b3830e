// The Windows host's sound through DirectSound: a stereo primary buffer and the four looping
// 8-bit mono 44100 Hz secondary buffers, each one second long, with pan and volume control.
// DirectSound plays them on its own; the core writes 735 bytes per frame into each.
#include "platform/win32/win32_host.h"

#include <dsound.h>

namespace {

IDirectSound* soundObject;
IDirectSoundBuffer* primaryBuffer;
IDirectSoundBuffer* buffers[4];

// Each buffer is locked whole between hostLockSoundBuffer and hostUnlockSoundBuffer.
struct LockedBuffer {
    void* bytes;
    DWORD length;
};
LockedBuffer locks[4];

constexpr DWORD sampleRate = 44100;
constexpr LONG primaryVolume = -800;

WAVEFORMATEX pcmFormat(WORD channels) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = 8;
    format.nBlockAlign = channels;
    format.nAvgBytesPerSec = sampleRate * channels;
    return format;
}

bool createPrimaryBuffer() {
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(soundObject->CreateSoundBuffer(&description, &primaryBuffer, nullptr))) {
        primaryBuffer = nullptr;
        return false;
    }
    return true;
}

bool setPrimaryFormat() {
    WAVEFORMATEX format = pcmFormat(2);
    return primaryBuffer && SUCCEEDED(primaryBuffer->SetFormat(&format));
}

// Static buffers with pan and volume control; the primary then starts playing for good.
bool createSecondaryBuffers() {
    WAVEFORMATEX format = pcmFormat(1);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    description.dwBufferBytes = soundBufferBytes;
    description.lpwfxFormat = &format;
    for (IDirectSoundBuffer*& buffer : buffers) {
        if (FAILED(soundObject->CreateSoundBuffer(&description, &buffer, nullptr))) {
            buffer = nullptr;
            return false;
        }
    }
    if (primaryBuffer) {
        primaryBuffer->SetVolume(primaryVolume); // refused without volume control; harmless
        primaryBuffer->Play(0, 0, DSBPLAY_LOOPING);
    }
    return true;
}

IDirectSoundBuffer* bufferAt(int buffer) {
    return buffer >= 0 && buffer < 4 ? buffers[buffer] : nullptr;
}

// A lost buffer (another program took the device) is restored once before giving up.
HRESULT lockWhole(IDirectSoundBuffer* buffer, LockedBuffer& lock) {
    void* second = nullptr;
    DWORD secondLength = 0;
    HRESULT result = buffer->Lock(0, soundBufferBytes, &lock.bytes, &lock.length, &second,
                                  &secondLength, DSBLOCK_ENTIREBUFFER);
    if (result == DSERR_BUFFERLOST && SUCCEEDED(buffer->Restore())) {
        result = buffer->Lock(0, soundBufferBytes, &lock.bytes, &lock.length, &second,
                              &secondLength, DSBLOCK_ENTIREBUFFER);
    }
    if (SUCCEEDED(result) && lock.length < soundBufferBytes) {
        buffer->Unlock(lock.bytes, lock.length, second, secondLength);
        result = DSERR_INVALIDCALL;
    }
    if (FAILED(result)) {
        lock = {};
    }
    return result;
}

} // namespace

bool setUpSound(HostStep step) {
    if (step == HostStep::soundCreate) {
        hostCloseSound();
        return SUCCEEDED(DirectSoundCreate(nullptr, &soundObject, nullptr));
    }
    if (!soundObject) {
        return false;
    }
    switch (step) {
    case HostStep::soundCooperativeLevel:
        return SUCCEEDED(soundObject->SetCooperativeLevel(mainWindow, DSSCL_PRIORITY));
    case HostStep::soundPrimaryBuffer: return createPrimaryBuffer();
    case HostStep::soundPrimaryFormat: return setPrimaryFormat();
    case HostStep::soundSecondaryBuffers: return createSecondaryBuffers();
    default: return false;
    }
}

void hostCloseSound() {
    if (primaryBuffer) {
        primaryBuffer->Stop();
        releaseInterface(primaryBuffer);
    }
    for (int i = 0; i < 4; ++i) {
        if (buffers[i]) {
            if (locks[i].bytes) {
                buffers[i]->Unlock(locks[i].bytes, locks[i].length, nullptr, 0);
            }
            buffers[i]->Stop();
            releaseInterface(buffers[i]);
        }
        locks[i] = {};
    }
    releaseInterface(soundObject);
}

void hostSetSoundVolume(int buffer, s32 hundredthsOfDecibel) {
    if (IDirectSoundBuffer* target = bufferAt(buffer)) {
        LONG volume = hundredthsOfDecibel < DSBVOLUME_MIN   ? DSBVOLUME_MIN
                      : hundredthsOfDecibel > DSBVOLUME_MAX ? DSBVOLUME_MAX
                                                            : hundredthsOfDecibel;
        target->SetVolume(volume);
    }
}

void hostSetSoundPan(int buffer, s32 pan) {
    if (IDirectSoundBuffer* target = bufferAt(buffer)) {
        target->SetPan(pan < DSBPAN_LEFT ? DSBPAN_LEFT : pan > DSBPAN_RIGHT ? DSBPAN_RIGHT : pan);
    }
}

void hostSetSoundPosition(int buffer, u32 position) {
    if (IDirectSoundBuffer* target = bufferAt(buffer)) {
        target->SetCurrentPosition(position % soundBufferBytes);
    }
}

void hostPlaySound(int buffer) {
    if (IDirectSoundBuffer* target = bufferAt(buffer)) {
        target->Play(0, 0, DSBPLAY_LOOPING);
    }
}

void hostStopSound(int buffer) {
    if (IDirectSoundBuffer* target = bufferAt(buffer)) {
        target->Stop();
    }
}

// A buffer still locked (its partner of the pair could not be locked last frame) is handed out
// again rather than locked twice.
u8* hostLockSoundBuffer(int buffer) {
    IDirectSoundBuffer* target = bufferAt(buffer);
    if (!target) {
        return nullptr;
    }
    LockedBuffer& lock = locks[buffer];
    if (!lock.bytes && FAILED(lockWhole(target, lock))) {
        return nullptr;
    }
    return static_cast<u8*>(lock.bytes);
}

// DirectSound's write cursor: the bytes before it are already on their way to the speakers.
u32 hostSoundPlayPosition(int buffer) {
    IDirectSoundBuffer* target = bufferAt(buffer);
    DWORD play = 0, write = 0;
    if (!target || FAILED(target->GetCurrentPosition(&play, &write))) {
        return soundBufferBytes;
    }
    return write % soundBufferBytes;
}

void hostUnlockSoundBuffer(int buffer, u32, u32) {
    IDirectSoundBuffer* target = bufferAt(buffer);
    if (!target || !locks[buffer].bytes) {
        return;
    }
    target->Unlock(locks[buffer].bytes, locks[buffer].length, nullptr, 0);
    locks[buffer] = {};
}
