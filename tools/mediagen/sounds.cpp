// Sound effects: 16-bit mono at 11025 samples per second, the mixer's only rate. The
// three looping sounds (engine, wind, siren) repeat seamlessly: every tone completes whole
// cycles in the loop and the filters run round the loop twice so their state meets itself
// at the seam. Guns and crash are stored as Microsoft ADPCM; the crash also carries a LIST
// chunk ahead of its data.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/sound_system.h"
#include "math/random.h"
#include "media_output.h"

namespace {

constexpr int Rate = MixRate;
constexpr float TwoPi = 6.2831853f;

float Noise() { return static_cast<float>(Rand()) / 16383.5f - 1.0f; }

// One-pole low-pass with the given corner frequency.
struct LowPass {
    float k, state = 0;
    explicit LowPass(float hz) : k(1.0f - std::exp(-TwoPi * hz / Rate)) {}
    float Step(float x) { return state += k * (x - state); }
};

// Filters a loop as if it had been playing forever: one pass to settle the state, the
// second pass kept.
template <typename Filter>
void FilterLoop(std::vector<float>& samples, Filter filter) {
    for (float s : samples) filter.Step(s);
    for (float& s : samples) s = filter.Step(s);
}

void Normalise(std::vector<float>& samples, float peak) {
    float top = 0;
    for (float s : samples) top = std::max(top, std::fabs(s));
    if (top > 0)
        for (float& s : samples) s *= peak / top;
}

std::vector<short> ToPcm(const std::vector<float>& samples) {
    std::vector<short> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
    return pcm;
}

// Writes through libsndfile: plain PCM, or Microsoft ADPCM; a title makes it write a LIST
// chunk (which it places before the data when set before any sample is written).
void SaveWav(MediaOutput& out, const std::string& name, const std::vector<float>& samples, bool adpcm,
             const char* title) {
    SF_INFO info = {};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | (adpcm ? SF_FORMAT_MS_ADPCM : SF_FORMAT_PCM_16);
    std::string path = OutputPath(out, name);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        ReportFailure(out, name, sf_strerror(nullptr));
        return;
    }
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    if (title != nullptr) sf_set_string(file, SF_STR_TITLE, title);
    std::vector<short> pcm = ToPcm(samples);
    sf_count_t written = sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    if (written != static_cast<sf_count_t>(pcm.size())) ReportFailure(out, name, sf_strerror(file));
    if (sf_close(file) != 0) ReportFailure(out, name, "cannot close the file");
}

// A nine-cylinder rotary at cruise: 60 firings a second (a whole number per 1 s loop),
// each a short knock ringing two resonances of the crankcase, over the 20 Hz swing of the
// whirling cylinders and a little exhaust hiss.
std::vector<float> Engine() {
    SeedRand(8101);
    const int length = Rate;
    std::vector<float> s(length, 0.0f);
    std::vector<float> hiss(length);
    for (float& h : hiss) h = Noise();
    FilterLoop(hiss, LowPass(900.0f));
    const int firings = 60;
    const float strength[6] = {1.0f, 0.82f, 0.93f, 0.76f, 0.97f, 0.85f};
    for (int f = 0; f < firings; ++f) {
        // Offset by half a firing so the loop's seam falls between two knocks.
        int start = f * length / firings + length / firings / 2;
        for (int i = 0; i < length / 4; ++i) {
            float t = static_cast<float>(i) / Rate;
            float knock = std::exp(-t / 0.006f) * (0.7f * std::sin(TwoPi * 170.0f * t) + 0.4f * std::sin(TwoPi * 410.0f * t));
            knock += std::exp(-t / 0.002f) * 0.5f * hiss[(start + i * 7) % length];
            s[(start + i) % length] += strength[f % 6] * knock;
        }
    }
    for (int i = 0; i < length; ++i) {
        float t = static_cast<float>(i) / Rate;
        s[i] += 0.25f * std::sin(TwoPi * 20.0f * t) + 0.12f * std::sin(TwoPi * 40.0f * t) + 0.15f * hiss[i];
    }
    FilterLoop(s, LowPass(2200.0f));
    Normalise(s, 0.7f);
    return s;
}

// Rushing air: band-limited noise swelling and easing in gusts (whole cycles per 2 s).
std::vector<float> Wind() {
    SeedRand(8201);
    const int length = 2 * Rate;
    std::vector<float> low(length), high(length);
    for (float& x : low) x = Noise();
    high = low;
    FilterLoop(low, LowPass(1400.0f));
    FilterLoop(high, LowPass(180.0f));
    std::vector<float> s(length);
    for (int i = 0; i < length; ++i) {
        float t = static_cast<float>(i) / Rate;
        float gust = 0.7f + 0.2f * std::sin(TwoPi * 0.5f * t) + 0.1f * std::sin(TwoPi * 1.5f * t + 1.0f);
        s[i] = (low[i] - 0.6f * high[i]) * gust;
    }
    Normalise(s, 0.6f);
    return s;
}

