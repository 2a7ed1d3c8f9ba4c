#include "support/sim_world.h"

#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "core/services.h"
#include "audio/sound_system.h"
#include "math/random.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "sim/aircraft.h"
#include "sim/camera.h"
#include "sim/simulation.h"
#include "support/media.h"

uint32_t TestNowMs = 0;

namespace {

uint32_t TestClock() { return TestNowMs; }

bool loadedFromMedia = false;  // the models came from files (released, not freed)

void IgnoreErrors(const char*, const char*, const char*, void*) {}

// No mixer runs in the tests, so a started voice stays active until stopped.
int16_t silence[64] = {};

void BoxModel(Model& model, Vec3 half) {
    model = Model{};
    model.boundsMin = -half;
    model.boundsMax = half;
    model.radiusSquared = Dot(half, half);
    model.visible = 1;
}

}  // namespace

float FlatBase(float, float) { return 630.0f; }

void SetUpSimWorld(HeightFunction height) {
    SetClockSource(TestClock);
    TestNowMs = 1000000;
    SeedRand(12345);

    App = GameApp{};
    App.running = true;
    FrameDt = 0.03f;
    ResetGame();
    ClearOverlay(ScoreOverlay);

    loadedFromMedia = false;
    BuildTerrainGrid(TerrainModel, height != nullptr ? height : FlatBase);
    BoxModel(BiplaneModel.model, {4.5f, 1.5f, 3.5f});
    BoxModel(TriplaneModel, {4.0f, 2.0f, 3.5f});
    BoxModel(ZeppelinModel, {15.0f, 15.0f, 60.0f});
    BoxModel(TankModel, {3.0f, 2.0f, 4.0f});
    BoxModel(HangarModel, {10.0f, 6.0f, 10.0f});
    EulerMatrix({0.0f, -1.570795f, 0.0f}, HangarModel.matrix, {7600.0f, 630.0f, 6470.0f});

    // Seven silent voices in the order asset loading makes them.
    Sound.voiceCount = 7;
    for (int i = 0; i < 7; ++i) {
        Voice& v = Sound.voices[i];
        v.samples = silence;
        v.length = 64;
        v.active.store(false);
    }
    EngineVoice = 0;
    EnemyEngineVoice = 1;
    SirenVoice = 2;
    WindVoice = 3;
    GunsVoice = 4;
    EnemyGunsVoice = 5;
    CrashVoice = 6;
}

bool SetUpSimWorldOnGeneratedMedia() {
    if (!UseGeneratedMedia()) return false;
    Model terrain;
    SetErrorReportHook(IgnoreErrors, nullptr);
    bool found = LoadModelFile("terrain.a3f", terrain);
    SetErrorReportHook(nullptr, nullptr);
    if (!found) {
        ReleaseModel(terrain);
        SetMediaFolderOverride(nullptr);
        return false;
    }
    SetUpSimWorld();
    FreeTerrainGrid(TerrainModel);
    TerrainModel = terrain;
    ZeppelinModel = ArrayModel{};
    LoadArrayModel("blimp.a3f", ZeppelinModel);
    TankModel = ArrayModel{};
    LoadArrayModel("tank.a3f", TankModel);
    BiplaneModel = SkinnedModel{};
    LoadSkinnedModel(BiplaneModel, "biplane.a3f");
    if (BiplaneModel.animationCount > 0) StartAnimation(BiplaneModel, 0);
    loadedFromMedia = true;
    return true;
}

void TearDownSimWorld() {
    if (loadedFromMedia) {
        ReleaseModel(TerrainModel);
        ReleaseArrayModel(ZeppelinModel);
        ReleaseArrayModel(TankModel);
        ReleaseSkinnedModel(BiplaneModel);
        SetMediaFolderOverride(nullptr);
        loadedFromMedia = false;
    } else {
        FreeTerrainGrid(TerrainModel);
    }
    for (int i = 0; i < MaxVoices; ++i) {
        Sound.voices[i].samples = nullptr;
        Sound.voices[i].active.store(false);
    }
    Sound.voiceCount = 0;
    EngineVoice = EnemyEngineVoice = SirenVoice = WindVoice = GunsVoice = EnemyGunsVoice = CrashVoice = -1;
    SetClockSource(nullptr);
    App = GameApp{};
    FrameDt = 0;
}
