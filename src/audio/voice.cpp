#include <cmath>

#include "app/services.h"
#include "audio/sound_system.h"

SoundSystem Sound;

int EngineVoice = -1;
int EnemyEngineVoice = -1;
int SirenVoice = -1;
int WindVoice = -1;
int GunsVoice = -1;
int EnemyGunsVoice = -1;
int CrashVoice = -1;

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

void PlayVoice(const Vec3* source, bool loop, int id) {
    Voice* v = VoiceById(id);
    if (v == nullptr || v->samples == nullptr || source == nullptr) return;
    // Hold the voice while its fields are rewritten so the mixer never sees half a start.
    v->active.store(false);
    v->loop = loop;
    v->volume.store(1.0f);
    v->baseRate.store(1.0f);
    v->cursor = 0;
    v->rate = 1.0f;
    v->source.store(source);
    v->front = 1.0f;
    v->back = 0.0f;
    v->sumLeft = v->sumRight = 0;
    v->historyIndexLeft = v->historyIndexRight = 0;
    v->leadLeft = v->leadRight = 0;
    Vec3 listener = Sound.listenerPosition != nullptr ? *Sound.listenerPosition : Vec3{0, 0, 0};
    Vec3 d = *source - listener;
    v->lastDistance = std::sqrt(Dot(d, d));
    // Sound travels 500 units per second.
    v->startTime = Seconds() + v->lastDistance * 0.002f;
    v->active.store(true);
}
