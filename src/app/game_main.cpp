#include "app/game_main.h"

#include <cstdio>

#include "app/frame_clock.h"
#include "app/game_trace.h"
#include "app/game_window.h"
#include "app/input.h"
#include "app/recording.h"
#include "core/game_app.h"
#include "core/services.h"
#include "platform/input_event.h"
#include "render/frame.h"
#include "render/scene.h"
#include "sim/game_flow.h"

void RunFrameLoop() {
    while (PumpMessages()) {
        float dt = BeginFrame();
        FrameDt = dt;
        if (dt != 0.0f) {  // a NaN counts as not 0
            RecordFrame(Milliseconds(), dt);
            StepGameFrame();
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
    if (TraceEnabled()) std::fprintf(stderr, "kelvane: final %s\n", GameOutcome().c_str());
}
