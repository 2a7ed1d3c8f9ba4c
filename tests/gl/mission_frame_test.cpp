// Whole frames of each mission drawn by the game's own loop steps on the generated media,
// read back and checked for what a player must see.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/assets.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "app/game_window.h"
#include "sim/world.h"
#include "core/services.h"
#include "assets/texture_cache.h"
#include "render/frame.h"
#include "hud/text_overlay.h"
#include "render/scene.h"
#include "sim/aircraft.h"
#include "math/view.h"
#include "sim/simulation.h"
#include "support/error_capture.h"
#include "support/gl_context.h"
#include "support/media.h"

namespace {

constexpr int W = 320, H = 240;

struct Counts {
    int sky = 0, land = 0, hud = 0;
};

Counts Classify(const std::vector<uint8_t>& rgba) {
    Counts c;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * W + x) * 4];
            int r = p[0], g = p[1], b = p[2];
            if (b > r + 25 && b > g) ++c.sky;              // blue sky
            else if (g > b + 10 && g >= r - 10) ++c.land;   // fields and grass
            // White text in the HUD box at the bottom-left (rows are bottom-up).
            if (x < 120 && y < 24 && r > 200 && g > 200 && b > 200) ++c.hud;
        }
    return c;
}

int Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 30) ++n;
    return n;
}

struct MissionFrameFixture : ::testing::Test {
    ErrorCapture errors;
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        if (!UseGeneratedMedia() || !std::filesystem::exists(GeneratedMediaDir() + "/terrain.a3f"))
            GTEST_SKIP() << "no generated media";
        App = GameApp{};
        App.settings.Width = W;
        App.settings.Height = H;
        App.settings.Lights = 0;
        const float clear[4] = {0.05f, 0.15f, 0.15f, 0.0f};
        for (int i = 0; i < 4; ++i) App.clearColour[i] = clear[i];
        ASSERT_TRUE(CreateGLWindow());
        SetupGLState();
        InitTextureCache(false);
        ASSERT_TRUE(LoadAssets());
        App.running = true;
    }
    void TearDown() override {
        SetMediaFolderOverride(nullptr);
        DestroyGLWindow();
    }
    // One frame as the loop draws it; the back buffer is read before the swap.
    std::vector<uint8_t> Draw(bool update) {
        FrameDt = 0.03f;
        BeginFrameDrawing();
        if (update) StepGameFrame();
        ApplyCamera();
        DrawScene();
        std::vector<uint8_t> pixels = ReadFrame(W, H);
        EndFrameDrawing();
        return pixels;
    }
};

}  // namespace

TEST_F(MissionFrameFixture, EveryMissionShowsSkyLandAndItsTargetInTheTargetView) {
    EXPECT_TRUE(errors.reports.empty()) << errors.reports[0].text;
    for (int mission = 0; mission < 3; ++mission) {
        SCOPED_TRACE(mission);
        MissionIndex = mission - 1;
        Flow.state = StartMission;
        Draw(true);  // briefs the mission
        ASSERT_EQ(MissionIndex, mission);
        ASSERT_EQ(Flow.state, Briefing);

        // The briefing: from the cockpit in the hangar, the mission's name in the corner.
        Counts briefing = Classify(Draw(true));
        EXPECT_GT(briefing.land, W * H / 20);
        EXPECT_GT(briefing.hud, 20);

        // Playing, in the target view (seen from the target's own frame), a few frames for
        // the camera to settle: the world around it.
        Flow.state = Playing;
        CameraView = TargetView;
        for (int i = 0; i < 3; ++i) Draw(true);
        ASSERT_EQ(CameraView, 34);
        std::vector<uint8_t> targetView = Draw(true);
        Counts c = Classify(targetView);
        // The view may look up past the horizon (the triplane's does): the world, sky or
        // land, fills the frame rather than the clear colour.
        EXPECT_GT(c.sky, W * H / 20) << "sky";
        EXPECT_GT(c.sky + c.land, W * H / 2) << "sky and land";

        Model& target = mission == 0   ? static_cast<Model&>(ZeppelinModel)
                        : mission == 1 ? static_cast<Model&>(TankModel)
                                       : TriplaneModel;
        const uint32_t state = target.visible;
        EXPECT_EQ(state, 1u);
        // Drawn with and without the target: the difference is the target.
        auto coverage = [&](const std::vector<uint8_t>& with) {
            target.visible = 0;
            std::vector<uint8_t> without = Draw(false);
            target.visible = state;
            return Differing(with, without);
        };
        // The zeppelin's view hangs below it, with the gondola in sight.
        if (mission == 0) {
            EXPECT_GT(coverage(targetView), W * H / 100) << "zeppelin in its view";
        }

        // Looked at from three times its size away, the target fills a good part of the
        // frame.
        Vec3 at = MatrixTranslation(target.matrix);
        Vec3 away = {0.6f, 0.3f, 0.74f};
        LookAt(at + away * (3.0f * std::sqrt(target.radiusSquared)), at, Vec3{0, 1, 0});
        App.camera = LookAtMatrix;
        EXPECT_GT(coverage(Draw(false)), W * H / 20) << "target drawn";
    }
}
