#include "app/game_trace.h"

#include <cstdio>
#include <cstring>

#include "core/controls.h"
#include "core/trace.h"
#include "core/game_app.h"
#include "sim/captions.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "math/mat4.h"
#include "math/random.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"

namespace {

struct TracedState {
    bool valid = false;
    int state = -1;
    int view = -1;
    int throttle = -1;
    bool firing = false;
    bool paused = false;
    char hud[sizeof ScoreOverlay.text] = "";
    bool help = false;
    std::string caption;
};
TracedState Last;

const char* StateName(int state) {
    switch (state) {
        case StartMission: return "StartMission";
        case Briefing: return "Briefing";
        case Playing: return "Playing";
        case Dead: return "Dead";
        default: return "?";
    }
}

const char* ViewName(int view) {
    switch (view) {
        case vk::Home: return "Home";
        case vk::PageUp: return "PageUp";
        case vk::PageDown: return "PageDown";
        case vk::End: return "End";
        case 0: return "Death";
        default: return "?";
    }
}

}  // namespace

void TraceGameChanges() {
    if (!TraceEnabled()) return;
    const bool all = !Last.valid;
    Last.valid = true;
    if (all || Last.state != Flow.state) std::fprintf(stderr, "kelvane: state %s\n", StateName(Flow.state));
    if (all || std::strcmp(Last.hud, ScoreOverlay.text) != 0)
        std::fprintf(stderr, "kelvane: hud %s\n", ScoreOverlay.text);
    if (all || Last.view != CameraView) std::fprintf(stderr, "kelvane: view %s\n", ViewName(CameraView));
    if (all || Last.throttle != Throttle) std::fprintf(stderr, "kelvane: throttle %d\n", Throttle);
    if (PlayerPlane.firing != Last.firing)
        std::fprintf(stderr, "kelvane: guns %s\n", PlayerPlane.firing ? "firing" : "quiet");
    if (all || Last.paused != App.paused) std::fprintf(stderr, "kelvane: %s\n", App.paused ? "paused" : "running");
    if (Last.help != App.helpShown) std::fprintf(stderr, "kelvane: help %s\n", App.helpShown ? "shown" : "closed");
    if (Last.caption != Captions.shown && !Captions.shown.empty()) {
        // One line per caption: its line breaks become spaces.
        std::string line = Captions.shown;
        for (char& c : line)
            if (c == '\n') c = ' ';
        std::fprintf(stderr, "kelvane: caption %s\n", line.c_str());
    }
    Last.state = Flow.state;
    std::snprintf(Last.hud, sizeof Last.hud, "%s", ScoreOverlay.text);
    Last.view = CameraView;
    Last.throttle = Throttle;
    Last.firing = PlayerPlane.firing;
    Last.paused = App.paused;
    Last.help = App.helpShown;
    Last.caption = Captions.shown;
    std::fflush(stderr);
}

namespace {

void AddFloats(std::string& out, const char* name, const float* values, int count) {
    out += ' ';
    out += name;
    out += '=';
    char number[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(number, sizeof number, i == 0 ? "%a" : ",%a", static_cast<double>(values[i]));
        out += number;
    }
}

void AddVec(std::string& out, const char* name, const Vec3& v) {
    const float values[3] = {v.x, v.y, v.z};
    AddFloats(out, name, values, 3);
}

void AddInt(std::string& out, const char* name, long value) {
    char text[64];
    std::snprintf(text, sizeof text, " %s=%ld", name, value);
    out += text;
}

}  // namespace

std::string GameOutcome() {
    std::string out = std::string("state=") + StateName(Flow.state);
    AddInt(out, "mission", MissionIndex);
    AddInt(out, "score", Score);
    AddInt(out, "throttle", Throttle);
    out += std::string(" view=") + ViewName(CameraView);
    AddVec(out, "player", PlayerPlane.position);
    AddVec(out, "velocity", PlayerPlane.velocity);
    AddFloats(out, "attitude", PlayerPlane.placement.m, 12);
    AddInt(out, "shots", PlayerPlane.shotCount);
    AddInt(out, "destroyed", PlayerPlane.destroyed ? 1 : 0);
    AddVec(out, "enemy", EnemyPlane.position);
    AddInt(out, "zeppelin", ZeppelinModel.visible);
    AddVec(out, "zeppelinAt", MatrixTranslation(ZeppelinModel.matrix));
    AddInt(out, "tank", TankModel.visible);
    AddVec(out, "tankAt", MatrixTranslation(TankModel.matrix));
    AddInt(out, "triplane", TriplaneModel.visible);
    AddInt(out, "random", static_cast<long>(RandState()));
    return out;
}
