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

namespace {

WavFile Sound(const std::string& name) {
    WavFile wav = ReadWav(GeneratedMediaDir() + "/" + name);
    EXPECT_EQ(wav.error, "") << name;
    return wav;
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
