// The generated media through the game's own loaders (without a display: model text,
// skeletons and animation, the terrain query and flight model, WAV decoding, the MIDI
// reader): everything loads without a single error report and behaves as intended.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/services.h"
#include "assets/model.h"
#include "assets/model_text.h"
#include "assets/skinned_model.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "audio/sound_system.h"
#include "audio/wav_loader.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "support/error_capture.h"
#include "support/media.h"
#include "support/temp_dir.h"

namespace {

std::string Bytes(const std::string& name) { return ReadFileBytes(GeneratedMediaDir() + "/" + name); }

// The climb angle of the nose, and a test pilot holding it at `angle` with the pitch
// input (positive input puts the nose down, one unit turning it 0.1 rad a step).
float ClimbAngle(const Aircraft& a) { return std::asin(a.placement[9]); }
float HoldClimb(const Aircraft& a, float angle) {
    return std::clamp((ClimbAngle(a) - angle) / 0.1f, -1.0f, 1.0f);
}

}  // namespace

TEST(MediaLoaders, EveryStaticModelLoadsWithoutAReport) {
    NEED_MEDIA();
    for (const char* name : {"terrain.a3f", "triplane.a3f", "hangar.a3f", "runway.a3f", "blimp.a3f", "tank.a3f",
                             "shot.a3f", "smoke.a3f", "skydome.a3f"}) {
        ErrorCapture errors;
        std::string text = Bytes(name);
        Model model;
        ASSERT_TRUE(LoadModelFromMemory(name, text.data(), text.size(), model)) << name;
        EXPECT_TRUE(errors.reports.empty()) << name << ": " << errors.reports.front().text;
        EXPECT_GT(model.faceCount, 0u) << name;
        EXPECT_EQ(model.visible, 1u);
        EXPECT_TRUE(model.hasNormals);
        ReleaseModel(model);
    }
}

TEST(MediaLoaders, BiplaneSkeletonBuildsAndThePropellerTurnsWithoutCollapsing) {
    NEED_MEDIA();
    ErrorCapture errors;
    std::string text = Bytes("biplane.a3f");
    SkinnedModel plane;
    LoadSkinnedModelFromMemory(plane, "biplane.a3f", text.data(), text.size());
    ASSERT_TRUE(errors.reports.empty()) << errors.reports.front().text;
    ASSERT_NE(plane.bones, nullptr);
    ASSERT_GE(plane.rootBone, 0);
    ASSERT_GE(plane.animationCount, 1u);
    int32_t prop = FindBone(plane, plane.animations[0].keys[0].frames[0].boneName);
    ASSERT_GE(prop, 0);
    for (int k = 0; k < plane.animations[0].keyCount; ++k)
        for (int f = 0; f < plane.animations[0].keys[k].frameCount; ++f)
            EXPECT_GE(plane.animations[0].keys[k].frames[f].bone, 0) << "every frame names a bone";

    // Skin through two whole cycles in uneven steps: body vertices stay put, propeller
    // vertices keep their distance from the hub (blending between keys never shrinks the
    // blades) and the blades really go round.
    const Bone& bone = plane.bones[prop];
    Vec3 hub = {-bone.offset.m[12], -bone.offset.m[13], -bone.offset.m[14]};
    std::vector<bool> onProp(plane.model.vertexCount, false);
    for (uint32_t w = 0; w < bone.weightCount; ++w) onProp[bone.weights[w].vertex] = true;
    StartAnimation(plane, 0);
    float length = plane.animations[0].length, shortest = 1e9f, longest = 0, angleSeen = 0, lastAngle = 0;
    uint32_t tip = 0;
    float tipRadius = 0;
    for (uint32_t v = 0; v < plane.model.vertexCount; ++v) {
        Vec3 p = plane.model.vertices[v].position;
        float r = std::hypot(p.x - hub.x, p.y - hub.y);
        if (onProp[v] && r > tipRadius) {
            tipRadius = r;
            tip = v;
        }
    }
    for (int step = 0; step < 400; ++step) {
        UpdateSkinnedModel(plane, length / 200.0f * (step % 3 == 0 ? 0.5f : 1.25f));
        for (uint32_t v = 0; v < plane.model.vertexCount; ++v) {
            Vec3 rest = plane.model.vertices[v].position;
            Vec3 now = {plane.skinPositions[3 * v], plane.skinPositions[3 * v + 1], plane.skinPositions[3 * v + 2]};
            if (!onProp[v]) {
                ASSERT_NEAR(Length(now - rest), 0.0f, 1e-3f) << "vertex " << v;
                continue;
            }
            float r0 = std::hypot(rest.x - hub.x, rest.y - hub.y), r = std::hypot(now.x - hub.x, now.y - hub.y);
            if (r0 > 0.5f) {
                shortest = std::min(shortest, r / r0);
                longest = std::max(longest, r / r0);
            }
        }
        Vec3 t = {plane.skinPositions[3 * tip], plane.skinPositions[3 * tip + 1], 0};
        float angle = std::atan2(t.y - hub.y, t.x - hub.x);
        float turn = angle - lastAngle;
        if (turn > 3.14159265f) turn -= 6.2831853f;
        if (turn < -3.14159265f) turn += 6.2831853f;
        if (step > 0) angleSeen += std::fabs(turn);
        lastAngle = angle;
    }
    EXPECT_GT(shortest, 0.97f);
    EXPECT_LT(longest, 1.03f);
    EXPECT_GT(angleSeen, 6.2831853f * 1.5f) << "the propeller goes round";
    ReleaseSkinnedModel(plane);
}

