#include "render/scene.h"

#include <GL/gl.h>

#include "app/game_app.h"
#include "app/game_flow.h"
#include "app/globals.h"
#include "app/services.h"
#include "assets/mesh_drawing.h"
#include "audio/sound_system.h"
#include "math/mat4.h"
#include "math/random.h"
#include "render/overlay.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"

namespace {

// The tank's collapse is timed by the texture coordinates of this vertex.
constexpr uint32_t TankTimerVertex = 15;
constexpr float TankGoneU = 0.005f;
// Per frame: texture coordinates drift toward the corner at this rate.
constexpr float TextureDecay = 0.995f;
// Where the death puff sits relative to the crashed player.
constexpr Vec3 DeathPuffOffset = {5.0f, 5.0f, 5.0f};

// A fresh draw mapped onto [0, 1].
float Unit() { return static_cast<float>(Rand()) / static_cast<float>(RandMax); }

void DecayTexCoords(ArrayModel& model) {
    if (model.texCoords == nullptr) return;
    for (uint32_t i = 0; i < 2 * model.vertexCount; ++i) model.texCoords[i] *= TextureDecay;
}

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

void DrawFallingZeppelin() {
    ArrayModel& z = ZeppelinModel;
    DecayTexCoords(z);
    if (z.positions != nullptr) {
        for (uint32_t i = 0; i < z.vertexCount; ++i) {
            float* p = z.positions + 3 * static_cast<size_t>(i);
            p[0] *= 1.0049f - 0.01f * Unit();
            p[1] *= 1.0045f - 0.01f * Unit();
            p[2] *= 1.0049f - 0.01f * Unit();
        }
    }
    float a = RandSigned();
    float b = RandSigned();
    float c = RandSigned();
    RotateLocal(z.matrix, EulerAngles{0.01f * c, 0.01f * b, 0.01f * a});

    // The fall speeds up by frame time, but moves by the velocity once per frame.
    z.velocity.y += -0.1f * FrameDt;
    SetTranslation(z.matrix, MatrixTranslation(z.matrix) + z.velocity);
    if (z.matrix.m[13] < 0.0f) {
        z.visible = 3;
        if (VoiceActive(EnemyEngineVoice)) StopVoice(EnemyEngineVoice);
    }
    DrawArrayModel(z);
}

void DrawDestroyedTank() {
    ArrayModel& t = TankModel;
    DecayTexCoords(t);
    if (t.positions != nullptr) {
        for (uint32_t i = 0; i < t.vertexCount; ++i) t.positions[3 * static_cast<size_t>(i) + 1] *= 1.0f - 0.001f * Unit();
    }
    // A tank without the timing vertex's texture coordinate has nothing to time its
    // collapse by: it ends at once rather than never.
    bool timed = t.texCoords != nullptr && t.vertexCount > TankTimerVertex;
    if (!timed || t.texCoords[2 * TankTimerVertex] < TankGoneU) {
        t.visible = 3;
        return;
    }
    DrawArrayModel(t);
}

void DrawDeathPuff() {
    float s = Seconds() - Deadline + 1.0f;
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
    if (ZeppelinModel.visible == 2)
        DrawFallingZeppelin();
    else
        DrawArrayModel(ZeppelinModel);
    if (TankModel.visible == 2)
        DrawDestroyedTank();
    else
        DrawArrayModel(TankModel);
    DrawModelList(HangarModel);
    DrawModelList(RunwayModel);
    DrawShots(EnemyPlane);
    DrawShots(PlayerPlane);
    DrawEnemySmoke();
    if (CameraView == 0) DrawDeathPuff();
    DrawOverlay(ScoreOverlay);
}
