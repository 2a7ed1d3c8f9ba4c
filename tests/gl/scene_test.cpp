#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/game_app.h"
#include "sim/game_flow.h"
#include "app/game_window.h"
#include "sim/world.h"
#include "core/services.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "math/random.h"
#include "render/scene.h"
#include "sim/wreckage.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"

namespace {

constexpr int W = 160, H = 120;
uint32_t FixedMs = 100000;
uint32_t FixedClock() { return FixedMs; }

// A red square over the whole viewport, for a display-list model seen through identity
// projection and view.
uint32_t FullScreenList() {
    uint32_t list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glColor4f(1, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    glColor4f(1, 1, 1, 1);
    glEndList();
    return list;
}

// Gives an array model n vertices of drawing arrays: positions (1, 2, 3) each and texture
// coordinates (u, 0.5).
void MakeArrays(ArrayModel& m, uint32_t n, float u, bool textured) {
    m.vertexCount = n;
    m.positions = new float[3 * n];
    m.texCoords = textured ? new float[2 * n] : nullptr;
    for (uint32_t i = 0; i < n; ++i) {
        m.positions[3 * i] = 1;
        m.positions[3 * i + 1] = 2;
        m.positions[3 * i + 2] = 3;
        if (textured) {
            m.texCoords[2 * i] = u;
            m.texCoords[2 * i + 1] = 0.5f;
        }
    }
}

struct SceneFixture : ::testing::Test {
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        App = GameApp{};
        App.settings.Width = W;
        App.settings.Height = H;
        App.settings.Lights = 0;
        ASSERT_TRUE(CreateGLWindow());
        SetupGLState();
        ResetWorld();
        SetClockSource(FixedClock);
        SeedRand(1234);
    }
    void TearDown() override {
        ResetWorld();
        CloseSoundOutput();
        SetClockSource(nullptr);
        DestroyGLWindow();
        App = GameApp{};
    }
    static void ResetWorld() {
        ReleaseArrayModel(ZeppelinModel);
        ReleaseArrayModel(TankModel);
        Model* lists[] = {&TerrainModel, &TriplaneModel, &HangarModel, &RunwayModel,
                          &ShotModel,    &SkyDomeModel,  &SmokeModel};
        for (Model* m : lists) {
            ReleaseModel(*m);
            *m = Model{};
        }
        ZeppelinModel = ArrayModel{};
        TankModel = ArrayModel{};
        PlayerPlane = Aircraft{};
        EnemyPlane = Aircraft{};
        CameraView = PilotView;
        FrameDt = 0.03f;
    }
    // A frame seen through identity projection and view, drawn by draw.
    template <typename Draw>
    void Frame(Draw draw) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        App.camera = Identity4;
        ApplyCamera();
        draw();
    }
    bool CentreIsRed() {
        unsigned char p[4];
        glReadPixels(W / 2, H / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return p[0] > 200 && p[1] < 50 && p[2] < 50;
    }
};

}  // namespace

