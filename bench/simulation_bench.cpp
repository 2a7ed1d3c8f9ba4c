// One frame of the triplane mission: StepSimulation (the player's flight with its skinned
// biplane, the enemy pilot, the combat rules) and UpdateCamera. Target: under 50 us.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "core/services.h"
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

// Without the generated media: a stand-in biplane of 1000 vertices, half on the body bone
// and half on the propeller bone, with a four-key looping propeller spin.
std::string StandInBiplane() {
    const int n = 1000;
    std::string s = "A3F\nVERTICES { POSITION_NORMAL " + std::to_string(n) + "\n";
    char line[256];
    for (int i = 0; i < n; ++i) {
        float a = i * 0.0063f;
        std::snprintf(line, sizeof line, "%.4f %.4f %.4f %.4f %.4f 0\n", (i % 10) * 0.3f - 1.5f,
                      (i / 10 % 10) * 0.2f - 1.0f, (i / 100) * 0.7f - 3.5f, std::cos(a), std::sin(a));
        s += line;
    }
    s += "}\nFACES { 1 0 1 2 0 }\nBONES { 2\n{ NAME body PARENT NONE MATRIX 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 "
         "GRAMS 800 VERTEX_WEIGHTS { 500";
    for (int i = 0; i < n / 2; ++i) s += " " + std::to_string(i) + " 1.0";
    s += " } }\n{ NAME prop PARENT body MATRIX 1 0 0 0 0 1 0 0 0 0 1 0 0 0 -3.5 1 GRAMS 20 "
         "VERTEX_WEIGHTS { 500";
    for (int i = n / 2; i < n; ++i) s += " " + std::to_string(i) + " 1.0";
    s += " } }\n}\nANIMATIONS { 1\nANIMATION { spin 10.0 4\n"
         "ANIM_KEY { 0.0 1 ANIM_FRAME { prop 1 0 0 0 0 1 0 0 0 0 1 0 0 0 3.5 1 } }\n"
         "ANIM_KEY { 2.5 1 ANIM_FRAME { prop 0 1 0 0 -1 0 0 0 0 0 1 0 0 0 3.5 1 } }\n"
         "ANIM_KEY { 5.0 1 ANIM_FRAME { prop -1 0 0 0 0 -1 0 0 0 0 1 0 0 0 3.5 1 } }\n"
         "ANIM_KEY { 7.5 1 ANIM_FRAME { prop 0 -1 0 0 1 0 0 0 0 0 1 0 0 0 3.5 1 } }\n}\n}\n";
    return s;
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
    // The skinned biplane (the game advances its propeller every frame): the generated one
    // when the media are there, else the stand-in.
    LoadSkinnedModel(BiplaneModel, "biplane.a3f");
    if (BiplaneModel.bones == nullptr) {
        ReleaseSkinnedModel(BiplaneModel);
        std::string text = StandInBiplane();
        LoadSkinnedModelFromMemory(BiplaneModel, "biplane.a3f", text.data(), text.size());
    }
    if (BiplaneModel.animationCount > 0) StartAnimation(BiplaneModel, 0);
    state.counters["skinned_vertices"] = BiplaneModel.model.vertexCount;

    App.running = true;
    FrameDt = 0.03f;
    while (MissionIndex != 2) StartNextMission();
    Flow.state = Playing;
    Throttle = 9;
    App.controls.stickX = 0.3f;
    App.controls.stickY = -0.2f;
    CameraView = PilotView;
    PutPlayerAloft();

    int64_t resets = 0;
    for (auto _ : state) {
        Axes.horizontal = 0.3f;
        Axes.vertical = -0.2f;
        StepSimulation();
        UpdateCamera();
        if (PlayerPlane.destroyed || PlayerPlane.position.y < 1500.0f || Flow.state != Playing) {
            state.PauseTiming();
            ++resets;
            Flow.state = Playing;
            PutPlayerAloft();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(App.camera);
    // How often the player had to be put back aloft (paused time, not measured).
    state.counters["resets"] = static_cast<double>(resets);
    ReleaseSkinnedModel(BiplaneModel);
    SetErrorReportHook(nullptr, nullptr);
}
BENCHMARK(BM_TriplaneMissionFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
