#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "sim/simulation.h"
#include "support/autopilot.h"
#include "support/sim_world.h"

namespace {

enum class Leg { Takeoff, Climb, Attack, BreakAway, Return, Approach, Taxi };

const char* LegName(Leg l) {
    const char* n[] = {"takeoff", "climb", "attack", "break", "return", "approach", "taxi"};
    return n[static_cast<int>(l)];
}

Vec3 Unit(Vec3 v) {
    Normalize(v);
    return v;
}

// A direction toward v that climbs or dives no steeper than 0.3.
Vec3 Climbing(Vec3 v) {
    Vec3 flat = Unit({v.x, 0.0f, v.z});
    float slope = v.y / std::fmax(1.0f, std::sqrt(v.x * v.x + v.z * v.z));
    slope = std::fmax(-0.3f, std::fmin(0.3f, slope));
    return Unit(flat + Vec3{0.0f, slope, 0.0f});
}

struct MissionFlight {
    Leg leg = Leg::Takeoff;
    int frames = 0;
    uint8_t* keys = App.controls.keys;
    bool zeppelinDown = false;   // seen in state 2
    bool everDestroyed = false;  // the player was shot down or rammed at some point
    bool wasDestroyed = false;   // in the previous frame
    std::string log;             // the legs flown, for a failure report
    Vec3 overfly{};              // where a break away heads
    bool pastFarMark = false;    // the return passed its first mark

    void Throttle(int n) { keys[vk::Digit0 + n] = 1; }

    // One frame of the script, then the game's frame.
    void Frame() {
        const Leg before = leg;
        Aircraft& a = PlayerPlane;
        Vec3 zeppelin = MatrixTranslation(ZeppelinModel.matrix);
        Vec3 hangar = MatrixTranslation(HangarModel.matrix);
        Vec3 toZeppelin = zeppelin - a.position;
        float dist = Length(toZeppelin);
        keys[vk::Space] = 0;
        switch (leg) {
            case Leg::Takeoff:
                Throttle(9);
                SetStick({0.0f, HoldClimbAngle(a, 0.3f)});
                if (ClearanceOf(a) > 100.0f) leg = Leg::Climb;
                break;
            case Leg::Climb: {
                // To a point 3000 out from the zeppelin on this side and 300 above it, for a
                // shallow dive at it that stays above its gun (20 below its middle).
                Vec3 away = a.position - zeppelin;
                away.y = 0;
                Vec3 setup = zeppelin + Unit(away) * 3000.0f + Vec3{0, 300, 0};
                SetStick(SteerToward(a, Climbing(setup - a.position)));
                if (Length(setup - a.position) < 400.0f) leg = Leg::Attack;
                break;
            }
            case Leg::Attack: {
                // Shots fly with the aircraft's velocity plus 10 along the nose: aim that
                // line, not the nose, at the zeppelin.
                Vec3 forward = MatrixColumn(a.placement, 2);
                Vec3 gunLine = Unit(a.velocity + forward * 10.0f);
                SetStick(SteerToward(a, Unit(Unit(toZeppelin) + forward - gunLine)));
                // A burst lasts 37 steps: its first shot flies some 800 units.
                if (dist < 780.0f && Dot(gunLine, Unit(toZeppelin)) > 0.9997f) keys[vk::Space] = 1;
                // Pull away as soon as the first shot is out: one well aimed shot is enough.
                if (a.firing || dist < 700.0f || ZeppelinModel.visible == 2) {
                    leg = Leg::BreakAway;
                    overfly = zeppelin + Unit(MatrixColumn(a.placement, 2)) * 2500.0f + Vec3{0, 800, 0};
                }
                break;
            }
            case Leg::BreakAway:
                // The path bends slowly (a radius of some 900 units at full speed): pull up
                // over the zeppelin in good time (its box reaches some 60 units out) and fly
                // on past it.
                SetStick(SteerToward(a, Unit(overfly - a.position)));
                if (dist > 2000.0f) leg = ZeppelinModel.visible == 2 ? Leg::Return : Leg::Climb;
                break;
            case Leg::Return: {
                // Over a mark 6000 south of the hangar, high above any hill, then one 2200
                // south of it over the base, so as to arrive heading north; then land. Too
                // high at a mark: back to the other one, descending. Never closer than 150
                // to the ground on the way.
                Vec3 mark = pastFarMark ? Vec3{hangar.x, 800.0f, hangar.z - 2200.0f}
                                        : Vec3{hangar.x, 1700.0f, hangar.z - 6000.0f};
                Vec3 aim = mark - a.position;
                Vec3 flat = {aim.x, 0.0f, aim.z};
                if (ClearanceOf(a) < 150.0f) aim.y = std::fmax(aim.y, Length(flat));
                SetStick(SteerToward(a, Climbing(aim)));
                if (Length(flat) < 400.0f) {
                    if (a.position.y > mark.y + 250.0f) {
                        pastFarMark = !pastFarMark;
                    } else if (pastFarMark) {
                        leg = Leg::Approach;
                    } else {
                        pastFarMark = true;
                    }
                }
                break;
            }
            case Leg::Approach: {
                // Wings level down a glide path to a point 1000 short of the hangar: any
                // upright touch-down on the flat base is a landing.
                Throttle(4);
                Vec3 touchdown = {hangar.x, hangar.y + 10.0f, hangar.z - 1000.0f};
                Vec3 flat = {touchdown.x - a.position.x, 0.0f, touchdown.z - a.position.z};
                float glide = std::atan2(touchdown.y - a.position.y, Length(flat));
                glide = std::fmax(-0.25f, std::fmin(-0.03f, glide));
                SetStick({WingsLevel(a), HoldClimbAngle(a, glide)});
                if (ClearanceOf(a) < 3.0f) leg = Leg::Taxi;
                break;
            }
            case Leg::Taxi:
                Throttle(Length(hangar - a.position) > 300.0f ? 6 : 1);
                // Gently, and only with the wheels down: in the air each unit of turn input
                // also rolls the aircraft 0.1 rad, and it must not touch down on its back.
                SetStick({ClearanceOf(a) < 1.0f ? 0.3f * TaxiToward(a, hangar) : 0.0f, 0.0f});
                break;
        }
        TestNowMs += 30;
        FrameDt = 0.03f;
        UpdateGame();
        ++frames;
        zeppelinDown = zeppelinDown || ZeppelinModel.visible == 2;
        everDestroyed = everDestroyed || a.destroyed;
        if (frames == 1 || leg != before || frames % 500 == 0 || a.destroyed != wasDestroyed) {
            char line[160];
            std::snprintf(line, sizeof line, "%5d %-8s at (%.0f %.0f %.0f) speed %.2f clear %.1f zeppelin %u score %d%s\n",
                          frames, LegName(leg), a.position.x, a.position.y, a.position.z, a.speed, ClearanceOf(a),
                          ZeppelinModel.visible, Score, a.destroyed ? " destroyed" : "");
            log += line;
        }
        wasDestroyed = a.destroyed;
    }
};

struct MissionFlightTest : testing::Test {
    void TearDown() override { TearDownSimWorld(); }

