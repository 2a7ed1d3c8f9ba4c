#include "app/assets.h"

#include "app/captions.h"
#include "app/game_app.h"
#include "app/globals.h"
#include "assets/mesh_drawing.h"
#include "assets/skinned_model.h"
#include "assets/texture_cache.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "audio/wav_loader.h"
#include "math/mat4.h"
#include "render/help_card.h"
#include "render/overlay.h"
#include "sim/aircraft.h"
#include "speech/speech.h"

namespace {

// The sounds are heard within this distance of the listener.
constexpr float AudibleRange = 7500.0f;

// The base: the hangar stands beside the runway, turned a quarter turn the other way; the
// sky dome is a unit dome blown up to cover the whole terrain.
constexpr Vec3 HangarPosition = {7600.0f, 630.0f, 6470.0f};
constexpr EulerAngles HangarAngles = {0.0f, -1.570795f, 0.0f};
constexpr Vec3 RunwayPosition = {7800.0f, 630.25f, 6500.0f};
constexpr EulerAngles RunwayAngles = {0.0f, 1.570795f, 0.0f};
constexpr Vec3 SkyDomePosition = {0.0f, -5000.0f, 0.0f};
constexpr float SkyDomeScale = 80000.0f;

static_assert(sizeof(Vec3) == 3 * sizeof(float), "a matrix column is read as a Vec3");

}  // namespace

void LoadWorldModels(bool compile) {
    // Loaded, and compiled into display lists when drawn.
    auto model = [compile](const char* fileName, Model& m) {
        if (compile) CompileModel(fileName, m);
        else LoadModelFile(fileName, m);
    };
    model("terrain.a3f", TerrainModel);
    LoadSkinnedModel(BiplaneModel, "biplane.a3f");
    model("triplane.a3f", TriplaneModel);
    model("hangar.a3f", HangarModel);
    model("runway.a3f", RunwayModel);
    // Does nothing without the high-quality option or without a texture.
    if (compile) BuildMipmaps(RunwayModel.texture);
    LoadArrayModel("blimp.a3f", ZeppelinModel);
    model("shot.a3f", ShotModel);
    model("skydome.a3f", SkyDomeModel);
    LoadArrayModel("tank.a3f", TankModel);
    model("smoke.a3f", SmokeModel);
}

bool LoadAssets() {
    LoadWorldModels(true);

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

void StartWorld() {
    // The propeller turns with the throttle.
    if (BiplaneModel.animationCount > 0) StartAnimation(BiplaneModel, 0);
    PlaceFixedScenery();
}

void PlaceFixedScenery() {
    EulerMatrix(HangarAngles, HangarModel.matrix, HangarPosition);
    EulerMatrix(RunwayAngles, RunwayModel.matrix, RunwayPosition);
    PlacementMatrix(SkyDomeModel.matrix, SkyDomeScale, SkyDomeScale, SkyDomeScale, EulerAngles{0, 0, 0},
                    SkyDomePosition);
}
