// The enemy pilot: a few bang-bang rules that fly an aircraft toward a point and open fire
// when it lies ahead and close. It flies the aircraft with exactly the player's model.
#pragma once

#include "sim/aircraft.h"

// One step toward target; reads FrameDt. A destroyed aircraft only spins and smokes.
void PilotAircraft(Aircraft& aircraft, Vec3 target);
