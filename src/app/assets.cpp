#include "app/assets.h"

#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "audio/wav_loader.h"
#include "core/game_app.h"
#include "hud/text_overlay.h"
#include "render/help_card.h"
#include "sim/captions.h"
#include "sim/aircraft.h"
#include "sim/world.h"
#include "speech/speech.h"

namespace {

// The sounds are heard within this distance of the listener.
constexpr float AudibleRange = 7500.0f;

static_assert(sizeof(Vec3) == 3 * sizeof(float), "a matrix column is read as a Vec3");

}  // namespace

bool LoadAssets() {
    LoadWorldModels(WorldUse::Drawn);

    // The player is the listener: its position and its forward axis (column 2 of its
    // placement), read live by the mixer.
    Sound.audibleRange = AudibleRange;
    Sound.listenerPosition = &PlayerPlane.position;
    Sound.listenerAxis = reinterpret_cast<const Vec3*>(&PlayerPlane.placement.m[8]);
    if (!Sound.open.load()) OpenSoundOutput();

    // The enemy's engine and guns play the player's sounds a few samples apart, so two
    // of the same sound never phase into one.
    EngineVoice = LoadWav("engine.wav");
    EnemyEngineVoice = ShareVoiceSamples(EngineVoice);
    SirenVoice = LoadWav("siren.wav");
    WindVoice = LoadWav("wind.wav");
    GunsVoice = LoadWav("guns.wav");
    EnemyGunsVoice = ShareVoiceSamples(GunsVoice);
    CrashVoice = LoadWav("crash.wav");

    // A 120 x 24 box at the bottom-left corner whatever the window's size. The first
    // line is drawn 120 wide; later lines use the wider ScoreRect and are cut.
    CreateOverlay(ScoreOverlay, 0, 456, 120, 480, 640, 480, false);
    DrawOverlayText(ScoreOverlay, "SCORE: 0", OverlayRect{0, 0, 120, 24}, 0);
    CreateCaptionOverlay(App.settings.Width, App.settings.Height);
    CreateHelpCard(App.settings.Width, App.settings.Height);

    StartWorld();

    InitSpeech();
    return true;
}