TEST_F(SceneFixture, ListModelsAreDrawnFromStateOneOnWithTheirOwnMatrix) {
    HangarModel.displayList = FullScreenList();
    for (uint32_t state : {0u, 1u, 3u}) {
        HangarModel.visible = state;
        Frame([] { DrawModelList(HangarModel); });
        EXPECT_EQ(CentreIsRed(), state >= 1) << "state " << state;
    }
    // The model's matrix becomes the modelview: moved out of view, nothing shows.
    HangarModel.visible = 1;
    SetTranslation(HangarModel.matrix, Vec3{5, 0, 0});
    Frame([] { DrawModelList(HangarModel); });
    EXPECT_FALSE(CentreIsRed());
    float mv[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    EXPECT_EQ(mv[12], 5.0f);
}

TEST_F(SceneFixture, ShotsOfBothAircraftAreDrawnAtTheirCurrentPositions) {
    ShotModel.displayList = FullScreenList();
    ShotModel.visible = 1;
    EnemyPlane.firing = true;
    EnemyPlane.shotCount = 2;
    PlayerPlane.firing = true;
    PlayerPlane.shotCount = 3;
    for (int j = 0; j < MaxShots; ++j) {
        EnemyPlane.shotPositions[j] = Vec3{100.0f + j, 0, 0};
        PlayerPlane.shotPositions[j] = Vec3{200.0f + j, 0, 0};
    }
    Frame([] { DrawScene(); });
    EXPECT_EQ(EnemyPlane.shotMatrices[1].m[12], 101.0f);
    EXPECT_EQ(PlayerPlane.shotMatrices[2].m[12], 202.0f);
    // Shots past the burst's count are left alone.
    EXPECT_EQ(EnemyPlane.shotMatrices[2].m[12], 0.0f);
    // Player shots come last: the shared shot matrix ends as the player's last shot.
    for (int i = 0; i < 16; ++i) EXPECT_EQ(ShotModel.matrix.m[i], PlayerPlane.shotMatrices[2].m[i]) << i;

    // Not firing: nothing is moved.
    PlayerPlane.firing = false;
    PlayerPlane.shotPositions[0] = Vec3{999, 0, 0};
    Frame([] { DrawScene(); });
    EXPECT_EQ(PlayerPlane.shotMatrices[0].m[12], 200.0f);
}

TEST_F(SceneFixture, TheFallingZeppelinEndsBelowHeightZeroAndItsEngineStops) {
    CloseSoundOutput();  // an empty voice table
    int16_t* samples = static_cast<int16_t*>(std::calloc(64, sizeof(int16_t)));
    EnemyEngineVoice = AddVoiceSlot(samples, 64, false);
    ASSERT_GE(EnemyEngineVoice, 0);
    Vec3 source{0, 0, 0};
    PlayVoice(&source, true, EnemyEngineVoice);
    ASSERT_TRUE(VoiceActive(EnemyEngineVoice));

    MakeArrays(ZeppelinModel, 4, 0.8f, true);
    ZeppelinModel.visible = 2;
    SetTranslation(ZeppelinModel.matrix, Vec3{10, 0.05f, 20});
    ZeppelinModel.velocity = Vec3{0, -0.1f, 0};
    Frame([] { AdvanceWreckage(FrameDt); DrawScene(); });
    // Velocity grows by frame time, the position moves by the whole velocity once.
    EXPECT_NEAR(ZeppelinModel.velocity.y, -0.103f, 1e-6f);
    EXPECT_NEAR(ZeppelinModel.matrix.m[13], 0.05f - 0.103f, 1e-6f);
    EXPECT_EQ(ZeppelinModel.visible, 3u);
    EXPECT_FALSE(VoiceActive(EnemyEngineVoice));

    // State 3 is no longer animated.
    float y = ZeppelinModel.matrix.m[13];
    Frame([] { AdvanceWreckage(FrameDt); DrawScene(); });
    EXPECT_EQ(ZeppelinModel.matrix.m[13], y);
}

TEST_F(SceneFixture, TheFallingZeppelinCrumplesTumblesAndItsTextureDrifts) {
    MakeArrays(ZeppelinModel, 50, 0.8f, true);
    ZeppelinModel.visible = 2;
    SetTranslation(ZeppelinModel.matrix, Vec3{0, 5000, 0});
    uint32_t seed = RandState();
    Frame([] { AdvanceWreckage(FrameDt); });
    EXPECT_EQ(ZeppelinModel.visible, 2u);
    for (uint32_t i = 0; i < 50; ++i) {
        EXPECT_FLOAT_EQ(ZeppelinModel.texCoords[2 * i], 0.8f * 0.995f);
        EXPECT_FLOAT_EQ(ZeppelinModel.texCoords[2 * i + 1], 0.5f * 0.995f);
        EXPECT_GE(ZeppelinModel.positions[3 * i], 0.9949f);
        EXPECT_LE(ZeppelinModel.positions[3 * i], 1.0049f);
        EXPECT_GE(ZeppelinModel.positions[3 * i + 1], 2 * 0.9945f);
        EXPECT_LE(ZeppelinModel.positions[3 * i + 1], 2 * 1.0045f);
    }
    // Three draws per vertex for the shape, three for the tumble.
    SeedRand(seed);
    for (int i = 0; i < 50 * 3 + 3; ++i) Rand();
    uint32_t expected = RandState();
    SeedRand(seed);
    Frame([] { AdvanceWreckage(FrameDt); });
    EXPECT_EQ(RandState(), expected);
    // The tumble turned the axes a little, keeping them unit length.
    Vec3 x = MatrixColumn(ZeppelinModel.matrix, 0);
    EXPECT_NEAR(Length(x), 1.0f, 1e-5f);
    EXPECT_LT(x.x, 1.0f);
}

TEST_F(SceneFixture, TheDestroyedTankSinksUntilItsTextureHasFaded) {
    MakeArrays(TankModel, 16, 1.0f, true);
    TankModel.visible = 2;
    Frame([] { AdvanceWreckage(FrameDt); DrawScene(); });
    EXPECT_EQ(TankModel.visible, 2u);
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(TankModel.positions[3 * i], 1.0f);  // only the height changes
        EXPECT_GE(TankModel.positions[3 * i + 1], 2 * 0.999f);
        EXPECT_LE(TankModel.positions[3 * i + 1], 2.0f);
    }
    // The sixteenth vertex's u falls below 0.005 in this frame: over, nothing drawn.
    TankModel.texCoords[2 * 15] = 0.00502f;
    Frame([] { AdvanceWreckage(FrameDt); DrawScene(); });
    EXPECT_EQ(TankModel.visible, 3u);
}

