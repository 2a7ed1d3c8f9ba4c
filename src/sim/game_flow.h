// The game-flow state machine and the missions.
#pragma once

#include <cstdint>

#include "math/vec3.h"

enum FlowState : int32_t {
    StartMission = 0,  // start the next mission on this frame
    Briefing = 1,      // timed wait with the camera running and the simulation stopped
    Playing = 2,       // the simulation runs
    Dead = 3,          // the player crashed; waiting for the crash sound to end
};

// The state machine, for the whole run.
struct GameFlow {
    FlowState state = StartMission;      // current state
    FlowState nextState = StartMission;  // entered when the briefing wait ends
    float briefingClock = 0.0f;          // seconds
    // The wait ends once briefingClock exceeds it; also the moment of a crash, which the
    // death puff is timed from.
    float deadline = 0.0f;
};
extern GameFlow Flow;
extern int32_t MissionIndex;  // 0..2; -1 before the first mission
extern bool LeftBase;         // this mission: the player has been farther than sqrt(1000) from the hangar

// Called once per drawn frame before the camera is applied and the scene drawn.
void UpdateGame();
// One drawn frame of the game, everything before the drawing: UpdateGame, then the mixer
// hears the aircraft where the frame left them, then the wreck collapses one step. The
// frame loop and every run that draws nothing (the replay, the pilot) call it.
void StepGameFrame();
// Everything a new game starts from: the flow and the mission counter, the score, both
// aircraft, the throttle, the control axes, the camera view and the camera's state.
void ResetGame();
// Sets up the next mission of the cycle and briefs it.
void StartNextMission();

// The endless cycle of three missions.
constexpr int MissionCount = 3;
struct Mission {
    const char* name;        // the HUD line while it is briefed
    Vec3 targetViewOffset;   // the target view's eye in the target's frame
};
extern const Mission Missions[MissionCount];
// Spoken at mission start, and after a crash once the crash sound has ended.
extern const wchar_t* const BriefingTexts[MissionCount];
extern const wchar_t DeathText[];
