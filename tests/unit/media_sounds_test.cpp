// The generated sounds: RIFF WAVE, 16-bit mono samples at 11025 per second (the mixer's only
// rate), two of them Microsoft ADPCM and one with an extra chunk before its data; the
// looping ones without a click at the seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "support/media.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace {

#define NEED_MEDIA()                                                             \
    do {                                                                         \
        if (GeneratedMediaDir().empty()) {                                       \
            GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";                      \
        }                                                                        \
    } while (0)

WavFile Sound(const std::string& name) {
    WavFile wav = ReadWav(GeneratedMediaDir() + "/" + name);
    EXPECT_EQ(wav.error, "") << name;
    return wav;
}

// Seconds of sound: from the sample count of PCM data, or the fact chunk of ADPCM.
float Seconds(const std::string& name, const WavFile& wav) {
    if (wav.formatTag == 1) return static_cast<float>(wav.samples.size()) / wav.sampleRate;
    std::string bytes = ReadFileBytes(GeneratedMediaDir() + "/" + name);
    for (const RiffChunk& c : wav.chunks)
        if (c.id == "fact") {
            uint32_t n = static_cast<uint8_t>(bytes[c.offset]) | static_cast<uint8_t>(bytes[c.offset + 1]) << 8 |
                         static_cast<uint8_t>(bytes[c.offset + 2]) << 16;
            return static_cast<float>(n) / wav.sampleRate;
        }
    return 0;
}

}  // namespace

TEST(MediaSounds, FormatRateAndCompressionFitTheLoader) {
    NEED_MEDIA();
    int adpcm = 0, withExtraChunk = 0;
    for (const char* name : {"engine.wav", "wind.wav", "siren.wav", "guns.wav", "crash.wav"}) {
        WavFile wav = Sound(name);
        ASSERT_GE(wav.chunks.size(), 2u) << name;
        EXPECT_EQ(wav.chunks.front().id, "fmt ") << name << ": the loader wants the format chunk first";
        EXPECT_LE(wav.formatSize, 50u) << name << ": longer format chunks are refused";
        EXPECT_EQ(wav.chunks.back().id, "data") << name;
        EXPECT_EQ(wav.channels, 1) << name;
        EXPECT_EQ(wav.sampleRate, 11025u) << name;
        if (wav.formatTag == 2) {
            ++adpcm;
            EXPECT_EQ(wav.bitsPerSample, 4) << name;
        } else {
            EXPECT_EQ(wav.formatTag, 1) << name;
            EXPECT_EQ(wav.bitsPerSample, 16) << name;
        }
        for (size_t i = 1; i + 1 < wav.chunks.size(); ++i)
            if (wav.chunks[i].id == "LIST") ++withExtraChunk;
    }
    EXPECT_GE(adpcm, 2);
    EXPECT_GE(withExtraChunk, 1);
}

TEST(MediaSounds, LengthsSuitEachUse) {
    NEED_MEDIA();
    EXPECT_NEAR(Seconds("guns.wav", Sound("guns.wav")), 0.75f, 0.15f);  // six shots 0.1 s apart and a tail
    float crash = Seconds("crash.wav", Sound("crash.wav"));
    EXPECT_GE(crash, 2.0f);
    EXPECT_LE(crash, 3.0f);
    for (const char* name : {"engine.wav", "wind.wav", "siren.wav"}) {
        float s = Seconds(name, Sound(name));
        EXPECT_GE(s, 0.5f) << name;
        EXPECT_LE(s, 6.0f) << name;
    }
}

TEST(MediaSounds, LoopsMeetThemselvesWithoutAClick) {
    NEED_MEDIA();
    for (const char* name : {"engine.wav", "wind.wav", "siren.wav"}) {
        WavFile wav = Sound(name);
        ASSERT_EQ(wav.formatTag, 1) << name << ": a loop is kept as plain samples";
        const std::vector<int16_t>& s = wav.samples;
        ASSERT_GT(s.size(), 1000u);
        std::vector<int> steps;
        double power = 0;
        for (size_t i = 0; i + 1 < s.size(); ++i) {
            steps.push_back(std::abs(s[i + 1] - s[i]));
            power += static_cast<double>(s[i]) * s[i];
        }
        std::sort(steps.begin(), steps.end());
        int typical = steps[steps.size() * 95 / 100];
        EXPECT_LE(std::abs(s.front() - s.back()), typical) << name;
        EXPECT_GT(std::sqrt(power / s.size()), 1500.0) << name << " is nearly silent";
    }
}
