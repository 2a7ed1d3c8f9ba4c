// Model loading and skinning speed: a 51 x 51 terrain file must load in under 20 ms, and
// one skinning update of a 1000-vertex, 2-bone model must take under 30 microseconds.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/services.h"
#include "assets/model.h"
#include "assets/skinned_model.h"

namespace {

// A 51 x 51 grid (2601 vertices, 5000 triangles) with normals and texture coordinates,
// written the way an exporter writes numbers.
std::string TerrainText() {
    const int n = 51;
    std::string s = "A3F\nVERSION { 1.0 }\nCOMMENT { generated terrain }\n";
    s += "VERTICES { POSITION_NORMAL_TEXCOORDS " + std::to_string(n * n) + "\n";
    char line[256];
    for (int z = 0; z < n; ++z) {
        for (int x = 0; x < n; ++x) {
            float h = static_cast<float>((x * 37 + z * 91) % 200) * 0.731f;
            std::snprintf(line, sizeof line, "%.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f\n",
                          -25000.0f + x * 1000.0f, h, -25000.0f + z * 1000.0f, 0.05f, 0.99f,
                          -0.03f, x / 50.0f, z / 50.0f);
            s += line;
        }
    }
    s += "}\nFACES { " + std::to_string(2 * (n - 1) * (n - 1)) + "\n";
    for (int z = 0; z < n - 1; ++z) {
        for (int x = 0; x < n - 1; ++x) {
            int i = z * n + x;
            std::snprintf(line, sizeof line, "%d %d %d 0\n%d %d %d 0\n", i, i + n, i + 1, i + 1,
                          i + n, i + n + 1);
            s += line;
        }
    }
    s += "}\nMATERIALS { 1\n{ NAME ground DIFFUSE 0.6 0.7 0.5 1 SHININESS 0 }\n}\n";
    return s;
}

void BM_ParseTerrain(benchmark::State& state) {
    std::string text = TerrainText();
    for (auto _ : state) {
        Model model;
        bool ok = LoadModelFromMemory("terrain.a3f", text.data(), text.size(), model);
        benchmark::DoNotOptimize(ok);
        ReleaseModel(model);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseTerrain)->Unit(benchmark::kMillisecond);

void BM_LoadTerrainFile(benchmark::State& state) {
    char folder[] = "/tmp/kelvane-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string path = std::string(folder) + "/terrain.a3f";
    std::string text = TerrainText();
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    SetMediaFolderOverride(folder);
    for (auto _ : state) {
        Model model;
        bool ok = LoadModelFile("terrain.a3f", model);
        benchmark::DoNotOptimize(ok);
        ReleaseModel(model);
    }
    SetMediaFolderOverride(nullptr);
    unlink(path.c_str());
    rmdir(folder);
}
BENCHMARK(BM_LoadTerrainFile)->Unit(benchmark::kMillisecond);

// 1000 vertices with normals and a four-key looping spin of the propeller. With one
// weight per vertex the first half follows the body and the rest the propeller (rigid
// parts, as the biplane is built); with two, every vertex is weighted half by each bone.
std::string SkinnedText(int weightsPerVertex) {
    const int n = 1000;
    std::string s = "A3F\nVERTICES { POSITION_NORMAL " + std::to_string(n) + "\n";
    char line[256];
    for (int i = 0; i < n; ++i) {
        float a = i * 0.0063f;
        std::snprintf(line, sizeof line, "%.4f %.4f %.4f %.4f %.4f %.4f\n", (i % 10) * 0.3f,
                      (i / 10 % 10) * 0.2f, (i / 100) * 0.5f, std::cos(a), std::sin(a), 0.0f);
        s += line;
    }
    s += "}\nFACES { 1 0 1 2 0 }\n";
    std::string bodyWeights, propWeights;
    int bodyCount = 0, propCount = 0;
    for (int i = 0; i < n; ++i) {
        if (weightsPerVertex == 2) {
            bodyWeights += " " + std::to_string(i) + " 0.5";
            propWeights += " " + std::to_string(i) + " 0.5";
            ++bodyCount;
            ++propCount;
        } else if (i < n / 2) {
            bodyWeights += " " + std::to_string(i) + " 1.0";
            ++bodyCount;
        } else {
            propWeights += " " + std::to_string(i) + " 1.0";
            ++propCount;
        }
    }
    s += "BONES { 2\n";
    s += "{ NAME body PARENT NONE MATRIX 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 GRAMS 800 "
         "VERTEX_WEIGHTS { " + std::to_string(bodyCount) + bodyWeights + " } }\n";
    s += "{ NAME prop PARENT body MATRIX 1 0 0 0 0 1 0 0 0 0 1 0 0 0 -2 1 GRAMS 20 "
         "VERTEX_WEIGHTS { " + std::to_string(propCount) + propWeights + " } }\n}\n";
    s += "ANIMATIONS { 1\nANIMATION { spin 1.0 4\n";
    const char* const keys[] = {
        "0.0 1 ANIM_FRAME { prop 1 0 0 0 0 1 0 0 0 0 1 0 0 0 2 1 }",
        "0.25 1 ANIM_FRAME { prop 0 0 -1 0 0 1 0 0 1 0 0 0 0 0 2 1 }",
        "0.5 1 ANIM_FRAME { prop -1 0 0 0 0 1 0 0 0 0 -1 0 0 0 2 1 }",
        "0.75 1 ANIM_FRAME { prop 0 0 1 0 0 1 0 0 -1 0 0 0 0 0 2 1 }",
    };
    for (const char* key : keys) s += std::string("ANIM_KEY { ") + key + " }\n";
    s += "}\n}\n";
    return s;
}

void BM_UpdateSkinnedModel(benchmark::State& state) {
    std::string text = SkinnedText(static_cast<int>(state.range(0)));
    SkinnedModel skinned;
    LoadSkinnedModelFromMemory(skinned, "biplane.a3f", text.data(), text.size());
    if (skinned.bones == nullptr || skinned.animationCount != 1) {
        state.SkipWithError("the skinned model did not load");
        return;
    }
    StartAnimation(skinned, 0);
    for (auto _ : state) {
        UpdateSkinnedModel(skinned, 0.033f);
        benchmark::DoNotOptimize(skinned.skinPositions[0]);
    }
    ReleaseSkinnedModel(skinned);
}
// Argument: weights per vertex.
BENCHMARK(BM_UpdateSkinnedModel)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
