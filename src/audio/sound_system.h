// Sound effects placed in the 3-D world and mixed in software onto the audio device.
//
// Two threads meet here: the game thread, which loads sounds, starts voices, stops them
// and tunes them, and the audio device's callback thread, which mixes one block of every
// playing voice at a time (mixer.cpp). How they share the records:
//
// - active, baseRate, volume and audibleRange are atomics: the game writes them at any
//   moment without a lock (stopping a voice is clearing its active flag), the mixer reads
//   whole values.
// - Everything else the mixer touches (filter state, cursor, gains, the start fields that
//   PlayVoice writes, voiceCount, the position copies) is only changed by the game thread
//   under the audio device's lock, which the callback holds while it mixes. The game
//   therefore waits at most for one block's mix (tens of microseconds), never longer.
// - The positions the sounds come from (listenerPosition, listenerAxis, each voice's
//   source) point into aircraft and model records that the game rewrites every frame with
//   plain stores. The mixer never follows those pointers: once per frame the game thread
//   copies the pointed-to values into listenerPositionCopy, listenerAxisCopy and each
//   voice's sourceCopy (PublishSoundPositions, under the lock), and the mixer reads only
//   the copies. A frame is shorter than a mixed block, so the sound follows the aircraft
//   at least as closely as reading the records live would.
#pragma once

#include <atomic>
#include <cstdint>

#include "math/vec3.h"

constexpr int MaxVoices = 16;
// One output block: 1024 stereo frames of two signed 16-bit values, left first.
constexpr int MixBlockFrames = 1024;
constexpr int MixRingValues = 65536;
constexpr int MixRate = 11025;  // frames per second, of the output and of every sound
// The rear filter averages this many output values; also the largest left/right lead and
// the margin the mixer keeps before a sound's end so that p + lead stays inside the data.
constexpr int VoiceHistory = 16;

struct Voice {
    int16_t* samples = nullptr;  // 16-bit mono at 11025 Hz; null = the slot holds no sound
    int16_t historyLeft[VoiceHistory] = {};   // last 16 left output values (rear filter)
    int16_t historyRight[VoiceHistory] = {};
    std::atomic<float> baseRate{1.0f};  // playback speed chosen by the game; 1 = recorded
    float rate = 1.0f;                  // baseRate plus the Doppler term, per block
    std::atomic<const Vec3*> source{nullptr};  // where the sound comes from (game thread)
    Vec3 sourceCopy{};                         // *source as the game last published it
    float lastDistance = 0;                    // distance to the listener at the last block
    std::atomic<float> volume{1.0f};
    float gainRight = 0, gainLeft = 0;
    int32_t leadRight = 0, leadLeft = 0;  // samples the side reads ahead, 0..16
    std::atomic<bool> active{false};
    bool loop = false;
    uint32_t cursor = 0;  // sample index at which the next block starts
    int32_t length = 0;   // samples in samples
    float front = 1.0f;   // 1 - back
    float back = 0;       // how far behind the listener, 0..1
    int32_t historyIndexLeft = 0, historyIndexRight = 0;  // next slot, 0..15
    int32_t sumLeft = 0, sumRight = 0;                    // totals of the histories
    float startTime = 0;  // not mixed before this time (sound travel delay), seconds
    bool sharesSamples = false;  // samples belong to another voice and are not freed here
};

struct SoundSystem {
    std::atomic<bool> open{false};  // the mixer does nothing while false
    int voiceCount = 0;             // slots in use, handed out in order
    Voice voices[MaxVoices];
    const Vec3* listenerPosition = nullptr;  // asset loading: PlayerPlane.position
    const Vec3* listenerAxis = nullptr;      // forward axis; only x and z are used
    Vec3 listenerPositionCopy{};             // published copies the mixer reads
    Vec3 listenerAxisCopy{};
    std::atomic<float> audibleRange{7500.0f};  // distance at which a sound falls silent
    int16_t* mixRing = nullptr;  // MixRingValues values
    uint32_t mixPos = 0;         // index in mixRing of the next block
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

// Starts (or restarts) a voice heard from *source, delayed by the sound's travel time; an
// id without samples plays nothing. The game keeps *source alive while the voice plays.
void PlayVoice(const Vec3* source, bool loop, int id);
// The voice with this id, or null when the id is outside the used slots.
Voice* VoiceById(int id);
// Convenience for the game logic: whether the voice is playing, and stopping it.
bool VoiceActive(int id);
void StopVoice(int id);
// Game thread, once per frame: copies the listener's position and axis and every voice's
// source position for the mixer (see the top of this file).
void PublishSoundPositions();
