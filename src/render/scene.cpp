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

namespace {

// Whether every model drawn before the sky in the cheap order covers what lies behind it:
// a blended one must see the sky behind it, so with one among them the sky goes first.
bool OpaqueScenery() {
    const Model* models[] = {&TerrainModel,  &BiplaneModel.model, &TriplaneModel, &ZeppelinModel,
                             &TankModel,     &HangarModel,        &RunwayModel,   &ShotModel};
    for (const Model* m : models)
        if (m->alphaMode != AlphaNone) return false;
    return true;
}

// The sky dome where nothing opaque was drawn. Its fragments are all put at the farthest
// depth, where the clear left the buffer: they pass wherever the depth stayed there, which
// is exactly where the dome drawn first would still show (an opaque fragment passes only
// nearer than that, so none lies at the farthest depth itself). The dome's own depth never counts, so
// its far parts cannot round onto the terrain's with a 16-bit depth buffer, and it writes
// none, as when it was drawn first without the test.
void DrawSkyBehind() {
    glDepthRange(1.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    DrawModelList(SkyDomeModel);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDepthRange(0.0, 1.0);
}

// The sky dome first, over the whole frame: without the depth test, which neither reads
// nor writes the depth buffer. The frame was cleared to the farthest depth and the dome's
// back faces are culled, so every fragment would pass it anyway, and everything lies
// inside the dome.
void DrawSkyFirst() {
    glDisable(GL_DEPTH_TEST);
    DrawModelList(SkyDomeModel);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

void DrawScene() {
    // The software renderer's time goes in shading fragments that later draws cover. So the
    // opaque world is drawn front first, in the views from the own aircraft (it covers a
    // third of the pilot's view), then the terrain and the scenery, and the sky last, only
    // where they left the frame empty; anything blended after it. The picture is the one of
    // the sky drawn first: opaque fragments replace what is under them, and between opaque
    // draws only a tie in depth depends on the order. Seen from its own cockpit the
    // aircraft lies too near for the depth of its wheels to tie the ground's; the delayed
    // view may show it from afar (a 16-bit depth buffer ties them there), so it keeps the
    // terrain first, and so does everything on the terrain (the runway lies just above it,
    // so at range their depths tie).
    const bool skyLast = OpaqueScenery();
    const bool nearAircraft = skyLast && (CameraView == PilotView || CameraView == RearView);
    if (!skyLast) DrawSkyFirst();
    if (nearAircraft) DrawSkinnedModel(BiplaneModel);
    DrawModelList(TerrainModel);
    if (!nearAircraft) DrawSkinnedModel(BiplaneModel);
    DrawModelList(TriplaneModel);
    // The wrecks are drawn as this frame's collapse left them (AdvanceWreckage).
    DrawArrayModel(ZeppelinModel);
    if (!Wreckage.tankGoneNow) DrawArrayModel(TankModel);
    DrawModelList(HangarModel);
    DrawModelList(RunwayModel);
    DrawShots(EnemyPlane);
    DrawShots(PlayerPlane);
    if (skyLast) DrawSkyBehind();
    DrawEnemySmoke();
    if (CameraView == DeathView) DrawDeathPuff();
    DrawOverlay(ScoreOverlay);
    if (CaptionOverlay.text[0] != '\0') DrawOverlay(CaptionOverlay);
}
