#include "app/globals.h"

#include "app/game_app.h"
#include "app/game_window.h"
#include "app/settings.h"
#include "assets/texture_cache.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "render/help_card.h"
#include "render/overlay.h"
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
    // 1 speech output, 2 application, 3 overlay, 4 sound system: their initial values are
    // static.
    // 5 MIDI player: opens the MIDI output device.
    OpenMidiPlayer();
    // 6-7 aircraft, 8 view ring, 9-18 models: their initial values are static.
}

void TeardownGlobals() {
    // Reverse order of construction. The models normally go after the OpenGL context
    // (the quit key released it); their deletions then do nothing.
    ReleaseSkinnedModel(BiplaneModel);
    ReleaseArrayModel(TankModel);
    ReleaseArrayModel(ZeppelinModel);
    ReleaseModel(SmokeModel);
    ReleaseModel(SkyDomeModel);
    ReleaseModel(ShotModel);
    ReleaseModel(RunwayModel);
    ReleaseModel(HangarModel);
    ReleaseModel(TriplaneModel);
    ReleaseModel(TerrainModel);
    // 5 MIDI player.
    CloseMidiPlayer();
    // 4 sound system.
    if (Sound.open.load()) CloseSoundOutput();
    // 3 overlay.
    ReleaseOverlay(ScoreOverlay);
    ReleaseOverlay(CaptionOverlay);
    ReleaseHelpCard();
    // 2 application: textures, then the window (restoring the display mode when the quit
    // key did not already), then the settings when Start was pressed in this run.
    ReleaseTextures();
    DestroyGLWindow();
    SaveSettingsIfChanged();
    // 1 speech output: normally already shut down by the game's exit path.
    ShutdownSpeech();
}
