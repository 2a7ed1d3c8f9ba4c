// The per-frame simulation step: the player's controls, the enemy, shots, hits, ramming
// and kills of the three missions, the score, the crash and the return to the hangar.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/vec3.h"

// The player's throttle setting 0..9; 0 at mission start.
extern int32_t Throttle;
// The camera view: the virtual-key code of the key that chose it (Home 36 pilot, PgUp 33
// delayed pilot, PgDn 34 target, End 35 rear), or 0 for the death view.
extern int32_t CameraView;
// The two control axes: copied from the stick every frame, nudged by the arrow keys.
extern float HorizontalControl;
extern float VerticalControl;
// Where the zeppelin's and the tank's guns sit relative to their models.
extern const Vec3 ZeppelinGunOffset;
extern const Vec3 TankGunOffset;
// Engine sound rate for each throttle digit 0..9 (8 is 1.825, not 1.875).
extern const float EngineRatePresets[10];
// The zeppelin's or tank's position, kept for their engine sound (the mixer reads it).
extern Vec3 EnemyEngineSource;

// The third mission runs while the triplane model's state word is above 0.
bool TriplaneMission();

// One step; reads FrameDt. Runs only while the game is Playing.
void StepSimulation();
// Whether the player's drawn biplane overlaps the target model (ramming).
bool ModelCollides(const Model& target);

// Starts a voice unless it is already playing.
void StartVoiceUnlessActive(int id, const Vec3* source, bool loop);
