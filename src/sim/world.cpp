#include "sim/world.h"

#include "assets/mesh_drawing.h"
#include "assets/texture_cache.h"
#include "math/mat4.h"
#include "sim/aircraft.h"

// Every object below is constant-initialised (no constructor runs before main).
Aircraft PlayerPlane;
Aircraft EnemyPlane;

Model TerrainModel;
Model TriplaneModel;
Model HangarModel;
Model RunwayModel;
Model ShotModel;
Model SkyDomeModel;
Model SmokeModel;
ArrayModel ZeppelinModel;
ArrayModel TankModel;
SkinnedModel BiplaneModel;

namespace {

// The base: the hangar stands beside the runway, turned a quarter turn the other way; the
// sky dome is a unit dome blown up to cover the whole terrain.
constexpr Vec3 HangarPosition = {7600.0f, 630.0f, 6470.0f};
constexpr EulerAngles HangarAngles = {0.0f, -1.570795f, 0.0f};
constexpr Vec3 RunwayPosition = {7800.0f, 630.25f, 6500.0f};
constexpr EulerAngles RunwayAngles = {0.0f, 1.570795f, 0.0f};
constexpr Vec3 SkyDomePosition = {0.0f, -5000.0f, 0.0f};
constexpr float SkyDomeScale = 80000.0f;

}  // namespace

void LoadWorld(WorldUse use) {
    LoadWorldModels(use);
    StartWorld();
}

void LoadWorldModels(WorldUse use) {
    const bool compile = use == WorldUse::Drawn;
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

void StartWorld() {
    // The propeller turns with the throttle.
    if (BiplaneModel.animationCount > 0) StartAnimation(BiplaneModel, 0);
    PlaceFixedScenery();
}

void UnloadWorld() {
    ReleaseSkinnedModel(BiplaneModel);
    ReleaseArrayModel(TankModel);
    ReleaseArrayModel(ZeppelinModel);
    ReleaseModel(SmokeModel);
    ReleaseModel(SkyDomeModel);
    ReleaseModel(ShotModel);
    ReleaseModel(RunwayModel);
    ReleaseModel(HangarModel);
    ReleaseModel(TriplaneModel);
    ReleaseModel(TerrainModel);
}

void PlaceFixedScenery() {
    EulerMatrix(HangarAngles, HangarModel.matrix, HangarPosition);
    EulerMatrix(RunwayAngles, RunwayModel.matrix, RunwayPosition);
    PlacementMatrix(SkyDomeModel.matrix, SkyDomeScale, SkyDomeScale, SkyDomeScale, EulerAngles{0, 0, 0},
                    SkyDomePosition);
}