    // From the first frame: mission 0 briefed, Space, then the flight until the mission
    // ends (or twenty thousand frames, ten minutes).
    void FlyMissionZero(MissionFlight& flight) {
        TestNowMs += 30;
        FrameDt = 0.03f;
        UpdateGame();
        ASSERT_EQ(MissionIndex, 0);
        App.controls.keys[vk::Space] = 1;
        TestNowMs += 30;
        UpdateGame();
        ASSERT_EQ(Flow.state, Playing);
        while (MissionIndex == 0 && Flow.state == Playing && flight.frames < 20000) flight.Frame();
    }

    void ExpectTheTankBriefedAfterACleanKill(const MissionFlight& flight) {
        SCOPED_TRACE(flight.log);
        EXPECT_TRUE(flight.zeppelinDown);
        EXPECT_FALSE(flight.everDestroyed);
        EXPECT_EQ(Score, 5);
        // Back at the hangar: the next mission is briefed.
        EXPECT_EQ(MissionIndex, 1);
        EXPECT_EQ(Flow.state, Briefing);
        EXPECT_STREQ(ScoreOverlay.text, "Tank");
        EXPECT_EQ(TankModel.visible, 1u);
        EXPECT_LT(flight.frames, 15000);  // seven and a half minutes of flying
    }
};

}  // namespace

// Over the air base with a ridge north of it to take off from, and the zeppelin at the
// placement the fixed seed gives.
TEST_F(MissionFlightTest, ZeppelinShotDownAndBackAtTheHangarBriefsTheTank) {
    SetUpSimWorld(BaseWithRidge);
    MissionFlight flight;
    FlyMissionZero(flight);
    ExpectTheTankBriefedAfterACleanKill(flight);
}

// The game's own terrain: full throttle north from the hangar, the nose held 0.3 rad up
// once the wheels leave the plateau's edge.
TEST_F(MissionFlightTest, TakeOffFromTheGeneratedBaseClimbsAboveSevenHundredWithinAMinute) {
    if (!SetUpSimWorldOnGeneratedMedia()) GTEST_SKIP() << "no generated media";
    Aircraft& a = PlayerPlane;
    ResetAircraft(a);
    a.position = {7600.0f, 629.0f, 6468.0f};
    SetTranslation(a.placement, a.position);
    FlyAircraft(a, 0.03f, 0.0f, 0.0f, 0.0f);
    int airborneAt = -1, aboveAt = -1;
    for (int i = 0; i < 2000 && !a.crashed && aboveAt < 0; ++i) {  // 60 s of 0.03 s steps
        FlyAircraft(a, 0.03f, 0.0f, HoldClimbAngle(a, 0.3f), 9.0f);
        float clearance = ClearanceOf(a);
        if (airborneAt < 0 && clearance > 5.0f) airborneAt = i;
        if (a.position.y > 700.0f && clearance > 50.0f) aboveAt = i;
    }
    EXPECT_FALSE(a.crashed);
    EXPECT_GT(airborneAt, 0);
    EXPECT_GT(aboveAt, 0) << "at (" << a.position.x << ", " << a.position.y << ", " << a.position.z
                          << ") speed " << a.speed;
}

TEST_F(MissionFlightTest, GeneratedWorldZeppelinShotDownAndBackAtTheHangarBriefsTheTank) {
    if (!SetUpSimWorldOnGeneratedMedia()) GTEST_SKIP() << "no generated media";
    MissionFlight flight;
    FlyMissionZero(flight);
    ExpectTheTankBriefedAfterACleanKill(flight);
}