TEST_F(SceneFixture, ATankWithoutTheTimingVertexEndsItsCollapseAtOnce) {
    MakeArrays(TankModel, 15, 1.0f, true);  // no sixteenth vertex
    TankModel.visible = 2;
    Frame([] { AdvanceWreckage(FrameDt); });
    EXPECT_EQ(TankModel.visible, 3u);
    ReleaseArrayModel(TankModel);
    TankModel = ArrayModel{};
    MakeArrays(TankModel, 20, 1.0f, false);  // no texture coordinates
    TankModel.visible = 2;
    Frame([] { AdvanceWreckage(FrameDt); });
    EXPECT_EQ(TankModel.visible, 3u);
}

TEST_F(SceneFixture, TheDeathPuffGrowsWithTheTimeSinceTheCrash) {
    SmokeModel.displayList = FullScreenList();
    SmokeModel.visible = 1;
    CameraView = DeathView;
    Flow.deadline = static_cast<float>(FixedMs) * 0.001f - 10.0f;  // ten seconds ago
    PlayerPlane.position = Vec3{1, 2, 3};
    Frame([] { DrawScene(); });
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(Length(MatrixColumn(SmokeModel.matrix, c)), 11.0f, 1e-3f) << c;
    EXPECT_NEAR(SmokeModel.matrix.m[13], 7.0f, 1e-5f);
    EXPECT_NEAR(SmokeModel.matrix.m[14], 8.0f, 1e-5f);
    // Tilted a quarter turn about X: the up axis lies along the old forward one.
    EXPECT_NEAR(SmokeModel.matrix.m[6], -11.0f, 0.01f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // The blend goes off again even when the puff is not drawn.
    SmokeModel.visible = 0;
    Frame([] { DrawDeathPuff(); });
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // In any other view there is no puff.
    CameraView = PilotView;
    SmokeModel.matrix = Identity4;
    Frame([] { DrawScene(); });
    EXPECT_EQ(SmokeModel.matrix.m[0], 1.0f);
}

TEST_F(SceneFixture, TheShotDownEnemysSmokeFacesThePlayer) {
    SmokeModel.displayList = FullScreenList();
    SmokeModel.visible = 1;
    EnemyPlane.destroyed = true;
    EnemyPlane.smokeCount = MaxSmokePuffs + 1;  // a complete trail counts one past its end
    for (int i = 0; i < MaxSmokePuffs; ++i) {
        EnemyPlane.smokePositions[i] = Vec3{100.0f * i, 50, 0};
        EnemyPlane.smokeAxis[i] = Vec3{0, 1, 0};
        EnemyPlane.smokeScale[i] = 2.0f + i;
    }
    PlayerPlane.position = Vec3{0, 50, 1000};
    Frame([] { DrawScene(); });
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // The last puff drawn is the trail's last slot, scaled and turned toward the player.
    Mat4 last;
    AimAt(last, Vec3{11, 11, 1}, EnemyPlane.smokePositions[9], PlayerPlane.position, EnemyPlane.smokeAxis[9]);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(SmokeModel.matrix.m[i], last.m[i]) << i;
    Vec3 forward = MatrixColumn(SmokeModel.matrix, 2);
    Vec3 toPlayer = PlayerPlane.position - EnemyPlane.smokePositions[9];
    Normalize(toPlayer);
    EXPECT_NEAR(Dot(forward, toPlayer), 1.0f, 1e-4f);
}

TEST_F(SceneFixture, TheSkyLeavesTheDepthBufferClearedAndTheDepthTestOnAfterIt) {
    SkyDomeModel.displayList = FullScreenList();
    SkyDomeModel.visible = 1;
    Frame([] { DrawScene(); });
    EXPECT_TRUE(CentreIsRed());
    float depth = 0.0f;
    glReadPixels(W / 2, H / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);  // whatever comes later is never hidden by the sky
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}
