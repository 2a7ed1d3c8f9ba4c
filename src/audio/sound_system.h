// Sound effects placed in the 3-D world and mixed in software onto the audio device.
//
// The game thread starts voices, stops them (clears active) and tunes their baseRate and
// volume; the audio callback thread reads those fields. They are atomics so that both
// threads see whole values without locks.
#pragma once

#include <atomic>
#include <cstdint>

#include "math/vec3.h"

constexpr int MaxVoices = 16;

struct Voice {
    int16_t* samples = nullptr;  // 16-bit mono; null = the slot holds no sound
    int16_t historyLeft[16] = {};
    int16_t historyRight[16] = {};
    std::atomic<float> baseRate{1.0f};  // playback speed chosen by the game
    float rate = 1.0f;                  // baseRate plus the Doppler term, per block
    std::atomic<const Vec3*> source{nullptr};  // where the sound comes from, read live
    float lastDistance = 0;
    std::atomic<float> volume{1.0f};
    float gainRight = 0, gainLeft = 0;
    int32_t leadRight = 0, leadLeft = 0;  // samples the side reads ahead
    std::atomic<bool> active{false};
    bool loop = false;
    uint32_t cursor = 0;  // sample index at which the next block starts
    int32_t length = 0;   // samples in samples
    float front = 1.0f;   // 1 - back
    float back = 0;       // how far behind the listener, 0..1
    int32_t historyIndexLeft = 0, historyIndexRight = 0;
    int32_t sumLeft = 0, sumRight = 0;
    float startTime = 0;  // not mixed before this time (sound travel delay), seconds
    bool sharesSamples = false;  // samples belong to another voice
};

struct SoundSystem {
    std::atomic<bool> open{false};
    int voiceCount = 0;
    Voice voices[MaxVoices];
    const Vec3* listenerPosition = nullptr;
    const Vec3* listenerAxis = nullptr;  // forward axis; only x and z are used
    float audibleRange = 7500.0f;
    int16_t* mixRing = nullptr;  // 65536 values
    uint32_t mixPos = 0;
};

extern SoundSystem Sound;

// Voice ids, kept by asset loading; negative when the sound failed to load.
extern int EngineVoice;
extern int EnemyEngineVoice;
extern int SirenVoice;
extern int WindVoice;
extern int GunsVoice;
extern int EnemyGunsVoice;
extern int CrashVoice;

// Starts (or restarts) a voice heard from *source; an id without samples plays nothing.
void PlayVoice(const Vec3* source, bool loop, int id);
// The voice with this id, or null when the id is outside the used slots.
Voice* VoiceById(int id);
// Convenience for the game logic: whether the voice is playing, and stopping it.
bool VoiceActive(int id);
void StopVoice(int id);
