#include "app/globals.h"

#include "app/game_app.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "sim/aircraft.h"
#include "speech/speech.h"

// Every object below is constant-initialised (no constructor runs before main), so only
// the explicit steps of ConstructGlobals/TeardownGlobals decide what happens when.
GameApp App;
Aircraft PlayerPlane;
Aircraft EnemyPlane;

Model TerrainModel;
Model TriplaneModel;
Model HangarModel;
Model RunwayModel;
Model ShotModel;
Model SkyDomeModel;
Model SmokeModel;
ArrayModel ZeppelinModel;
ArrayModel TankModel;
SkinnedModel BiplaneModel;

void ConstructGlobals() {
    // 1 speech output, 2 application, 3 overlay, 4 sound system: nothing to run yet.
    // 5 MIDI player: opens the MIDI output device.
    OpenMidiPlayer();
    // 6-7 aircraft, 8 view ring, 9-18 models: their initial values are static.
}

void TeardownGlobals() {
    // Reverse order: biplane, tank, zeppelin, smoke, sky dome, shot, runway, hangar,
    // triplane, terrain, MIDI player, sound system, overlay, application, speech output.
    CloseMidiPlayer();
    if (Sound.open.load()) CloseSoundOutput();
    // Speech output: normally already shut down by the game's exit path.
    ShutdownSpeech();
}
