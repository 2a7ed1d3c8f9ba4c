// A bad media file never ends the game: each file of the generated media in turn is made
// empty, cut in half, or replaced by 1 KiB of noise, and the game loads its assets and
// plays 600 frames on (the briefing skipped, full throttle, guns firing). Damaged models
// and textures must be reported; nothing may crash, and the aircraft stay where numbers
// are numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/assets.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "app/game_window.h"
#include "sim/world.h"
#include "core/services.h"
#include "assets/texture_cache.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "math/random.h"
#include "render/frame.h"
#include "hud/text_overlay.h"
#include "render/scene.h"
#include "sim/aircraft.h"
#include "sim/camera.h"
#include "sim/simulation.h"
#include "speech/speech.h"
#include "support/error_capture.h"
#include "support/media.h"
#include "support/sim_world.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int Frames = 600;
// Drawing is what costs under a software renderer: every 40th frame is drawn (and the
// last), which still draws each state the flow passes through.
constexpr int DrawEvery = 40;

uint32_t clockMs = 0;
uint32_t TestClock() { return clockMs; }

// Every game global the loading and the flow touch, back at its start value.
void ResetLoadedGame() {
    UnloadWorld();
    for (Model* m : {&TerrainModel, &TriplaneModel, &HangarModel, &RunwayModel, &ShotModel, &SkyDomeModel,
                     &SmokeModel})
        *m = Model{};
    BiplaneModel = SkinnedModel{};
    TankModel = ArrayModel{};
    ZeppelinModel = ArrayModel{};
    ReleaseTextures();
    InitTextureCache(false);
    CloseSoundOutput();
    ReleaseOverlay(ScoreOverlay);
    // The speech engine is started once, before the first loading (see SetUp).

    ResetGame();
    for (uint8_t& key : App.controls.keys) key = 0;
    App.controls.stickX = App.controls.stickY = 0;
    SeedRand(4321);
}

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Loads the assets and plays: Space held (it ends the briefing and fires), full throttle,
// a slow pull on the stick. Returns false (with a failure) when the aircraft's numbers
// stop being numbers.
bool LoadAndPlay(const std::string& what) {
    ResetLoadedGame();
    LoadAssets();
    App.controls.keys[vk::Space] = 1;
    App.controls.keys[vk::Digit0 + 9] = 1;
    for (int frame = 0; frame < Frames; ++frame) {
        clockMs += 30;
        FrameDt = 0.03f;
        App.controls.keys[vk::Down] = frame % 200 < 60;
        StepGameFrame();
        if (frame % DrawEvery == 0 || frame == Frames - 1) {
            BeginFrameDrawing();
            ApplyCamera();
            DrawScene();
            EndFrameDrawing();
        }
        if (!Finite(PlayerPlane.position) || !Finite(EnemyPlane.position)) {
            ADD_FAILURE() << what << ": the aircraft left the numbers at frame " << frame;
            return false;
        }
    }
    EXPECT_GE(static_cast<int>(Flow.state), static_cast<int>(StartMission)) << what;
    EXPECT_LE(static_cast<int>(Flow.state), static_cast<int>(Dead)) << what;
    return true;
}

bool Mentions(const ErrorCapture& errors, const std::string& name) {
    for (const ErrorReport& r : errors.reports)
        if (r.detail.find(name) != std::string::npos) return true;
    return false;
}

struct BadAssetTest : ::testing::Test {
    std::string source;
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        source = GeneratedMediaDir();
        std::error_code ec;
        if (source.empty() || !fs::exists(fs::path(source) / "terrain.a3f", ec))
            GTEST_SKIP() << "the generated media are not built";
        App = GameApp{};
        App.settings.Width = 160;
        App.settings.Height = 120;
        App.settings.Lights = 1;
        ASSERT_TRUE(CreateGLWindow());
        SetupGLState();
        SetClockSource(TestClock);
        clockMs = 1000000;
        // Spoken briefings go nowhere; started here, the loading finds the engine running
        // (the engine is started once per run, as the game does).
        ASSERT_TRUE(InitSpeechToSink([](void*, uint32_t, const int16_t*, int) {}, nullptr));
    }
    void TearDown() override {
        ResetLoadedGame();
        ShutdownSpeech();
        SetClockSource(nullptr);
        SetMediaFolderOverride(nullptr);
        DestroyGLWindow();
        App = GameApp{};
    }
};

}  // namespace

TEST_F(BadAssetTest, EachMediaFileEmptyCutOrNoiseAndTheGamePlaysOn) {
    TempDir media;
    fs::copy(source, media.path, fs::copy_options::overwrite_existing | fs::copy_options::recursive);
    SetMediaFolderOverride(media.path.c_str());

    // The whole media first: nothing to report, and the textures the models use.
    std::vector<std::string> textures;
    {
        ErrorCapture errors;
        ASSERT_TRUE(LoadAndPlay("intact media"));
        // The frames really played: the briefing is over and the biplane took off.
        EXPECT_NE(Flow.state, Briefing);
        EXPECT_GT(Length(PlayerPlane.position - Vec3{7600.0f, 630.0f, 6470.0f}), 100.0f);
        for (const ErrorReport& r : errors.reports) ADD_FAILURE() << "intact media: " << r.text;
        for (const TextureEntry& t : Textures.entries)
            if (t.glName != 0) textures.push_back(t.fileName);
        ASSERT_FALSE(textures.empty());
    }

    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(media.path))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());

    SeedRand(2024);
    std::string noise(1024, '\0');
    for (char& c : noise) c = static_cast<char>(Rand() & 0xFF);

    for (const std::string& name : names) {
        const std::string original = ReadFileBytes(media.File(name));
        const bool model = name.size() > 4 && name.compare(name.size() - 4, 4, ".a3f") == 0;
        bool texture = false;
        for (const std::string& t : textures) texture = texture || t == name;
        const struct {
            const char* kind;
            std::string bytes;
        } damages[] = {
            {"empty", ""},
            {"cut in half", original.substr(0, original.size() / 2)},
            {"1 KiB of noise", noise},
        };
        for (const auto& d : damages) {
            const std::string what = name + " " + d.kind;
            media.Write(name, d.bytes);
            ErrorCapture errors;
            if (!LoadAndPlay(what)) continue;
            // A model or texture the game uses that is damaged is reported by name.
            if (model || texture) {
                EXPECT_TRUE(Mentions(errors, name)) << what;
            }
        }
        media.Write(name, original);
    }
}
