// One frame of the triplane mission: StepSimulation (the player's flight with its skinned
// biplane, the enemy pilot, the combat rules) and UpdateCamera. Target: under 50 us.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/game_app.h"
#include "app/game_flow.h"
#include "app/globals.h"
#include "app/services.h"
#include "assets/skinned_model.h"
#include "sim/aircraft.h"
#include "sim/camera.h"
#include "sim/simulation.h"

namespace {

// The game's terrain grid (50 x 50 cells of 1000 units, two faces per cell) over rolling
// heights.
void BuildTerrain(Model& model) {
    const int side = 51;
    model.vertexCount = side * side;
    model.vertices = new Vertex[model.vertexCount];
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            float h = 630.0f + static_cast<float>((row * 37 + column * 91) % 200) * 2.0f;
            model.vertices[row * side + column] =
                Vertex{{-25000.0f + column * 1000.0f, h, -25000.0f + row * 1000.0f}, {0, 1, 0}, 0, 0};
        }
    }
    model.faceCount = 50 * 50 * 2;
    model.faces = new Face[model.faceCount];
    for (int row = 0; row < 50; ++row) {
        for (int column = 0; column < 50; ++column) {
            uint32_t v = row * side + column;
            model.faces[2 * (row * 50 + column)] = Face{v, v + side, v + side + 1};
            model.faces[2 * (row * 50 + column) + 1] = Face{v, v + side + 1, v + 1};
        }
    }
    model.visible = 1;
}

void ErrorsToNowhere(const char*, const char*, const char*, void*) {}

// The player at full throttle in a gentle climbing turn at 3000, the enemy ace after it.
void PutPlayerAloft() {
    PlayerPlane.position = {0.0f, 3000.0f, 0.0f};
    PlayerPlane.velocity = {0.0f, 0.0f, 10.0f};
    PlayerPlane.placement = Identity4;
    SetTranslation(PlayerPlane.placement, PlayerPlane.position);
    PlayerPlane.destroyed = PlayerPlane.crashed = false;
    EnemyPlane.position = {1500.0f, 3500.0f, -2000.0f};
    EnemyPlane.velocity = {0.0f, 0.0f, 10.0f};
    EnemyPlane.placement = Identity4;
    SetTranslation(EnemyPlane.placement, EnemyPlane.position);
    EnemyPlane.destroyed = EnemyPlane.crashed = false;
}

void BM_TriplaneMissionFrame(benchmark::State& state) {
    SetErrorReportHook(ErrorsToNowhere, nullptr);
    if (const char* media = std::getenv("KELVANE_MEDIA_DIR")) SetMediaFolderOverride(media);
    BuildTerrain(TerrainModel);
    // The skinned biplane when the media are there (the game advances its propeller every
    // frame); without them the frame runs without skinning.
    LoadSkinnedModel(BiplaneModel, "biplane.a3f");
    if (BiplaneModel.animationCount > 0) StartAnimation(BiplaneModel, 0);
    state.counters["skinned"] = BiplaneModel.model.vertexCount;

    App.running = true;
    FrameDt = 0.03f;
    while (MissionIndex != 2) StartNextMission();
    GameState = Playing;
    Throttle = 9;
    App.controls.stickX = 0.3f;
    App.controls.stickY = -0.2f;
    CameraView = 36;
    PutPlayerAloft();

    for (auto _ : state) {
        HorizontalControl = 0.3f;
        VerticalControl = -0.2f;
        StepSimulation();
        UpdateCamera();
        if (PlayerPlane.destroyed || PlayerPlane.position.y < 1500.0f || GameState != Playing) {
            state.PauseTiming();
            GameState = Playing;
            PutPlayerAloft();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(App.camera);
    SetErrorReportHook(nullptr, nullptr);
}
BENCHMARK(BM_TriplaneMissionFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
