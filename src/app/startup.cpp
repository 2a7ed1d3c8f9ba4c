#include "app/startup.h"

#include <cstdlib>

#include "app/assets.h"
#include "app/game_window.h"
#include "app/recording.h"
#include "app/settings_file.h"
#include "assets/texture_cache.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "audio/sound_system.h"
#include "core/game_app.h"
#include "core/trace.h"
#include "hud/text_overlay.h"
#include "render/help_card.h"
#include "sim/world.h"
#include "speech/speech.h"

// The long-lived objects (the speech output, App, the HUD bitmap, the sound system, the
// MIDI player, the two aircraft, the camera's view ring and the ten models) are all
// constant-initialised: no constructor runs before main, so only the steps below decide
// what happens when.

bool StartUp() {
    // The MIDI player is the one object whose construction does work: it opens the MIDI
    // output device, before anything else, so the tune can start at once.
    TraceLine("start midi player");
    OpenMidiPlayer();
    // The tune plays while the launcher is open.
    TraceLine("start music");
    StartMusic();
    // The random seed, the pads, the launcher, the window with its OpenGL state, the
    // texture cache and the joystick: everything the assets need to load into.
    TraceLine("start game window");
    const float clearColour[4] = {0.05f, 0.15f, 0.15f, 0.0f};
    if (!InitGame(clearColour)) return false;
    // Models into display lists, the sound output and the sounds, the HUD, the fixed
    // scenery and the speech engine.
    TraceLine("start assets");
    LoadAssets();
    // KELVANE_RECORD=<file> records this session's input for a later replay, from the
    // first frame on.
    const char* recordPath = std::getenv("KELVANE_RECORD");
    if (recordPath != nullptr && recordPath[0] != '\0') {
        TraceLine("start recording");
        StartRecording(recordPath);
    }
    return true;
}

void ShutDown() {
    if (RecordingActive()) {
        TraceLine("stop recording");
        StopRecording();
    }
    // A briefing still being spoken stops first; this also releases everything the speech
    // output holds, so it has nothing left to release at the end.
    TraceLine("stop speech");
    ShutdownSpeech();
    // Then the reverse order of construction. The models normally go after the OpenGL
    // context (the quit key released it); their deletions then do nothing.
    TraceLine("stop models");
    UnloadWorld();
    TraceLine("stop midi player");
    CloseMidiPlayer();
    TraceLine("stop sound output");
    if (Sound.open.load()) CloseSoundOutput();
    TraceLine("stop overlay");
    ReleaseOverlay(ScoreOverlay);
    ReleaseOverlay(CaptionOverlay);
    ReleaseHelpCard();
    // The application: textures, then the window (restoring the display mode when the quit
    // key did not already), then the settings when Start was pressed in this run.
    TraceLine("stop application");
    ReleaseTextures();
    DestroyGLWindow();
    SaveSettingsIfChanged();
}
