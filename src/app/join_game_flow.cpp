// Temporary join point: the game flow is not built yet.
#include "app/game_flow.h"

FlowState GameState = StartMission;
FlowState NextState = StartMission;
float BriefingClock = 0;
float Deadline = 0;
int32_t MissionIndex = -1;
bool LeftBase = false;

void UpdateGame() {}
void StartNextMission() {}
