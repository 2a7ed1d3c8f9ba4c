#include "platform/audio_device.h"

#include <SDL.h>

#include <cstring>

namespace {
SDL_AudioDeviceID device = 0;
AudioFill fillFunction = nullptr;

void Callback(void*, Uint8* stream, int len) {
    // SDL holds the device lock around this call.
    if (fillFunction == nullptr) {
        std::memset(stream, 0, static_cast<size_t>(len));
        return;
    }
    fillFunction(reinterpret_cast<int16_t*>(stream), len / 4);
}
}  // namespace

bool OpenAudioDevice(AudioFill fill, int framesPerSecond, int bufferFrames) {
    if (device != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = framesPerSecond;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(bufferFrames);
    want.callback = Callback;
    fillFunction = fill;
    // No allowed changes: SDL converts to whatever the hardware takes, so the callback
    // always sees the game's own format.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device == 0) {
        fillFunction = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void CloseAudioDevice() {
    if (device == 0) return;
    // Joins the device thread: no callback runs after this.
    SDL_CloseAudioDevice(device);
    device = 0;
    fillFunction = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioDeviceOpen() { return device != 0; }

void LockAudioDevice() {
    if (device != 0) SDL_LockAudioDevice(device);
}

void UnlockAudioDevice() {
    if (device != 0) SDL_UnlockAudioDevice(device);
}
