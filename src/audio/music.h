// The MIDI tune that plays from start-up.
#pragma once

void StartMusic();
// Stops the tune for good: the device is not opened again in this run.
void StopMusic();
