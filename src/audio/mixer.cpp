#include "audio/mixer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/services.h"
#include "platform/audio_device.h"

namespace {

constexpr int BlockValues = MixBlockFrames * 2;

// float -> int with truncation toward zero, as the mix arithmetic wants, but defined for
// every input: NaN gives 0 and values beyond the 32-bit range are held at its ends.
inline int32_t Trunc(float x) {
    if (!(x > -2147483520.0f)) return x != x ? 0 : -2147483520;
    if (!(x < 2147483520.0f)) return 2147483520;
    return static_cast<int32_t>(x);
}

// One side's output value of a voice as the rear filter keeps it. With the game's volumes
// (at most 1) a gained sample always fits 16 bits; holding it there keeps the running
// sum equal to the total of the history even if a louder volume is ever set.
inline int32_t ToHistorySample(int32_t x) {
    return x < -32768 ? -32768 : (x > 32767 ? 32767 : x);
}

inline int16_t MixInto(int16_t into, int32_t add) {
    int32_t sum = static_cast<int32_t>(into) + add;
    if (sum > 32767) sum = 32767;
    if (sum < -32767) sum = -32767;
    return static_cast<int16_t>(sum);
}

// The lead is (1 - g) * 16 with g in 0..1 for a unit-length axis; a listener axis of
// another length must still never make a side read outside the sound.
inline int32_t ClampLead(int32_t lead) {
    return lead < 0 ? 0 : (lead > VoiceHistory ? VoiceHistory : lead);
}

// Mixes 1024 frames of one voice into the ring block. The voice is active and placed.
void MixVoice(Voice& v, int16_t* block) {
    // The end test keeps 16 samples in hand for the leads; a sound of 16 samples or fewer
    // has no playable part and ends at once, looped or not.
    if (v.samples == nullptr || v.length <= VoiceHistory) {
        v.active.store(false);
        return;
    }
    const uint32_t end = static_cast<uint32_t>(v.length - VoiceHistory);
    const int16_t* samples = v.samples;
    const float rate = v.rate;
    const float gainLeft = v.gainLeft, gainRight = v.gainRight;
    const int32_t leadLeft = ClampLead(v.leadLeft);
    const int32_t leadRight = ClampLead(v.leadRight);
    const float front = v.front, back = v.back;
    int32_t indexLeft = v.historyIndexLeft & (VoiceHistory - 1);
    int32_t indexRight = v.historyIndexRight & (VoiceHistory - 1);
    int32_t sumLeft = v.sumLeft, sumRight = v.sumRight;

    uint32_t i = 0;
    uint32_t c = v.cursor;
    uint32_t p = 0;
    bool ended = false;
    for (int frame = 0; frame < MixBlockFrames; ++frame) {
        // The position steps at `rate` samples per frame with no interpolation. A position
        // below 0 (a source receding fast enough to make the rate negative) counts as past
        // the end, as the unsigned position it stood for did.
        float pos = static_cast<float>(i) * rate + static_cast<float>(c);
        bool past = !(pos > -1.0f && pos < 4294967040.0f);
        if (!past) {
            p = static_cast<uint32_t>(pos);
            past = p >= end;
        }
        if (past) {
            if (!v.loop) {
                v.active.store(false);
                v.cursor = p < end ? end : p;
                ended = true;
                break;
            }
            c = 0;
            i = 0;
            p = 0;
        }
        int32_t l = ToHistorySample(Trunc(samples[p + leadLeft] * gainLeft));
        int32_t r = ToHistorySample(Trunc(samples[p + leadRight] * gainRight));
        sumLeft += l - v.historyLeft[indexLeft];
        v.historyLeft[indexLeft] = static_cast<int16_t>(l);
        indexLeft = (indexLeft + 1) & (VoiceHistory - 1);
        sumRight += r - v.historyRight[indexRight];
        v.historyRight[indexRight] = static_cast<int16_t>(r);
        indexRight = (indexRight + 1) & (VoiceHistory - 1);
        if (back > 0) {
            // Behind the listener: blend toward the 16-value average, a duller sound.
            l = Trunc(static_cast<float>(Trunc(l * front)) + sumLeft * back * 0.0625f);
            r = Trunc(static_cast<float>(Trunc(r * front)) + sumRight * back * 0.0625f);
        }
        block[2 * frame] = MixInto(block[2 * frame], l);
        block[2 * frame + 1] = MixInto(block[2 * frame + 1], r);
        ++i;
    }
    // The next block starts by reading the last mixed sample again.
    if (!ended) v.cursor = p;
    v.historyIndexLeft = indexLeft;
    v.historyIndexRight = indexRight;
    v.sumLeft = sumLeft;
    v.sumRight = sumRight;
}

// The device side: hands out the mixer's blocks in whatever buffer sizes the device asks
// for (1024 frames, the block size, when it keeps the format it was opened with).
int16_t staged[BlockValues];
int stagedNext = MixBlockFrames;  // first frame of `staged` not handed out yet

void FillFromMixer(int16_t* frames, int frameCount) {
    while (frameCount > 0) {
        if (stagedNext == MixBlockFrames && frameCount >= MixBlockFrames) {
            MixBlock(frames);
            frames += BlockValues;
            frameCount -= MixBlockFrames;
            continue;
        }
        if (stagedNext == MixBlockFrames) {
            MixBlock(staged);
            stagedNext = 0;
        }
        int n = MixBlockFrames - stagedNext;
        if (n > frameCount) n = frameCount;
        std::memcpy(frames, staged + 2 * stagedNext, static_cast<size_t>(n) * 4);
        stagedNext += n;
        frames += 2 * n;
        frameCount -= n;
    }
}

}  // namespace

