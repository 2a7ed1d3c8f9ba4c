// The per-frame simulation step: the player's controls, the enemy, shots, hits, ramming
// and kills of the three missions, the score, the crash and the return to the hangar.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vec3.h"
#include "platform/input_event.h"

// The player's throttle setting 0..9; 0 at mission start.
extern int32_t Throttle;
// The camera views, numbered by the virtual-key code of the key that chooses each.
enum CameraViewKey : int32_t {
    DeathView = 0,          // chosen by the crash, no key
    DelayedPilotView = 33,  // Page Up
    TargetView = 34,        // Page Down
    RearView = 35,          // End
    PilotView = 36,         // Home
};
static_assert(DelayedPilotView == vk::PageUp && TargetView == vk::PageDown && RearView == vk::End &&
                  PilotView == vk::Home,
              "a view is stored as the code of its key");
// The camera view.
extern CameraViewKey CameraView;
// The two control axes: copied from the stick every frame, nudged by the arrow keys.
struct ControlAxes {
    float horizontal = 0.0f;
    float vertical = 0.0f;
};
extern ControlAxes Axes;
// Where the zeppelin's and the tank's guns sit relative to their models.
extern const Vec3 ZeppelinGunOffset;
extern const Vec3 TankGunOffset;
// Engine sound rate for each throttle digit 0..9 (8 is 1.825, not 1.875).
extern const float EngineRatePresets[10];
// Where the sounds that are not an aircraft's own come from; the mixer reads them live.
struct SoundSources {
    Vec3 enemyEngine{};  // the zeppelin's or the tank's position
    Vec3 siren{};        // the hangar
};
extern SoundSources Sources;

// The third mission runs while the triplane model's state word is above 0.
bool TriplaneMission();

// One step; reads FrameDt. Runs only while the game is Playing.
void StepSimulation();
// Whether the player's drawn biplane overlaps the target model (ramming).
bool ModelCollides(const Model& target);

// Starts a voice unless it is already playing.
void StartVoiceUnlessActive(int id, const Vec3* source, bool loop);
