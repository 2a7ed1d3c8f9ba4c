#include "sim/simulation.h"

#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "core/services.h"
#include "audio/sound_system.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "sim/aircraft.h"
#include "sim/enemy_pilot.h"
#include "sim/flight_model.h"

int32_t Throttle = 0;
CameraViewKey CameraView = PilotView;
ControlAxes Axes;
const Vec3 ZeppelinGunOffset = {0.0f, -20.0f, -20.0f};
const Vec3 TankGunOffset = {0.0f, 3.0f, 0.0f};
const float EngineRatePresets[10] = {0.125f, 1.0f,  1.125f, 1.25f,  1.375f,
                                     1.5f,   1.625f, 1.75f, 1.825f, 2.0f};
SoundSources Sources;

namespace {

// Where the triplane comes back after it crashed: high above the field.
constexpr Vec3 TriplaneRespawn = {6000.0f, 4300.0f, 6500.0f};
// The hangar is a finish line once the player has been farther than sqrt(1000) from it,
// and the mission ends within 4 units of it.
constexpr float LeaveBaseDistance2 = 1000.0f;
constexpr float ReturnDistance2 = 16.0f;

void SetEngineRate(float rate) {
    if (Voice* v = VoiceById(EngineVoice)) v->baseRate.store(rate);
}

void PlayerControls() {
    uint8_t* keys = App.controls.keys;
    Aircraft& player = PlayerPlane;

    if (keys[vk::Space] != 0 && StartBurst(player)) StartVoiceUnlessActive(GunsVoice, &player.position, false);

    // A later key wins.
    if (keys[vk::Home] != 0) CameraView = PilotView;
    if (keys[vk::PageDown] != 0) CameraView = TargetView;
    if (keys[vk::PageUp] != 0) CameraView = DelayedPilotView;
    if (keys[vk::End] != 0) CameraView = RearView;

    // Each test comes before its change, so an axis can end up to t beyond +-1.
    float t = FrameDt * 0.1f;
    if (keys[vk::Right] != 0 && Axes.horizontal < 1.0f) Axes.horizontal += t;
    if (keys[vk::Left] != 0 && Axes.horizontal > -1.0f) Axes.horizontal -= t;
    if (keys[vk::Down] != 0 && Axes.vertical < 1.0f) Axes.vertical += t;
    if (keys[vk::Up] != 0 && Axes.vertical > -1.0f) Axes.vertical -= t;

    // One press moves the throttle one step: a key that acts is consumed.
    if (keys[vk::A] != 0 && Throttle < 9) {
        Throttle += 1;
        SetEngineRate(static_cast<float>(Throttle + 1) * 0.125f);
        keys[vk::A] = 0;
    }
    if (keys[vk::Z] != 0 && Throttle > 0) {
        Throttle -= 1;
        SetEngineRate(static_cast<float>(Throttle + 1) * 0.125f);
        keys[vk::Z] = 0;
    }
    for (int n = 0; n <= 9; ++n) {
        if (keys[vk::Digit0 + n] != 0 && Throttle != n) {
            Throttle = n;
            SetEngineRate(EngineRatePresets[n]);
            keys[vk::Digit0 + n] = 0;
        }
    }

    // The propeller turns faster with more throttle.
    UpdateSkinnedModel(BiplaneModel, static_cast<float>(Throttle) * FrameDt * 10.0f);
    FlyAircraft(player, FrameDt, -Axes.horizontal, -Axes.vertical, static_cast<float>(Throttle));
}

// The zeppelin and the tank: static targets that shoot with EnemyPlane's gun, parked at
// their gun for each burst.
void GroundTargetRules(Model& target, Vec3 gun, bool isZeppelin) {
    Sources.enemyEngine = MatrixTranslation(target.matrix);
    Aircraft& player = PlayerPlane;
    Aircraft& gunner = EnemyPlane;
    if (!player.destroyed) {
        // The player's position of the previous step.
        const Mat4& drawn = BiplaneModel.model.matrix;
        Vec3 d = MatrixTranslation(drawn) - gun;
        float dist = Length(d);
        if (ModelCollides(target)) {
            // Ramming costs the player and spares the target.
            StartVoiceUnlessActive(CrashVoice, &player.position, false);
            SetEngineRate(0.125f);
            Destroy(player);
            AddScore(-1);
        } else if (target.visible == TargetAlive) {
            UpdateGunOnly(gunner);
            if (gunner.firing) {
                // Lead the player by one distance along its heading.
                Vec3 aim = d + MatrixColumn(drawn, 2) * dist;
                Normalize(aim);
                FrameFromForwardUp({0.0f, 1.0f, 0.0f}, aim, gun, gunner.placement);
                gunner.velocity = {0.0f, 0.0f, 0.0f};
                Jitter(gunner.velocity);  // the spread of the next shot
                if (ShotsHit(gunner, player.position)) {
                    Destroy(player);
                    AddScore(-1);
                }
                StartVoiceUnlessActive(EnemyGunsVoice, &gunner.position, false);
            } else if (isZeppelin) {
                // The zeppelin's gun cannot reach a player more than 0.2 above it.
                if (dist < 500.0f && d.y < 0.2f) StartBurst(gunner);
            } else {
                if (dist < 400.0f) StartBurst(gunner);
            }
        }
    }
    if (player.firing && target.visible == TargetAlive && ShotsHit(player, MatrixTranslation(target.matrix))) {
        target.visible = TargetDestroyed;
        AddScore(5);
    }
}

void TriplaneRules() {
    Aircraft& player = PlayerPlane;
    Aircraft& enemy = EnemyPlane;
    PilotAircraft(enemy, player.position);
    if (enemy.firing) {
        if (!player.destroyed && ShotsHit(enemy, player.position)) {
            Destroy(player);
            AddScore(-1);
        }
        StartVoiceUnlessActive(EnemyGunsVoice, &enemy.position, false);
    }
    if (enemy.crashed) {
        // Worth 5 more; the pilot comes back high above the field and flies on once its
        // smoke trail has ended.
        AddScore(5);
        enemy.crashed = false;
        enemy.position = TriplaneRespawn;
        SetTranslation(enemy.placement, TriplaneRespawn);
    }
    TriplaneModel.matrix = enemy.placement;
    if (player.firing && !enemy.destroyed && ShotsHit(player, enemy.position)) {
        Destroy(enemy);
        AddScore(1);
    }
}

}  // namespace

