// The SDL host's sound: the core writes each frame into buffers of its own, and the written
// bytes are handed to the audio thread's streams through atomics (sound_mixer.h). The audio
// callback takes no lock that the emulation thread could be waiting on, and the emulation
// thread never waits for the callback.
#include "platform/sdl/sdl_host.h"
#include "platform/sdl/sound_mixer.h"

namespace {

SoundStreams streams;
OutputCentring centring; // the audio thread's
// What hostLockSoundBuffer hands out; only the emulation thread touches it.
u8 writeBuffers[4][soundBufferBytes];
SDL_AudioDeviceID device;
bool buffersReady;
bool deviceRunning;

constexpr int outputRate = 44100;
constexpr Uint16 callbackFrames = 512; // about 12 ms

void audioCallback(void* userdata, Uint8* stream, int length) {
    auto* shared = static_cast<SoundStreams*>(userdata);
    auto* out = reinterpret_cast<s16*>(stream);
    u32 frames = static_cast<u32>(length) / (2 * sizeof(s16));
    mixSoundStreams(*shared, out, frames);
    centreSoundOutput(centring, out, frames);
}

bool openDevice() {
    if (device) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        SDL_Log("Quarvend: no sound: %s", SDL_GetError());
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = outputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = callbackFrames;
    wanted.callback = audioCallback;
    wanted.userdata = &streams;
    // SDL converts to whatever the device takes, so the callback always sees this format.
    SDL_AudioSpec obtained;
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (!device) {
        SDL_Log("Quarvend: cannot open the sound device: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// The buffers start silent and stopped. The device starts with the first buffer the core
// plays, so that the player hears no silence of the set-up before the game's first frame.
void prepareBuffers() {
    resetSoundStreams(streams);
    centring = OutputCentring{};
    for (u8* buffer : writeBuffers) {
        SDL_memset(buffer, 0x80, soundBufferBytes);
    }
    buffersReady = true;
    deviceRunning = false;
}

bool validBuffer(int buffer) {
    return buffersReady && buffer >= 0 && buffer < 4;
}

} // namespace

bool setUpSound(HostStep step) {
    switch (step) {
    case HostStep::soundCreate: return openDevice();
    case HostStep::soundSecondaryBuffers:
        if (!device) {
            return false;
        }
        prepareBuffers();
        return true;
    default: return device != 0;
    }
}

void hostCloseSound() {
    buffersReady = false;
    deviceRunning = false;
    if (device) {
        SDL_CloseAudioDevice(device); // waits for a running callback to end
        device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void hostSetSoundVolume(int buffer, s32 hundredthsOfDecibel) {
    if (validBuffer(buffer)) {
        streams.stream[buffer].volume.store(hundredthsOfDecibel, std::memory_order_relaxed);
    }
}

void hostSetSoundPan(int buffer, s32 pan) {
    if (validBuffer(buffer)) {
        streams.stream[buffer].pan.store(pan, std::memory_order_relaxed);
    }
}

void hostSetSoundPosition(int buffer, u32 position) {
    if (validBuffer(buffer)) {
        streams.stream[buffer].cursor.store(position % soundBufferBytes, std::memory_order_relaxed);
    }
}

void hostPlaySound(int buffer) {
    if (validBuffer(buffer)) {
        streams.stream[buffer].playing.store(true, std::memory_order_relaxed);
        if (!deviceRunning) {
            deviceRunning = true;
            SDL_PauseAudioDevice(device, 0);
        }
    }
}

void hostStopSound(int buffer) {
    if (validBuffer(buffer)) {
        streams.stream[buffer].playing.store(false, std::memory_order_relaxed);
    }
}

u8* hostLockSoundBuffer(int buffer) {
    return validBuffer(buffer) ? writeBuffers[buffer] : nullptr;
}

void hostUnlockSoundBuffer(int buffer, u32 offset, u32 length) {
    if (!validBuffer(buffer) || offset >= soundBufferBytes) {
        return;
    }
    std::atomic<u8>* shared = streams.stream[buffer].bytes;
    u32 at = offset;
    for (u32 i = 0; i < length && i < soundBufferBytes; ++i) {
        shared[at].store(writeBuffers[buffer][at], std::memory_order_relaxed);
        at = at + 1 == soundBufferBytes ? 0 : at + 1;
    }
}

u32 hostSoundPlayPosition(int buffer) {
    if (!validBuffer(buffer)) {
        return soundBufferBytes;
    }
    return streams.stream[buffer].cursor.load(std::memory_order_relaxed) % soundBufferBytes;
}
