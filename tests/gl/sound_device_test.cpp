#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "audio/wav_loader.h"
#include "platform/audio_device.h"
#include "support/temp_dir.h"
#include "support/wav_bytes.h"

// The real audio device, with SDL's disk driver writing what the callback mixes to a file.
TEST(SoundDevice, CallbackMixesPlayingVoicesIntoTheOutput) {
    TempDir dir;
    std::string capture = dir.File("out.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);  // ms between buffers: run faster than real time

    std::vector<int16_t> tone(11025);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 11025.0));
    std::string file = PcmWav(tone);

    Vec3 listener{0, 0, 0};
    Vec3 axis{0, 0, 1};
    Sound.listenerPosition = &listener;
    Sound.listenerAxis = &axis;
    OpenSoundOutput();
    ASSERT_TRUE(Sound.open.load());
    ASSERT_TRUE(AudioDeviceOpen());
    int id = LoadWavFromMemory(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    ASSERT_GE(id, 0);
    Vec3 source{0, 0, 0};
    PlayVoice(&source, true, id);
    // The game's frames go on meanwhile: publish positions while the device mixes.
    for (int frame = 0; frame < 40; ++frame) {
        listener.x += 0.5f;
        source.x += 0.5f;
        PublishSoundPositions();
        usleep(10000);
    }
    EXPECT_TRUE(VoiceActive(id));
    CloseSoundOutput();
    Sound.listenerPosition = nullptr;
    Sound.listenerAxis = nullptr;

    std::string bytes = ReadFileBytes(capture);
    ASSERT_GE(bytes.size(), 4096u * 2);
    const int16_t* values = reinterpret_cast<const int16_t*>(bytes.data());
    size_t count = bytes.size() / 2;
    int peakRight = 0, peakLeft = 0;
    for (size_t k = 0; k + 1 < count; k += 2) {
        peakLeft = std::max(peakLeft, std::abs(static_cast<int>(values[k])));
        peakRight = std::max(peakRight, std::abs(static_cast<int>(values[k + 1])));
    }
    // A source at the listener is heard in both ears alike.
    EXPECT_GT(peakRight, 7000);
    EXPECT_EQ(peakLeft, peakRight);
}
