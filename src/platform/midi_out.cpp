#include "platform/midi_out.h"

#include <fluidsynth.h>

#include <mutex>
#include <new>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/audio_libraries.h"

struct MidiOut {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    bool usesSdl = false;
    // Channels that have an instrument: the SoundFont is loaded without giving every
    // channel the default one (see LoadSoundFont).
    bool hasProgram[16] = {};
};

namespace {

// Debian's fluid-soundfont-gm; default-GM.sf2 is the alternatives link to whichever GM
// SoundFont the system prefers.
const char* const SoundFontPaths[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

void QuietFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Music failures are silent; only a panic (about to abort anyway) may speak up.
        fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

MidiOut* NewSynth(int sampleRate) {
    QuietFluidSynth();
    QuietAudioLibraries();
    MidiOut* device = new (std::nothrow) MidiOut;
    if (device == nullptr) return nullptr;
    device->settings = new_fluid_settings();
    if (device->settings == nullptr) {
        delete device;
        return nullptr;
    }
    fluid_settings_setnum(device->settings, "synth.sample-rate", sampleRate);
    // Background music under the effects and the voice.
    fluid_settings_setnum(device->settings, "synth.gain", 0.3);
    // Load an instrument's samples only when a channel selects it: the GM SoundFont is
    // about 140 MB and a tune uses a handful of its instruments.
    fluid_settings_setint(device->settings, "synth.dynamic-sample-loading", 1);
    // 64 voices instead of FluidSynth's 256: the tune sounds at most 52 at once (its loop
    // included), so no note is ever cut, and each unused voice costs about 8 KB.
    fluid_settings_setint(device->settings, "synth.polyphony", 64);
    device->synth = new_fluid_synth(device->settings);
    if (device->synth == nullptr) {
        CloseMidiOut(device);
        return nullptr;
    }
    return device;
}

// Loaded without selecting the default instrument (the grand piano, the standard drum kit
// on channel 10) on all 16 channels: with dynamic sample loading that alone would read
// 17 MB of samples, and the piano's 8 MB would stay for as long as one channel still has
// it. A channel gets its instrument from the tune's first program change, or the default
// one at its first note (SendMidiShortMessage).
bool LoadSoundFont(MidiOut* device) {
    for (const char* path : SoundFontPaths) {
        if (fluid_is_soundfont(path) && fluid_synth_sfload(device->synth, path, 0) != FLUID_FAILED)
            return true;
    }
    return false;
}

bool StartAudioDriver(MidiOut* device) {
    const char* const drivers[] = {"pulseaudio", "alsa"};
    for (const char* name : drivers) {
        fluid_settings_setstr(device->settings, "audio.driver", name);
        device->driver = new_fluid_audio_driver(device->settings, device->synth);
        if (device->driver != nullptr) return true;
    }
    if (AcquireExtraSdlAudio()) {
        fluid_settings_setstr(device->settings, "audio.driver", "sdl2");
        device->driver = new_fluid_audio_driver(device->settings, device->synth);
        if (device->driver != nullptr) {
            device->usesSdl = true;
            return true;
        }
        ReleaseExtraSdlAudio();
    }
    return false;
}

}  // namespace

MidiOut* OpenMidiOut() {
    MidiOut* device = NewSynth(44100);
    if (device == nullptr) return nullptr;
    // The SoundFont before the driver, so that the driver never renders a synthesiser
    // that is still being loaded; a machine without one never touches the audio devices.
    if (!LoadSoundFont(device) || !StartAudioDriver(device)) {
        CloseMidiOut(device);
        return nullptr;
    }
    return device;
}

MidiOut* OpenMidiRenderer(int sampleRate) {
    if (sampleRate < 8000 || sampleRate > 96000) return nullptr;
    MidiOut* device = NewSynth(sampleRate);
    if (device == nullptr) return nullptr;
    if (!LoadSoundFont(device)) {
        CloseMidiOut(device);
        return nullptr;
    }
    return device;
}

void SendMidiShortMessage(MidiOut* device, uint32_t message) {
    if (device == nullptr || device->synth == nullptr) return;
    fluid_synth_t* synth = device->synth;
    int status = static_cast<int>(message & 0xFF);
    int channel = status & 0x0F;
    int data1 = static_cast<int>((message >> 8) & 0x7F);
    int data2 = static_cast<int>((message >> 16) & 0x7F);
    switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    case 0x90:
        // Velocity 0 is a note off by convention.
        if (data2 == 0) {
            fluid_synth_noteoff(synth, channel, data1);
            break;
        }
        // A channel the tune never gave a program plays General MIDI's default one.
        if (!device->hasProgram[channel]) {
            fluid_synth_program_change(synth, channel, 0);
            device->hasProgram[channel] = true;
        }
        fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, data1);
        device->hasProgram[channel] = true;
        break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7)); break;
    default: break;
    }
}

bool RenderMidiOut(MidiOut* device, int16_t* out, int frameCount) {
    if (device == nullptr || device->synth == nullptr || device->driver != nullptr || out == nullptr ||
        frameCount <= 0)
        return false;
    return fluid_synth_write_s16(device->synth, frameCount, out, 0, 2, out, 1, 2) == FLUID_OK;
}

void CloseMidiOut(MidiOut* device) {
    if (device == nullptr) return;
    // The driver first: its thread renders the synthesiser.
    if (device->driver != nullptr) delete_fluid_audio_driver(device->driver);
    if (device->usesSdl) ReleaseExtraSdlAudio();
    if (device->synth != nullptr) delete_fluid_synth(device->synth);
    if (device->settings != nullptr) delete_fluid_settings(device->settings);
    delete device;
    // The SoundFont's instruments and the tune's samples leave the heap full of free
    // pages; give them back now, before the game's drawing takes its share of memory.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
