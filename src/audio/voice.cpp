#include <cmath>

#include "core/services.h"
#include "audio/sound_system.h"
#include "platform/audio_device.h"

SoundSystem Sound;

int EngineVoice = -1;
int EnemyEngineVoice = -1;
int SirenVoice = -1;
int WindVoice = -1;
int GunsVoice = -1;
int EnemyGunsVoice = -1;
int CrashVoice = -1;

namespace {
// Game thread, audio lock held: the mixer's copies of the positions it must not read live.
void CopyPositions() {
    if (Sound.listenerPosition != nullptr) Sound.listenerPositionCopy = *Sound.listenerPosition;
    if (Sound.listenerAxis != nullptr) Sound.listenerAxisCopy = *Sound.listenerAxis;
    for (int id = 0; id < Sound.voiceCount && id < MaxVoices; ++id) {
        const Vec3* source = Sound.voices[id].source.load();
        if (source != nullptr) Sound.voices[id].sourceCopy = *source;
    }
}
}  // namespace

Voice* VoiceById(int id) {
    if (id < 0 || id >= Sound.voiceCount || id >= MaxVoices) return nullptr;
    return &Sound.voices[id];
}

bool VoiceActive(int id) {
    Voice* v = VoiceById(id);
    return v != nullptr && v->active.load();
}

void StopVoice(int id) {
    Voice* v = VoiceById(id);
    if (v != nullptr) v->active.store(false);
}

void PublishSoundPositions() {
    LockAudioDevice();
    CopyPositions();
    UnlockAudioDevice();
}

void PlayVoice(const Vec3* source, bool loop, int id) {
    Voice* v = VoiceById(id);
    if (v == nullptr || v->samples == nullptr || source == nullptr) return;
    // Under the lock the mixer never sees half a start.
    LockAudioDevice();
    v->loop = loop;
    v->volume.store(1.0f);
    v->baseRate.store(1.0f);
    v->cursor = 0;
    v->rate = 1.0f;
    v->source.store(source);
    v->front = 1.0f;
    v->back = 0.0f;
    // The sums must stay the totals of the histories, so both start empty; stale history
    // values under zeroed sums would offset the rear filter for the rest of the sound.
    v->sumLeft = v->sumRight = 0;
    for (int k = 0; k < VoiceHistory; ++k) v->historyLeft[k] = v->historyRight[k] = 0;
    v->historyIndexLeft = v->historyIndexRight = 0;
    v->leadLeft = v->leadRight = 0;
    CopyPositions();
    Vec3 d = v->sourceCopy - Sound.listenerPositionCopy;
    v->lastDistance = std::sqrt(Dot(d, d));
    // Sound travels 500 units per second.
    v->startTime = Seconds() + v->lastDistance * 0.002f;
    v->active.store(true);
    UnlockAudioDevice();
}
