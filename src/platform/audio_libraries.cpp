#include "platform/audio_libraries.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstring>
#include <mutex>

namespace {

// snd_lib_error_handler_t
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                                  const char* fmt, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler handler);

void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietAudioLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        // libasound is already loaded by FluidSynth (and SDL loads it on demand); look the
        // setter up at run time rather than linking ALSA for this one call.
        void* setter = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler");
        if (setter == nullptr) {
            void* lib = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL | RTLD_NOLOAD);
            if (lib != nullptr) setter = dlsym(lib, "snd_lib_error_set_handler");
        }
        if (setter != nullptr) reinterpret_cast<AlsaSetErrorHandler>(setter)(SilentAlsaError);
    });
}

bool AcquireExtraSdlAudio() {
    QuietAudioLibraries();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver == nullptr || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

void ReleaseExtraSdlAudio() { SDL_QuitSubSystem(SDL_INIT_AUDIO); }