// A hand-cranked air-raid siren: the pitch swings between about 180 and 620 Hz every 4 s
// with the crank's wobble; the chopped air gives it a row of harmonics. The pitch curve
// averages a whole number of cycles over the loop, so the wave meets itself at the seam.
std::vector<float> Siren() {
    SeedRand(8301);
    const int length = 4 * Rate;
    std::vector<float> s(length);
    std::vector<float> breath(length);
    for (float& b : breath) b = Noise();
    FilterLoop(breath, LowPass(2500.0f));
    double phase = 0.0;
    for (int i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double f = 400.0 - 220.0 * std::cos(TwoPi * t / 4.0) + 8.0 * std::sin(TwoPi * 6.0 * t);
        float level = static_cast<float>(0.55 + 0.45 * (f - 180.0) / 440.0);
        float v = 0.0f;
        for (int n = 1; n <= 6; ++n) v += std::sin(static_cast<float>(n * phase)) / static_cast<float>(n);
        s[i] = level * (v + 0.08f * breath[i]);
        phase += TwoPi * f / Rate;
        if (phase > TwoPi) phase -= TwoPi;
    }
    Normalise(s, 0.65f);
    return s;
}

// A machine-gun burst: six reports 0.1 s apart, each a crack, a thump and the bolt's clack.
std::vector<float> Guns() {
    SeedRand(8401);
    const int length = Rate * 3 / 4;
    std::vector<float> s(length, 0.0f);
    for (int shot = 0; shot < 6; ++shot) {
        int start = shot * Rate / 10 + Rand() % 40;
        float loud = 0.85f + 0.15f * static_cast<float>(Rand()) / RandMax;
        LowPass crackTone(3000.0f);
        for (int i = 0; start + i < length && i < Rate / 8; ++i) {
            float t = static_cast<float>(i) / Rate;
            float crack = crackTone.Step(Noise()) * std::exp(-t / 0.012f);
            float thump = std::sin(TwoPi * (120.0f - 300.0f * t) * t) * std::exp(-t / 0.035f);
            float clack = t > 0.045f ? Noise() * 0.3f * std::exp(-(t - 0.045f) / 0.004f) : 0.0f;
            s[start + i] += loud * (1.3f * crack + 0.8f * thump + clack);
        }
    }
    Normalise(s, 0.9f);
    return s;
}

// A crash: the airframe breaking up (metal rings, splintering wood) and the fuel going up
// in a boom that rolls away over two seconds.
std::vector<float> Crash() {
    SeedRand(8501);
    const int length = Rate * 13 / 5;
    std::vector<float> s(length, 0.0f);
    const float rings[4] = {523.0f, 847.0f, 1290.0f, 1710.0f};
    for (int i = 0; i < Rate / 2; ++i) {
        float t = static_cast<float>(i) / Rate;
        float v = 0;
        for (int k = 0; k < 4; ++k) v += std::sin(TwoPi * rings[k] * t + k) * std::exp(-t / (0.08f + 0.05f * k));
        s[i] += 0.35f * v;
    }
    for (int crack = 0; crack < 24; ++crack) {
        int start = Rand() % (Rate * 7 / 10);
        float loud = 0.3f + 0.7f * static_cast<float>(Rand()) / RandMax;
        for (int i = 0; start + i < length && i < 300; ++i)
            s[start + i] += loud * Noise() * std::exp(-static_cast<float>(i) / 40.0f);
    }
    LowPass rumble(350.0f), body(1200.0f);
    int boomStart = Rate * 3 / 20;
    for (int i = 0; boomStart + i < length; ++i) {
        float t = static_cast<float>(i) / Rate;
        float envelope = (1.0f - std::exp(-t / 0.01f)) * std::exp(-t / 0.6f);
        float n = Noise();
        float boom = std::sin(TwoPi * (35.0f + 55.0f * std::exp(-t / 0.3f)) * t);
        s[boomStart + i] += envelope * (1.6f * rumble.Step(n) * 4.0f + 0.5f * body.Step(n) + 0.9f * boom);
    }
    Normalise(s, 0.92f);
    return s;
}

}  // namespace

void MakeSounds(MediaOutput& out) {
    SaveWav(out, "engine.wav", Engine(), false, nullptr);
    SaveWav(out, "wind.wav", Wind(), false, nullptr);
    SaveWav(out, "siren.wav", Siren(), false, nullptr);
    SaveWav(out, "guns.wav", Guns(), true, nullptr);
    SaveWav(out, "crash.wav", Crash(), true, "Crash");
}
