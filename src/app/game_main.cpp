#include <cstdio>
#include <cstdlib>

#include "app/assets.h"
#include "app/controls.h"
#include "app/game_app.h"
#include "app/game_flow.h"
#include "app/game_window.h"
#include "app/input_recording.h"
#include "app/services.h"
#include "app/trace.h"
#include "audio/music.h"
#include "audio/sound_system.h"
#include "platform/input_event.h"
#include "render/frame.h"
#include "render/scene.h"
#include "speech/speech.h"

float FrameDt = 0.0f;

int GameMain() {
    // The tune starts first so that it plays while the launcher is open.
    StartMusic();
    const float clearColour[4] = {0.05f, 0.15f, 0.15f, 0.0f};
    if (!InitGame(clearColour)) return -1;
    if (!LoadAssets()) return -1;

    // KELVANE_RECORD=<file> records this session's input for a later replay.
    const char* recordPath = std::getenv("KELVANE_RECORD");
    if (recordPath != nullptr && recordPath[0] != '\0') StartRecording(recordPath);

    while (PumpMessages()) {
        float dt = BeginFrame();
        FrameDt = dt;
        if (dt != 0.0f) {  // a NaN counts as not 0
            RecordFrame(Milliseconds(), dt);
            UpdateGame();
            // The sound mixer hears the aircraft where this frame left them.
            PublishSoundPositions();
            ApplyCamera();
            DrawScene();
            EndFrameDrawing();
        } else {
            PresentHelpCard();
            // Nothing to draw yet: sleep until an event arrives or the next frame is due,
            // instead of spinning a core at 100%.
            int ms = static_cast<int>(TimeUntilNextFrame() * 1000.0f) + 1;
            PlatformWaitForEvent(ms);
        }
        TraceGameChanges();
    }
    if (RecordingActive()) StopRecording();
    if (TraceEnabled()) std::fprintf(stderr, "kelvane: final %s\n", GameOutcome().c_str());
    ShutdownSpeech();
    return 0;
}