bool UpdateVoiceSpatial(Voice& v) {
    float now = Seconds();
    if (now < v.startTime) return false;
    Vec3 d = v.sourceCopy - Sound.listenerPositionCopy;
    float dist = std::sqrt(Dot(d, d));
    // Doppler: an approaching source plays faster.
    v.rate = v.baseRate.load() + (v.lastDistance - dist) * 0.01f;
    v.lastDistance = dist;
    float range = Sound.audibleRange.load();
    float vol = v.volume.load() * (range - dist) / range;
    if (!(vol > 0)) {
        // Out of hearing: the voice runs on silently; leads and filter keep their values.
        v.gainLeft = v.gainRight = 0;
        return true;
    }
    float h = std::sqrt(d.x * d.x + d.z * d.z);
    if (h == 0) {
        // At the listener's own head (the player's engine, wind and guns) or straight above
        // or below it: no side is nearer, so both ears hear it at once and in full.
        v.back = 0;
        v.front = 1;
        v.gainLeft = v.gainRight = vol;
        v.leadLeft = v.leadRight = 0;
        return true;
    }
    float k = 1.0f / h;
    float nx = d.x * k, nz = d.z * k;
    const Vec3& f = Sound.listenerAxisCopy;
    float a = f.x * nx + f.z * nz;  // how far in front
    float b = f.x * nz - f.z * nx;  // which side
    float g;
    if (a < 0) {
        v.back = -a;
        g = -a;
    } else {
        v.back = 0;
        g = a;
    }
    v.front = 1 - v.back;
    // The near side gets the full volume and reads ahead (it hears the sound first); the
    // far side is quieter the more the source stands to the side.
    if (b >= 0) {
        v.gainRight = vol;
        v.gainLeft = vol * g;
        v.leadRight = ClampLead(Trunc((1 - g) * 16));
        v.leadLeft = 0;
    } else {
        v.gainLeft = vol;
        v.gainRight = vol * g;
        v.leadLeft = ClampLead(Trunc((1 - g) * 16));
        v.leadRight = 0;
    }
    return true;
}

void MixBlock(int16_t* out) {
    if (!Sound.open.load() || Sound.mixRing == nullptr) {
        std::memset(out, 0, BlockValues * sizeof(int16_t));
        return;
    }
    int16_t* block = Sound.mixRing + Sound.mixPos;
    for (int id = 0; id < Sound.voiceCount && id < MaxVoices; ++id) {
        Voice& v = Sound.voices[id];
        if (!v.active.load()) continue;
        if (!UpdateVoiceSpatial(v)) continue;
        MixVoice(v, block);
    }
    std::memcpy(out, block, BlockValues * sizeof(int16_t));
    std::memset(block, 0, BlockValues * sizeof(int16_t));
    Sound.mixPos += BlockValues;
    if (Sound.mixPos >= static_cast<uint32_t>(MixRingValues)) Sound.mixPos = 0;
}

void OpenSoundMixer() {
    if (Sound.mixRing == nullptr)
        Sound.mixRing = static_cast<int16_t*>(std::calloc(MixRingValues, sizeof(int16_t)));
    if (Sound.mixRing == nullptr) return;  // no memory: the game runs silently
    LockAudioDevice();
    std::memset(Sound.mixRing, 0, MixRingValues * sizeof(int16_t));
    Sound.mixPos = 0;
    stagedNext = MixBlockFrames;
    Sound.open.store(true);
    UnlockAudioDevice();
}

void OpenSoundOutput() {
    if (Sound.open.load()) return;
    OpenSoundMixer();
    if (!Sound.open.load()) return;
    // No device (a headless machine, no sound server): the mixer stays ready and unheard.
    OpenAudioDevice(FillFromMixer, MixRate, MixBlockFrames);
}

void CloseSoundOutput() {
    Sound.open.store(false);
    // After this no callback runs, so the table and ring can go without a lock.
    CloseAudioDevice();
    std::free(Sound.mixRing);
    Sound.mixRing = nullptr;
    Sound.mixPos = 0;
    for (Voice& v : Sound.voices) {
        v.active.store(false);
        if (v.samples != nullptr && !v.sharesSamples) std::free(v.samples);
        v.samples = nullptr;
        v.sharesSamples = false;
        v.length = 0;
        v.cursor = 0;
        v.source.store(nullptr);
    }
    Sound.voiceCount = 0;
}

int AddVoiceSlot(int16_t* samples, int32_t length, bool sharesSamples) {
    if (Sound.voiceCount >= MaxVoices) return -9;
    LockAudioDevice();
    int id = Sound.voiceCount;
    Voice& v = Sound.voices[id];
    v.active.store(false);
    v.samples = samples;
    v.length = length < 0 ? 0 : length;
    v.sharesSamples = sharesSamples;
    v.cursor = 0;
    Sound.voiceCount = id + 1;
    UnlockAudioDevice();
    return id;
}

int ShareVoiceSamples(int from) {
    Voice* other = VoiceById(from);
    if (other == nullptr || other->samples == nullptr || other->length < 8) return -1;
    return AddVoiceSlot(other->samples + 8, other->length - 8, true);
}