bool TriplaneMission() { return TriplaneModel.visible > TargetInactive; }

void StartVoiceUnlessActive(int id, const Vec3* source, bool loop) {
    if (!VoiceActive(id)) PlayVoice(source, loop, id);
}

void StepSimulation() {
    Aircraft& player = PlayerPlane;
    if (!player.destroyed) {
        PlayerControls();
    } else {
        // Shot down: the fixed spin, no thrust and the smoke trail; the target is unused.
        PilotAircraft(player, player.position);
    }

    // Wind rises with the speed.
    float s = Length(player.velocity) * FrameDt * 100.0f;
    if (s < 1.0f) s = 1.0f;
    if (s > 10.0f) s = 10.0f;
    if (Voice* wind = VoiceById(WindVoice)) {
        wind->baseRate.store(s * 0.14285715f);
        wind->volume.store(s * 0.1f);
    }

    if (TriplaneMission()) {
        TriplaneRules();
    } else if (ZeppelinModel.visible == TargetAlive || ZeppelinModel.visible == TargetDestroyed) {
        GroundTargetRules(ZeppelinModel, MatrixTranslation(ZeppelinModel.matrix) + ZeppelinGunOffset, true);
    } else if (TankModel.visible > TargetInactive) {
        GroundTargetRules(TankModel, MatrixTranslation(TankModel.matrix) + TankGunOffset, false);
    }

    if (player.crashed) {
        Flow.state = Dead;
        StartVoiceUnlessActive(CrashVoice, &player.position, false);
        StopVoice(WindVoice);
        StopVoice(EngineVoice);
        StopVoice(EnemyEngineVoice);
        Score = 0;
        AddScore(0);  // shows GAME OVER, the state being Dead
        Flow.deadline = Seconds();
    }

    Vec3 toHangar = player.position - MatrixTranslation(HangarModel.matrix);
    float d2 = Dot(toHangar, toHangar);
    if (!LeftBase) {
        if (d2 > LeaveBaseDistance2) LeftBase = true;
    } else if (d2 < ReturnDistance2) {
        StartNextMission();
    }

    BiplaneModel.model.matrix = player.placement;
}

namespace {

// Half a model's box projected on the unit direction u, squared and summed over its own
// three axes (the sign of u does not matter).
float BoxReach(const Model& model, Vec3 u) {
    const Vec3 extent = model.boundsMax - model.boundsMin;
    const float e[3] = {extent.x, extent.y, extent.z};
    float reach = 0.0f;
    for (int i = 0; i < 3; ++i) {
        float p = Dot(u, MatrixColumn(model.matrix, i)) * e[i] * 0.5f;
        reach += p * p;
    }
    return reach;
}

}  // namespace

bool ModelCollides(const Model& target) {
    const Model& plane = BiplaneModel.model;
    if (plane.visible == 0 || target.visible == 0) return false;
    Vec3 d = MatrixTranslation(plane.matrix) - MatrixTranslation(target.matrix);
    float d2 = Dot(d, d);
    // Squared radii are added, not their roots: a generous first test.
    if (d2 > target.radiusSquared + plane.radiusSquared) return false;
    Vec3 u;
    NormalizedCopy(d, u);
    return d2 < BoxReach(target, u) + BoxReach(plane, u);
}
