// Sound files: the WAV loader with its ADPCM decoding, on any bytes.
#include <cstddef>
#include <cstdint>

#include "audio/mixer.h"
#include "audio/wav_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int id = LoadWavFromMemory(data, size);
    if (id >= 0) {
        // Mix the loaded sound to its end so that its length is checked against its data.
        static Vec3 here{0, 0, 0};
        static int16_t out[2 * MixBlockFrames];
        OpenSoundMixer();
        Sound.listenerPosition = &here;
        PlayVoice(&here, false, id);
        for (int block = 0; block < 64 && VoiceActive(id); ++block) MixBlock(out);
    }
    // Frees whatever the load kept and empties the table for the next input.
    CloseSoundOutput();
    return 0;
}