TEST(MediaLoaders, TheAircraftTakesOffOverThePlateauEdge) {
    NEED_MEDIA();
    std::string text = Bytes("terrain.a3f");
    Model terrain;
    ASSERT_TRUE(LoadModelFromMemory("terrain.a3f", text.data(), text.size(), terrain));
    Aircraft a;
    a.terrain = &terrain;

    // Full throttle from the start, the pilot asking for a 0.3 rad climb all along: the
    // aircraft rolls north across the base, lifts off where the plateau falls away and
    // climbs clear within half a minute of 0.03 s frames.
    a.position = {7600.0f, 629.0f, 6468.0f};
    SetTranslation(a.placement, a.position);
    float liftOffZ = 0;
    bool airborne = false;
    for (int i = 0; i < 1000 && !a.crashed; ++i) {
        FlyAircraft(a, 0.03f, 0.0f, HoldClimb(a, 0.3f), 9.0f);
        float clearance = -TerrainGap(a, a.position.x, a.position.y, a.position.z);
        if (!airborne && clearance > 5.0f) {
            airborne = true;
            liftOffZ = a.position.z;
        }
    }
    EXPECT_FALSE(a.crashed);
    ASSERT_TRUE(airborne);
    EXPECT_GT(liftOffZ, 6900.0f);
    EXPECT_LT(liftOffZ, 7600.0f);
    EXPECT_LT(a.position.z, 25000.0f) << "still over the land";
    EXPECT_GT(-TerrainGap(a, a.position.x, a.position.y, a.position.z), 300.0f);
    ReleaseModel(terrain);
}

struct MediaSoundLoading : testing::Test {
    void SetUp() override {
        CloseSoundOutput();
        UseGeneratedMedia();
    }
    void TearDown() override {
        CloseSoundOutput();
        SetMediaFolderOverride(nullptr);
    }
};

TEST_F(MediaSoundLoading, EverySoundLoadsIntoAVoice) {
    NEED_MEDIA();
    ErrorCapture errors;
    struct Expect {
        const char* name;
        float minSeconds, maxSeconds;
    };
    for (const Expect& e : {Expect{"engine.wav", 0.9f, 1.1f}, Expect{"wind.wav", 1.9f, 2.1f},
                            Expect{"siren.wav", 3.9f, 4.1f}, Expect{"guns.wav", 0.7f, 0.85f},
                            Expect{"crash.wav", 2.0f, 3.0f}}) {
        int id = LoadWav(e.name);
        ASSERT_GE(id, 0) << e.name;
        Voice* voice = VoiceById(id);
        ASSERT_NE(voice, nullptr);
        ASSERT_NE(voice->samples, nullptr);
        float seconds = voice->length / 11025.0f;
        EXPECT_GE(seconds, e.minSeconds) << e.name;
        EXPECT_LE(seconds, e.maxSeconds) << e.name;
    }
    EXPECT_TRUE(errors.reports.empty());
}

TEST_F(MediaSoundLoading, TheGunsFireSixShotsATenthOfASecondApart) {
    NEED_MEDIA();
    int id = LoadWav("guns.wav");
    ASSERT_GE(id, 0);
    const Voice* voice = VoiceById(id);
    ASSERT_NE(voice, nullptr);
    // Loudness over 5 ms windows; a shot starts where it climbs past half the loudest.
    const int window = 55;
    std::vector<float> level;
    for (int i = 0; i + window <= voice->length; i += window) {
        float peak = 0;
        for (int k = 0; k < window; ++k) peak = std::max(peak, std::fabs(static_cast<float>(voice->samples[i + k])));
        level.push_back(peak);
    }
    float loudest = *std::max_element(level.begin(), level.end());
    std::vector<float> onsets;
    bool quiet = true;
    for (size_t w = 0; w < level.size(); ++w) {
        if (quiet && level[w] > loudest * 0.5f) {
            onsets.push_back(static_cast<float>(w * window) / 11025.0f);
            quiet = false;
        } else if (!quiet && level[w] < loudest * 0.25f) {
            quiet = true;
        }
    }
    ASSERT_EQ(onsets.size(), 6u);
    for (size_t i = 1; i < onsets.size(); ++i) EXPECT_NEAR(onsets[i] - onsets[i - 1], 0.1f, 0.015f);
}

TEST(MediaLoaders, TheTuneLoadsWholeAtTenTicksAStep) {
    NEED_MEDIA();
    ErrorCapture errors;
    auto player = std::make_unique<MidiPlayer>();
    std::string bytes = Bytes("RuleBrittany.mid");
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    int damaged = -1;
    ASSERT_TRUE(LoadMidiFromMemory(*player, data.data(), data.size(), &damaged));
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(player->ticksPerStep, 10);
    EXPECT_GT(player->eventCount, 400);
    for (int i = 1; i < player->eventCount; ++i) ASSERT_LE(player->events[i - 1].time, player->events[i].time);
    // About a minute of music before it starts over (10 ticks per 10 ms: 1000 a second).
    float seconds = player->events[player->eventCount - 1].time / 1000.0f;
    EXPECT_GT(seconds, 40.0f);
    EXPECT_LT(seconds, 120.0f);
    UseGeneratedMedia();
    EXPECT_TRUE(LoadMidiFile(*player));
    SetMediaFolderOverride(nullptr);
    EXPECT_TRUE(errors.reports.empty());
}
