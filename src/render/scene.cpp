#include "render/scene.h"

#include <GL/gl.h>

#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "core/services.h"
#include "assets/mesh_drawing.h"
#include "audio/sound_system.h"
#include "math/mat4.h"
#include "math/random.h"
#include "render/overlay.h"
#include "sim/wreckage.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"

namespace {

// Where the death puff sits relative to the crashed player.
constexpr Vec3 DeathPuffOffset = {5.0f, 5.0f, 5.0f};

void DrawShots(Aircraft& aircraft) {
    if (!aircraft.firing) return;
    int count = aircraft.shotCount < MaxShots ? aircraft.shotCount : MaxShots;
    for (int j = 0; j < count; ++j) {
        SetTranslation(aircraft.shotMatrices[j], aircraft.shotPositions[j]);
        ShotModel.matrix = aircraft.shotMatrices[j];
        DrawModelList(ShotModel);
    }
}

// The shot-down enemy's trail, every puff turned to face the player.
void DrawEnemySmoke() {
    if (!EnemyPlane.destroyed) return;
    glEnable(GL_BLEND);
    // The count runs one past the trail's last slot once the trail is complete.
    int count = EnemyPlane.smokeCount < MaxSmokePuffs ? EnemyPlane.smokeCount : MaxSmokePuffs;
    for (int i = 0; i < count; ++i) {
        float s = EnemyPlane.smokeScale[i];
        AimAt(SmokeModel.matrix, Vec3{s, s, 1.0f}, EnemyPlane.smokePositions[i], PlayerPlane.position,
              EnemyPlane.smokeAxis[i]);
        DrawModelList(SmokeModel);
    }
    glDisable(GL_BLEND);
}

}  // namespace

void DrawModelList(const Model& model) {
    if (model.visible < 1) return;
    glLoadMatrixf(model.matrix.m);
    glBindTexture(GL_TEXTURE_2D, model.texture);
    glCallList(model.displayList);
}

void DrawDeathPuff() {
    float s = Seconds() - Flow.deadline + 1.0f;
    SetTilt(SmokeModel.matrix);
    ScaleAxes(SmokeModel.matrix, s, s, s);
    SetTranslation(SmokeModel.matrix, PlayerPlane.position + DeathPuffOffset);
    glEnable(GL_BLEND);
    DrawModelList(SmokeModel);
    glDisable(GL_BLEND);
}

void DrawScene() {
    // The dome is drawn first into a frame cleared to the farthest depth, with back faces
    // culled, so its own triangles never overlap: every one of its fragments would pass the
    // depth test. And everything else lies inside it, so the depth it would write never
    // hides anything drawn later. Without the test (which also leaves the depth buffer
    // alone) the picture is the same, and the software renderer skips a read and a write
    // of the depth buffer for every pixel of the sky.
    glDisable(GL_DEPTH_TEST);
    DrawModelList(SkyDomeModel);
    glEnable(GL_DEPTH_TEST);
    DrawModelList(TerrainModel);
    DrawSkinnedModel(BiplaneModel);
    DrawModelList(TriplaneModel);
    // The wrecks are drawn as this frame's collapse left them (AdvanceWreckage).
    DrawArrayModel(ZeppelinModel);
    if (!Wreckage.tankGoneNow) DrawArrayModel(TankModel);
    DrawModelList(HangarModel);
    DrawModelList(RunwayModel);
    DrawShots(EnemyPlane);
    DrawShots(PlayerPlane);
    DrawEnemySmoke();
    if (CameraView == DeathView) DrawDeathPuff();
    DrawOverlay(ScoreOverlay);
}
