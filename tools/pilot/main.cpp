// Flies the first mission headless as a person at the mouse would, over many seeds, and
// prints how often it takes off, shoots the zeppelin down and gets back into the hangar's
// ring, with the times. The game runs through its own update (UpdateGame) and input
// handling (HandleInputMessage); the pilot sees only what eye.h draws from the game's
// camera, and acts as README.md beside this file says.
//
//   kelvane-pilot [--seeds N] [--first SEED] [--log] [--takeoff-guard [--min-kills K] [--min-homes H]]
//                 [--record FILE]   (one seed's input, for kelvane-frameshot --session)
//                 [--practice-return]
//
// --practice-return makes the zeppelin fall by itself 40 s into each flight, to practise
// (and measure) the way home alone; its kill times mean nothing.
// Exits 1 when a guard rate is missed: take-off 19 in 20, the kill and the return 10 in 20
// (scaled to the number of seeds, rounded up); with --takeoff-guard only the take-off's,
// and with --min-kills / --min-homes also at least K zeppelins shot down within 6 minutes and
// H returns into the ring within 10.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/input.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "eye.h"
#include "math/random.h"
#include "sim/wreckage.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "sim/simulation.h"

namespace {

constexpr float FrameSeconds = 0.03f;                 // the frames the pilot sees, 33 a second
constexpr int ReactionFrames = 8;                     // 0.24 s between seeing and moving
constexpr int MaxMousePixels = 20;                    // per frame
constexpr int Tremor = 3;                             // +-pixels on every pointer position
constexpr int MissionFrames = static_cast<int>(600.0f / FrameSeconds);  // ten minutes
constexpr float Pi = 3.14159265f;
// The nose's angle above the horizon for the best climb, once clear of the ground.
constexpr float ClimbPitch = 0.35f;
// The nose's angle above the horizon in level flight at full throttle, and the aircraft's
// usual speed (some 430 a second, the scenery's flow shows it).
constexpr float LevelPitch = 0.1f;
constexpr float CruiseSpeed = 430.0f;
// In a turn the horizon must stay on the screen (its half height is 0.39 rad).
constexpr float ScanPitch = 0.25f;
// The pass. Once the zeppelin is within this range (judged from its size), ahead, the
// wings near level (FineBank) and it near the sight picture's point (FinePixels), the
// pass is flown by the picture alone.
constexpr float FineAimRange = 8000.0f;
constexpr float FinePixels = 150.0f;
constexpr float FineBank = 0.6f;
// Turning in toward it, never banked further than this: in a steep bank the pull swings
// the zeppelin off the screen.
// Out of sight this long during a pass, the pass is over.
constexpr float LostFor = 2.0f;
// Higher than the zeppelin by more than HighAbove while looking for it: throttle back.
constexpr float HighAbove = 200.0f;
constexpr int HighThrottle = 4;
// The turn-in aims the path to meet the zeppelin's height on the way, at most this slope.
// Coming home: full throttle, the nose down at most this far below the horizon.
constexpr float DescendPitch = 0.3f;
// Within this of the approach mark, low enough, the final begins.
constexpr float FinalFrom = 700.0f;
// How far off a person's sense of where the home field lies may be, at most.
constexpr float HomeGuessError = 1500.0f;
// Taxiing: within this of the hangar it rounds it to the doors; the spot it makes for
// first lies this far in front of them.
constexpr float DoorRouteFrom = 600.0f;
constexpr float DoorFront = 250.0f;
constexpr float DoorSide = 150.0f;  // rounding it, this far out from its side
constexpr float DoorLookAhead = 100.0f;
constexpr float TurnInSlope = 0.2f;
constexpr float TurnInBank = 0.8f;
// The zeppelin's drift is read over this many frames and led by LeadFrames; the stick moves
// PullGain pixels per pixel of height error, SideGain per pixel to the side, and takes the
// bank out at LevelGain pixels per radian.
constexpr int DriftFrames = 6;
constexpr float LeadFrames = 25.0f;
constexpr float PullGain = 0.25f;
constexpr float SideGain = 0.6f;
constexpr float LevelGain = 40.0f;
// The sight picture a person starts with: shots fly with the aircraft's velocity plus
// their own, so between the nose and the path, which runs some 0.1 rad (58 px) below it.
constexpr float AimBelow = 30.0f;
// After a pass, straight on until this far from the zeppelin's place, then back round.
constexpr float RunInNear = 2000.0f;
constexpr float RunInFar = 4000.0f;
// Higher than the zeppelin by more than this (plus a tenth of the range): not a pass.
constexpr float TooHigh = 300.0f;
// A burst inside this range with the zeppelin within FireWindow pixels of the sight
// picture's point; away inside BreakRange.
constexpr float FireRange = 750.0f;
// The last stretch of a pass is flown at this throttle, from this range in.
constexpr int RunInThrottle = 4;
constexpr float SlowFrom = 3000.0f;
constexpr float FireWindow = 50.0f;
constexpr float BreakRange = 300.0f;
// Beyond this range the run-in aims the path at the zeppelin's height (slope at most
// RunSlope), nearer the sight picture takes over.
constexpr float AimFrom = 800.0f;
constexpr float RunSlope = 0.1f;

uint32_t clockMs = 0;
uint32_t PilotClock() { return clockMs; }

// --record: the session written down for a drawing replay (kelvane-frameshot --session):
// the random seed and clock it started with, then every input event with the number of
// 30 ms game steps run before it.
FILE* sessionFile = nullptr;
int stepsRun = 0;

bool InsideWorld(Vec3 p) { return std::fabs(p.x) < 25000.0f && std::fabs(p.z) < 25000.0f; }

float Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

// What one flight came to; times in seconds from the briefing's end, -1 when never.
struct Outcome {
    float airborne = -1, above300 = -1, kill = -1, home = -1;
    bool touchedAgain = false;  // the wheels met the ground after 300, within the first minute
    int shotDown = 0;
    bool crashed = false;
    float firstSeen = -1;  // the zeppelin first on the screen
    int bursts = 0;
    float closest = 1e9f;  // the nearest the aircraft came to it
    float nearestShot = 1e9f;  // the nearest any of its shots came to its middle
};

enum class Leg { Briefing, TakeOff, Search, Attack, Extend, Return, Approach, Taxi };
const char* LegName(Leg l) {
    static const char* n[] = {"briefing", "take-off", "search", "attack", "extend", "return", "approach", "taxi"};
    return n[static_cast<int>(l)];
}

class Person {
public:
    Person(uint32_t seed, bool log, bool practiceReturn)
        : rng_(seed * 7919u + 17u), log_(log), practiceReturn_(practiceReturn) {
        std::uniform_real_distribution<float> judge(0.8f, 1.25f);
        heightJudgement_ = judge(rng_);
        // Drawn apart from the hand's tremor, so the two stay independent.
        std::mt19937 sense(seed * 104729u + 3u);
        std::uniform_real_distribution<float> turn(-Pi, Pi), off(0.0f, 1.0f);
        float angle = turn(sense), miss = HomeGuessError * std::sqrt(off(sense));
        homeMiss_ = Vec3{miss * std::sin(angle), 0.0f, miss * std::cos(angle)};
    }

    Outcome Fly() {
        Move(ScreenWidth / 2, ScreenHeight / 2);
        int frame = 0, playFrame = 0;
        bool wasDestroyed = false;
        while (playFrame < MissionFrames && frame < MissionFrames + 2000) {
            clockMs += static_cast<uint32_t>(FrameSeconds * 1000.0f);
            FrameDt = FrameSeconds;
            StepGameFrame();
            ++frame;
            ++stepsRun;
            if (MissionIndex != 0) {  // back in the ring: the tank is briefed
                if (out_.home < 0 && out_.kill >= 0) out_.home = playFrame * FrameSeconds;
                break;
            }
            if (Flow.state == Dead) {
                out_.crashed = true;
                break;
            }
            Sight now = Look(heightJudgement_, lastBank_);
            lastBank_ = now.bank;
            seen_.push_back(now);
            if (Flow.state == Playing && practiceReturn_ && playFrame == static_cast<int>(40.0f / FrameSeconds) &&
                ZeppelinModel.visible == 1)
                ZeppelinModel.visible = 2;
            if (Flow.state == Playing) {
                if (playFrame == 0 && log_) {
                    Vec3 z = MatrixTranslation(ZeppelinModel.matrix);
                    std::printf("  zeppelin at (%.0f %.0f %.0f)\n", z.x, z.y, z.z);
                }
                ++playFrame;
                Record(now, playFrame * FrameSeconds);
                if (PlayerPlane.destroyed && !wasDestroyed) out_.shotDown += 1;
                wasDestroyed = PlayerPlane.destroyed;
            }
            // Reacts to what it saw a reaction time ago.
            const Sight& s = seen_.size() > ReactionFrames ? seen_[seen_.size() - 1 - ReactionFrames] : seen_.front();
            Decide(s, playFrame * FrameSeconds);
            if (log_ && Flow.state == Playing && playFrame % 33 == 0) Trace(now, playFrame * FrameSeconds);
        }
        return out_;
    }

private:
    std::mt19937 rng_;
    bool log_;
    bool practiceReturn_;  // the zeppelin falls by itself 40 s into the flight
    float heightJudgement_ = 1.0f;
    Vec3 homeMiss_{};  // how far off its sense of where home lies
    float lastBank_ = 0;
    std::vector<Sight> seen_;
    Outcome out_;
    Leg leg_ = Leg::Briefing;
    int mouseX_ = ScreenWidth / 2, mouseY_ = ScreenHeight / 2;  // where the hand puts it
    int throttle_ = 0;
    float legStart_ = 0;
    int scanSide_ = 1;
    float aimX_ = 0, aimY_ = AimBelow;  // the sight picture learned from tracers (pixels)
    int trackedBurst_ = -1;        // the burst whose first tracer is being watched
    int bursts_ = 0;
    float lastTracerMiss_ = 1e9f;
    float lastZeppelinSeen_ = -100;
    float zeppelinBearing_ = 0;    // where it was last seen, from the nose
    float zeppelinHeading_ = 0;    // and as a compass heading
    float extendUntil_ = 0;        // the end of a climb away from it
    float zeppelinHeight_ = 1.0e9f; // its height as judged when last seen (unknown: climb)
    // How much higher than the aircraft it flies: read off its angle above the horizon and
    // its size while seen; out of sight, kept up to date by the climb or sink the nose's
    // angle gives at the aircraft's usual speed.
    float heightToZeppelin_ = 0;
    bool zeppelinAbove_ = true;
    Vec3 baseMemory_{};            // where the base was judged to be when last seen
    bool baseKnown_ = false;
    // Where home lies by the person's sense of the map: the field it took off from, off by
    // a misjudgement fixed per flight (see README.md). Only a guess to fly toward until the
    // base itself is seen.
    Vec3 homeGuess_{};
    bool byDoors_ = false;  // taxiing round to the hangar's doors
    int doorPhase_ = 0;     // 0 round the hangar, 1 to the spot in front, 2 rolling in

    // ---- the hand -------------------------------------------------------------------
    void Send(InputEventType type, int key = 0, int x = 0, int y = 0) {
        InputEvent e{type, key, x, y};
        if (sessionFile != nullptr)
            std::fprintf(sessionFile, "%d %d %d %d %d\n", stepsRun, static_cast<int>(type), key, x, y);
        HandleInputMessage(e);
    }
    void Press(int key) {
        Send(InputEventType::KeyDown, key);
    }
    void Release(int key) { Send(InputEventType::KeyUp, key); }
    void Tap(int key) {
        Press(key);
        // The key is read by the next update; a person's tap lasts longer than a frame.
        pendingRelease_ = key;
    }
    int pendingRelease_ = -1;

    // Moves the pointer toward (x, y): at most MaxMousePixels, onto whole pixels, with
    // the hand's tremor.
    void Move(int x, int y) {
        int dx = x - mouseX_, dy = y - mouseY_;
        float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
        if (d > MaxMousePixels) {
            dx = static_cast<int>(std::lround(dx * MaxMousePixels / d));
            dy = static_cast<int>(std::lround(dy * MaxMousePixels / d));
        }
        mouseX_ = std::clamp(mouseX_ + dx, 0, ScreenWidth - 1);
        mouseY_ = std::clamp(mouseY_ + dy, 0, ScreenHeight - 1);
        std::uniform_int_distribution<int> shake(-Tremor, Tremor);
        int px = std::clamp(mouseX_ + shake(rng_), 0, ScreenWidth - 1);
        int py = std::clamp(mouseY_ + shake(rng_), 0, ScreenHeight - 1);
        Send(InputEventType::MouseMove, 0, px, py);
    }
    // The stick as offsets from the window's middle: right rolls and turns right, down
    // pulls the nose up.
    void Stick(float right, float pull) {
        right = Clamp(right, -200.0f, 200.0f);
        pull = Clamp(pull, -160.0f, 160.0f);
        Move(ScreenWidth / 2 + static_cast<int>(std::lround(right)), ScreenHeight / 2 + static_cast<int>(std::lround(pull)));
    }
    void SetThrottle(int n) {
        if (n == throttle_) return;
        throttle_ = n;
        Tap(vk::Digit0 + n);
    }

    // ---- flying by the horizon --------------------------------------------------------
    // One pixel of pull turns the nose 0.1/240 rad a frame; of roll, 0.1/320 rad. The
    // gains keep the loop slow beside the reaction time.
    void Attitude(const Sight& s, float pitch, float bank) {
        if (!s.horizonSeen) {
            Regain(s);
            return;
        }
        bank = Clamp(bank, -1.0f, 1.0f);
        float bankError = bank - s.bank;
        if (bankError > Pi) bankError -= 2 * Pi;
        if (bankError < -Pi) bankError += 2 * Pi;
        float pull = 80.0f * (pitch - s.pitch) / std::fmax(0.5f, std::cos(s.bank));
        Stick(110.0f * bankError, pull);
    }
    // Puts the nose on an eye-space direction as a person does: roll until it stands
    // straight above the nose on the screen (or, a little below, straight under it), then
    // pull (push) it to the middle.
    void Steer(const Sight& s, Vec3 d, float gain = 1.0f, float maxBank = 1.3f) {
        if (!s.horizonSeen) {
            Regain(s);
            return;
        }
        float dx = d.x, dy = d.y, dz = -d.z;
        float off = std::atan2(std::sqrt(dx * dx + dy * dy), dz);
        float gentle = std::fmin(1.0f, off / 0.25f);
        float right, pull;
        if (off < 0.02f) {
            right = 40.0f * (0.0f - s.bank);
            pull = 90.0f * gain * std::atan2(dy, dz);
        } else if (dy < 0.0f && off < 0.5f) {
            float beta = std::atan2(dx, -dy);
            right = -120.0f * beta * gentle;
            pull = std::fabs(beta) < 0.6f ? -90.0f * gain * std::atan2(-dy, dz) : 0.0f;
        } else {
            float alpha = std::atan2(dx, dy);
            right = 120.0f * alpha * gentle;
            pull = std::fabs(alpha) < 0.6f ? 90.0f * gain * std::atan2(dy, dz) : 0.0f;
        }
        // Near the point, the wings back toward level; never further over than maxBank.
        if (off < 0.12f) right = -LevelGain * s.bank + 40.0f * dx / std::fmax(0.02f, off);
        if (s.bank > maxBank && right > -40.0f) right = -40.0f;
        if (s.bank < -maxBank && right < 40.0f) right = 40.0f;
        Stick(right, pull);
    }
    // Toward a bearing (positive right) with the nose at an angle above the horizon. The
    // nose turns only where it is pulled: in a bank phi a pull turns it by sin(phi) and
    // raises it by cos(phi). So the bank is chosen for the turn and climb wanted (past the
    // vertical to bring a high nose down in a turn), and the pull is that wish along the
    // pull's axis.
    void Head(const Sight& s, float bearing, float pitch, float gain = 0.8f, float maxBank = 1.6f) {
        if (!s.horizonSeen) {
            Regain(s);
            return;
        }
        float turnRate = Clamp(gain * bearing, -0.35f, 0.35f);  // rad/s
        float pitchRate = Clamp(gain * (pitch - s.pitch), -0.3f, 0.3f);
        // Mostly down: push, the bank putting the push along the wish; else pull, a little
        // pull always counted on so that small turns take small banks. Kept a moment
        // either way, so the two do not alternate.
        if (pushing_) {
            pushing_ = pitchRate < -0.02f && std::fabs(turnRate) < std::fabs(pitchRate);
        } else {
            pushing_ = pitchRate < -0.05f && std::fabs(turnRate) < 0.8f * std::fabs(pitchRate);
        }
        float bank = pushing_ ? std::atan2(-turnRate, -pitchRate)
                              : std::atan2(turnRate, pitchRate + 0.1f);
        bank = Clamp(bank, -maxBank, maxBank);
        float pull = turnRate * std::sin(s.bank) + pitchRate * std::cos(s.bank);
        // One pixel of pull is 0.0139 rad/s of pitch at 33 frames a second.
        Stick(80.0f * Wrap(bank - s.bank), pull / 0.0139f);
    }
    // The aircraft's compass heading, as the scenery below shows it (turning right lowers it).
    static float Heading() {
        Vec3 f = MatrixColumn(PlayerPlane.placement, 2);
        return std::atan2(f.x, f.z);
    }
    static float Wrap(float a) {
        while (a > Pi) a -= 2 * Pi;
        while (a < -Pi) a += 2 * Pi;
        return a;
    }
    // Onto a compass heading in a wide turn, then straight.
    void HeadTo(const Sight& s, float heading, float pitch) {
        float bearing = Wrap(Heading() - heading);
        // Rolled out once near the heading, until well off it again.
        if (std::fabs(bearing) < (straight_ ? 0.5f : 0.2f)) {
            straight_ = true;
            Head(s, bearing, pitch);
        } else {
            // Round the way the turn began: near the half turn the side would flicker.
            if (!turning_ || std::fabs(bearing) < 2.6f) turnSide_ = bearing > 0 ? 1 : -1;
            turning_ = true;
            straight_ = false;
            Head(s, 0.3f * turnSide_, std::fmin(pitch, ScanPitch));
            return;
        }
        turning_ = false;
    }
    bool straight_ = false;
    bool turning_ = false;
    Vec3 zeppelinMap_{};           // the ground under the zeppelin, as judged when last seen
    bool zeppelinMapped_ = false;
    bool runningOut_ = false;      // away from it for room to line up
    int turnSide_ = 1;
    bool fine_ = false;  // the last stretch of a pass has begun
    bool pushing_ = false;
    // Only sky (or only ground) in the window: wings as they are, nose back toward where
    // the horizon must be.
    void Regain(const Sight& s) { Stick(0.0f, s.pitch > 0.0f ? -60.0f : 60.0f); }
    // Over on its back (the sky below the horizon): roll upright the short way first.
    bool Upright(const Sight& s) {
        if (!s.horizonSeen || std::fabs(s.bank) < 1.8f) return true;
        Stick(s.bank > 0.0f ? -120.0f : 120.0f, 0.0f);
        return false;
    }

    // Level with the zeppelin by the picture: the path (some 0.1 below the nose) climbs or
    // sinks toward its height, closing the difference in some ten seconds.
    float PitchForZeppelin(float offset = 0.0f) const {
        return Clamp(LevelPitch + (heightToZeppelin_ + offset) / (10.0f * CruiseSpeed), -0.12f, ClimbPitch);
    }
    void TrackZeppelinHeight(const Sight& s) {
        if (s.zeppelin.seen && s.horizonSeen && std::fabs(s.zeppelinElevation) < 0.6f) {
            heightToZeppelin_ = AboveOf(s);
        } else if (s.horizonSeen) {
            heightToZeppelin_ -= CruiseSpeed * (s.pitch - LevelPitch) * FrameSeconds;
        }
    }

    // Height by the pitch: climb or sink toward the wanted height.
    float PitchForHeight(const Sight& s, float wanted, float lo = -0.12f, float hi = 0.22f) {
        return Clamp((wanted - s.height) * 0.0008f + 0.03f, lo, hi);
    }

    void Decide(const Sight& s, float t) {
        if (pendingRelease_ >= 0) {
            Release(pendingRelease_);
            pendingRelease_ = -1;
        }
        Release(vk::Space);
        WatchTracers(s);
        TrackZeppelinHeight(s);
        const Leg before = leg_;
        if (leg_ != Leg::Briefing && !Upright(s)) return;
        // The ground rising toward the aircraft comes first: wings level and climb.
        bool aloft = leg_ == Leg::Search || leg_ == Leg::Attack || leg_ == Leg::Extend || leg_ == Leg::Return;
        if (aloft && s.height < 250.0f && !s.onGround) {
            Attitude(s, ClimbPitch, 0.0f);
            return;
        }
        // The mountains at the world's edge ahead: turn back toward the middle of the map.
        if (aloft && s.edgeAhead) {
            Head(s, 1.2f * scanSide_, ScanPitch);
            return;
        }
        switch (leg_) {
            case Leg::Briefing:
                // Listens a moment, then Space ends the briefing.
                if (Flow.state == Playing) {
                    leg_ = Leg::TakeOff;
                    homeGuess_ = PlayerPlane.position + homeMiss_;
                    SetThrottle(9);
                } else if (seen_.size() == 30) {
                    Tap(vk::Space);
                }
                Stick(0, 0);
                break;
            case Leg::TakeOff:
                // Straight ahead off the plateau's edge, the nose held a gentle 12 degrees
                // above the horizon.
                Attitude(s, 0.21f, 0.0f);
                if (s.height > 300.0f) leg_ = Leg::Search;
                break;
            case Leg::Search:
                Search(s);
                break;
            case Leg::Attack:
                Attack(s, t);
                break;
            case Leg::Extend:
                // Away from the zeppelin, climbing, before turning in again.
                if (s.zeppelinFalling) {
                    leg_ = Leg::Return;
                } else {
                    // Straight on, climbing to its height, then back the way it was.
                    Attitude(s, PitchForZeppelin(), 0.0f);
                    if (t > extendUntil_) leg_ = Leg::Search;
                }
                break;
            case Leg::Return:
                Return(s, t);
                break;
            case Leg::Approach:
                Approach(s);
                break;
            case Leg::Taxi:
                Taxi(s, t);
                break;
        }
        if (s.zeppelin.seen) {
            lastZeppelinSeen_ = t;
            zeppelinBearing_ = BearingOf(s, PixelDirection(s.zeppelin.x, s.zeppelin.y));
            if (leg_ != Leg::Extend) zeppelinHeading_ = Wrap(Heading() - zeppelinBearing_);
            zeppelinAbove_ = s.zeppelinElevation > 0.0f;
            // Where it hangs over the map: the ground under it, judged from its direction
            // and its distance (its size), as the scenery gives the heading.
            if (s.horizonSeen && std::fabs(s.zeppelinElevation) < 0.6f) {
                float range = RangeOf(s);
                float heading = Heading() - zeppelinBearing_;
                float flat = range * std::cos(s.zeppelinElevation);
                const Vec3& p = PlayerPlane.position;
                zeppelinMap_ = {p.x + flat * std::sin(heading), 0.0f, p.z + flat * std::cos(heading)};
                zeppelinMapped_ = true;
            }
        }
        if (leg_ != before) {
            legStart_ = t;
            fine_ = false;
            if (log_) {
                const Aircraft& a = PlayerPlane;
                std::printf("  %6.1f s %-8s -> %-8s at (%.0f %.0f %.0f) speed %.1f judged height %.0f\n", t,
                            LegName(before), LegName(leg_), a.position.x, a.position.y, a.position.z, a.speed,
                            s.height);
            }
        }
    }

    // Its distance, judged from its size (a person knows a zeppelin is some 120 long), and
    // how much higher than the aircraft it flies, from its angle above the horizon.
    float RangeOf(const Sight& s) const {
        return 2.0f * std::sqrt(ZeppelinModel.radiusSquared) * FocalPixels() / s.zeppelin.size;
    }
    float AboveOf(const Sight& s) const { return RangeOf(s) * std::sin(s.zeppelinElevation); }

    // Climbs in wide circles (the view sweeps the sky) until level with the zeppelin, then
    // goes for it: a climb toward it from below only ends under its gun.
    void Search(const Sight& s) {
        if (s.zeppelinFalling) {
            leg_ = Leg::Return;
            return;
        }
        if (s.zeppelin.seen) {
            zeppelinHeight_ = s.height + AboveOf(s);
            float bearing = BearingOf(s, PixelDirection(s.zeppelin.x, s.zeppelin.y));
            // Level with it, ahead, wings near level: go for it.
            if (AboveOf(s) < 300.0f + 0.05f * RangeOf(s) && AboveOf(s) > -(TooHigh + 0.1f * RangeOf(s)) &&
                std::fabs(bearing) < 0.3f && std::fabs(s.bank) < 0.6f &&
                !runningOut_) {
                leg_ = Leg::Attack;
                return;
            }
        }
        bool known = lastZeppelinSeen_ > 0.0f;
        // Well above it: throttle back, so the turns come round without climbing further.
        SetThrottle(known && heightToZeppelin_ < -HighAbove ? HighThrottle : 9);
        bool below = !known || heightToZeppelin_ > 300.0f;
        if (below) {
            // Up in a climbing circle; not above the heights zeppelins fly.
            if (!known && s.height > 9000.0f) {
                Head(s, 0.3f * scanSide_, 0.0f);
            } else {
                Head(s, 0.3f * scanSide_, ClimbPitch);
            }
        } else if (!known && s.zeppelinEngine.heard) {
            // Toward the drone: turn to the louder side until it sounds ahead.
            float toward = s.zeppelinEngine.behind ? 0.3f * scanSide_ : 0.3f * s.zeppelinEngine.side;
            Head(s, toward, PitchForZeppelin());
        } else if (zeppelinMapped_) {
            // Level with it: toward the place over the map where it hangs, from far enough
            // out for a long straight run in; when too near, straight on until far enough.
            float bearing, distance;
            Toward(zeppelinMap_, bearing, distance);
            if (distance < RunInNear) runningOut_ = true;
            if (distance > RunInFar) runningOut_ = false;
            float pitch = PitchForZeppelin();
            if (runningOut_) {
                Attitude(s, pitch, 0.0f);
            } else {
                HeadTo(s, Wrap(Heading() - bearing), pitch);
            }
        } else {
            // Level with it: back the way it was last seen.
            HeadTo(s, zeppelinHeading_, PitchForZeppelin());
        }
    }

    void Attack(const Sight& s, float t) {
        if (s.zeppelinFalling) {
            leg_ = Leg::Return;
            return;
        }
        if (!s.zeppelin.seen) {
            if (t - lastZeppelinSeen_ > LostFor) {
                leg_ = Leg::Search;
                if (log_) std::printf("      pass ends: lost from sight\n");
            }
            // Gone off the side: wings back toward level and the nose toward where it went.
            Head(s, zeppelinBearing_, PitchForZeppelin(), 0.8f, TurnInBank);
            return;
        }
        float range = RangeOf(s);
        // Lined up and near, throttled back: it closes slower, so there is more time to
        // steady the aim before the burst.
        SetThrottle(fine_ && range < SlowFrom ? RunInThrottle : 9);
        Vec3 toward = PixelDirection(s.zeppelin.x, s.zeppelin.y);
        float elevation = s.zeppelinElevation;
        float above = AboveOf(s);
        zeppelinHeight_ = s.height + above;
        float bearing = BearingOf(s, toward);
        if (above > 500.0f + 0.1f * range || std::fabs(bearing) > 0.6f ||
            (!fine_ && above < -(TooHigh + TurnInSlope * range))) {
            if (log_) std::printf("      pass ends: range %.0f above %.0f bearing %.2f\n", range, above, bearing);
            if (log_) std::printf("      abort: range %.0f above %.0f bearing %.2f fine %d\n", range, above, bearing, fine_);
            leg_ = Leg::Search;  // too far above or off to the side after all
            return;
        }
        // Aim: the zeppelin on the sight picture's point, by the offsets of the picture.
        float ex = s.zeppelin.x - (ScreenWidth / 2 + aimX_);
        float ey = s.zeppelin.y - (ScreenHeight / 2 + aimY_);
        if (!fine_ && (range > FineAimRange || std::hypot(ex, ey) > FinePixels || std::fabs(s.bank) > FineBank)) {
            // Turning in: roll the zeppelin straight above (or below) the sight, pull (push)
            // it there.
            // The path runs some 0.1 below the nose; from below, aim the path above it.
            // The path runs some 0.1 below the nose as the aircraft sees it (down the
            // screen, whatever the bank): put the zeppelin there, a little higher when it is
            // below. Near it, the wings come level so the fine aim can take over.
            float below = FocalPixels() * (0.1f + Clamp(above / range, -TurnInSlope, TurnInSlope));
            Steer(s, PixelDirection(s.zeppelin.x, static_cast<int>(std::lround(s.zeppelin.y - below))), 1.0f,
                  TurnInBank);
            return;
        }
        fine_ = true;
        if (range > AimFrom) {
            // The long straight run: the path (some 0.1 below the nose) toward a point as far
            // above or below the zeppelin as it is above or below the aircraft, so the
            // heights meet on the way in.
            float below = FocalPixels() * (0.1f + Clamp(above / range, -RunSlope, RunSlope));
            ey = s.zeppelin.y - (ScreenHeight / 2 + below);
        }
        FineAim(s, ex, ey);
        if (log_ && static_cast<int>(t * 33.0f) % 4 == 0)
            std::printf("      aim t %.1f range %.0f ex %.0f ey %.0f elev %.2f bank %.2f pitch %.2f aim %.0f,%.0f\n", t, range, ex,
                        ey, elevation, s.bank, s.pitch, aimX_, aimY_);
        // Roughly in the sights and in range: a burst (the tracers show where it went).
        // A burst lives some 41 steps and its shots fly some 23 a step: the first reaches
        // some 900, the sixth some 700 (the aircraft closing meanwhile). Fire inside 750.
        if (range < FireRange && std::fabs(ex) < FireWindow && std::fabs(ey) < FireWindow && !PlayerPlane.firing) {
            Press(vk::Space);
            bursts_ += 1;
        }
        // Away before ramming it (its gun reaches 500, but only below it).
        if (range < BreakRange || (elevation > 0.2f && range < 600.0f)) {
            leg_ = Leg::Extend;
            extendUntil_ = t + 8.0f;
            scanSide_ = -scanSide_;
            // Flown past, it is behind: come back round to it.
            zeppelinHeading_ = Wrap(Heading() + Pi);
        }
    }

    // The last stretch: wings near level, the zeppelin held on the sight picture's point
    // by small moves of the stick, as the picture shows it. Pulling moves the nose up the
    // screen; the stick to the side yaws the nose (and rolls, which is taken out again
    // slowly). The zeppelin's drift over the last frames gives the lead.
    void FineAim(const Sight& s, float ex, float ey) {
        float dx = 0, dy = 0;
        const size_t back = ReactionFrames + DriftFrames;
        if (seen_.size() > back) {
            const Sight& before = seen_[seen_.size() - 1 - back];
            if (before.zeppelin.seen) {
                dx = static_cast<float>(s.zeppelin.x - before.zeppelin.x) / DriftFrames;
                dy = static_cast<float>(s.zeppelin.y - before.zeppelin.y) / DriftFrames;
            }
        }
        float px = ex + LeadFrames * dx, py = ey + LeadFrames * dy;
        float pull = -PullGain * py;
        float right = SideGain * px - LevelGain * s.bank;
        Stick(Clamp(right, -60.0f, 60.0f), Clamp(pull, -60.0f, 60.0f));
    }

    // The first tracer of each burst, watched until it passes the zeppelin's distance:
    // where it crossed relative to the zeppelin moves the sight picture.
    void WatchTracers(const Sight& s) {
        if (s.shotCount == 0 || !s.shots[0].seen || !s.zeppelin.seen) return;
        if (trackedBurst_ == bursts_) return;
        // The person sees the tracer shrink to the zeppelin's size: it has reached it.
        // (A tracer is drawn 2 across: it is as far as the zeppelin when it looks 2/R of the
        // zeppelin's size, R its half length.)
        if (s.shots[0].size > s.zeppelin.size * 2.0f / std::sqrt(ZeppelinModel.radiusSquared)) return;
        float mx = static_cast<float>(s.shots[0].x - s.zeppelin.x);
        float my = static_cast<float>(s.shots[0].y - s.zeppelin.y);
        // The shots land where the sight picture's point was plus what they missed by: the
        // zeppelin belongs there.
        aimX_ = Clamp(aimX_ + 0.7f * mx, -80.0f, 80.0f);
        aimY_ = Clamp(aimY_ + 0.7f * my, -80.0f, 80.0f);
        trackedBurst_ = bursts_;
    }

    // ---- home -------------------------------------------------------------------------
    // The base when seen: the hangar's pixel and the judged height give where it lies.
    void RememberBase(const Sight& s) {
        const Spot& b = s.hangar.seen ? s.hangar : s.runwaySouth;
        if (!b.seen && !s.runwayNorth.seen) return;
        const Spot& spot = b.seen ? b : s.runwayNorth;
        Vec3 d = PixelDirection(spot.x, spot.y);
        float below = -ElevationOf(s, d);
        if (below < 0.01f) return;
        float ahead = s.height / std::tan(below);
        float bearing = BearingOf(s, d);
        // The aircraft's heading over the ground, known from the scenery it flies over.
        const Aircraft& a = PlayerPlane;
        Vec3 f = MatrixColumn(a.placement, 2);
        float heading = std::atan2(f.x, f.z) - bearing;  // screen right is the aircraft's -x
        Vec3 seenAt = {a.position.x + ahead * std::sin(heading), 630.0f, a.position.z + ahead * std::cos(heading)};
        Vec3 offset = b.seen ? Vec3{0, 0, 0} : Vec3{-200.0f, 0, 6470.0f - (spot.y == s.runwaySouth.y ? 6010.0f : 6990.0f)};
        baseMemory_ = seenAt + offset;
        baseKnown_ = true;
    }

    // The bearing (right positive) and ground distance of a remembered point.
    void Toward(Vec3 p, float& bearing, float& distance) {
        const Aircraft& a = PlayerPlane;
        Vec3 f = MatrixColumn(a.placement, 2);
        float heading = std::atan2(f.x, f.z);
        float want = std::atan2(p.x - a.position.x, p.z - a.position.z);
        bearing = heading - want;
        while (bearing > Pi) bearing -= 2 * Pi;
        while (bearing < -Pi) bearing += 2 * Pi;
        distance = std::hypot(p.x - a.position.x, p.z - a.position.z);
    }

    float nextLook_ = 0, lookHeading_ = 0;
    void Return(const Sight& s, float t) {
        // Full throttle home, the nose well down from the zeppelin's height (5,000-10,000):
        // throttled back the descent took longer than the way home.
        SetThrottle(9);
        RememberBase(s);
        if (!baseKnown_) {
            // Toward where home should be, down toward 900 (the strip shows ahead, below the
            // horizon), until the siren is heard or the guess is reached.
            float bearing, distance;
            Toward(homeGuess_, bearing, distance);
            if (!s.siren.heard && distance > HomeGuessError) {
                Head(s, bearing, PitchForHeight(s, 900.0f, -DescendPitch, 0.22f));
                return;
            }
            // Then look for it: wings level, a quarter turn every 20 s; toward the siren
            // once it is heard.
            if (t >= nextLook_) {
                lookHeading_ = Wrap(Heading() - 0.5f * Pi * scanSide_);
                if (s.siren.heard && s.siren.side != 0) lookHeading_ = Wrap(Heading() - 0.8f * s.siren.side);
                nextLook_ = t + 20.0f;
            }
            HeadTo(s, lookHeading_, PitchForHeight(s, 900.0f));
            return;
        }
        // A long final from the south: a mark 3500 short of the hangar, then down.
        Vec3 mark = baseMemory_ + Vec3{0, 0, -3500.0f};
        float bearing, distance;
        Toward(mark, bearing, distance);
        if (distance < 700.0f && s.height > 800.0f) {
            Head(s, 0.3f * scanSide_, -0.15f);  // too high over the mark: circle down
            return;
        }
        Head(s, bearing, PitchForHeight(s, 700.0f, -DescendPitch, 0.22f));
        // Over the mark (the circle down is some 700 across): on to the final.
        if (distance < FinalFrom) leg_ = Leg::Approach;
    }

    void Approach(const Sight& s) {
        RememberBase(s);
        // Down a gentle slope to touch down some 1500 short of the hangar, lined up on it.
        float bearing, distance;
        Toward(baseMemory_, bearing, distance);
        float toTouch = std::fmax(0.0f, distance - 1500.0f);
        float wanted = toTouch * 0.12f;
        SetThrottle(s.height > 60.0f ? 4 : 2);
        float pitch = Clamp((wanted - s.height) * 0.003f - 0.04f, -0.2f, 0.05f);
        if (s.height < 25.0f) pitch = 0.04f;  // flare: nose a little up
        Head(s, s.height < 80.0f ? Clamp(bearing, -0.05f, 0.05f) : bearing, pitch);
        if (s.onGround) leg_ = Leg::Taxi;
        if (distance < 300.0f && s.height > 150.0f) leg_ = Leg::Return;  // too high: go round
    }

    void Taxi(const Sight& s, float t) {
        // Toward the ring, slowly at the end; on the ground the stick yaws the aircraft.
        if (!s.onGround) {
            SetThrottle(0);
            Attitude(s, 0.02f, 0.0f);
            return;
        }
        if (s.hangar.seen) {
            float bearing = BearingOf(s, PixelDirection(s.hangar.x, s.hangar.y));
            float range = 2.0f * 4.0f * FocalPixels() / std::fmax(0.1f, s.hangar.size);
            if (range < DoorRouteFrom) byDoors_ = true;
            if (byDoors_) {
                TaxiToDoors();
                legStart_ = t;
                return;
            }
            SetThrottle(range > 200.0f ? 5 : (range > 40.0f ? 3 : 2));
            Stick(Clamp(bearing * 600.0f, -120.0f, 120.0f), 0);
        } else if (byDoors_) {
            TaxiToDoors();
            return;
        } else {
            // Gone under the nose or off the side: straight a moment, then toward where it
            // was seen from the air, slowly while the turn is large (the turn on the ground
            // is a fixed rate, so the slower, the tighter).
            float bearing, distance;
            Toward(baseMemory_, bearing, distance);
            bool recent = t - legStart_ < 2.0f;
            SetThrottle(recent ? 2 : (std::fabs(bearing) > 0.4f ? 1 : 3));
            Stick(recent ? 0.0f : Clamp(bearing * 600.0f, -120.0f, 120.0f), 0);
        }
        if (s.hangar.seen) legStart_ = t;
    }

    // Near the hangar, where its walls and open doorway are plain to see: round it to a
    // spot in front of the doors, then straight in to the ring on the floor.
    void TaxiToDoors() {
        const Aircraft& a = PlayerPlane;
        Vec3 hangar = MatrixTranslation(HangarModel.matrix);
        Vec3 out = MatrixColumn(HangarModel.matrix, 0);  // the doorway faces this way
        out.y = 0;
        Normalize(out);
        Vec3 side = {out.z, 0.0f, -out.x};
        Vec3 rel = a.position - hangar;
        float along = Dot(rel, out), across = Dot(rel, side);
        // Rolled past the ring (or never in front): back round to the doorway's line.
        if (doorPhase_ == 2 && along < -2.0f) doorPhase_ = 0;
        if (doorPhase_ == 0 && along > DoorFront * 0.5f) doorPhase_ = 1;
        Vec3 front = hangar + out * DoorFront;
        if (doorPhase_ == 1 && std::hypot(along - DoorFront, across) < 50.0f) doorPhase_ = 2;
        // In through the doors: toward a point on the doorway's line some way ahead, so the
        // aircraft settles onto the line before it reaches the ring.
        Vec3 goal = hangar + out * std::fmax(0.0f, along - DoorLookAhead);
        if (doorPhase_ == 0) {
            // Behind or beside it: along its side, well clear of the walls, to the front.
            goal = front + side * (across >= 0 ? DoorSide : -DoorSide);
        } else if (doorPhase_ == 1) {
            goal = front;  // onto the doorway's line
        }
        float bearing, distance;
        Toward(goal, bearing, distance);
        if (log_ && stepsRun % 30 == 0)
            std::printf("      doors phase %d along %.0f across %.0f goal %.0f,%.0f bearing %.2f\n", doorPhase_, along,
                        across, goal.x, goal.z, bearing);
        // The turn on the ground is a fixed rate: slow while it is large.
        SetThrottle(doorPhase_ == 2 || std::fabs(bearing) > 0.4f ? 1 : 3);
        Stick(Clamp(bearing * 600.0f, -120.0f, 120.0f), 0);
    }

    void Trace(const Sight& s, float t) {
        const Aircraft& a = PlayerPlane;
        Vec3 f = MatrixColumn(a.placement, 2), r = MatrixColumn(a.placement, 0);
        float truePitch = std::asin(Clamp(f.y, -1.0f, 1.0f));
        float trueBank = std::asin(Clamp(r.y, -1.0f, 1.0f));
        float clearance = -TerrainGap(a, a.position.x, a.position.y, a.position.z);
        std::printf("      t %5.1f %-8s (%5.0f %5.0f %5.0f) v %4.1f clear %5.0f judged %5.0f pitch %5.2f/%5.2f bank "
                    "%5.2f/%5.2f mouse %3d %3d thr %d zep %d %d,%d size %.1f elev %.2f heard %d dH %.0f (true %.0f)\n",
                    t, LegName(leg_), a.position.x, a.position.y, a.position.z, a.speed, clearance, s.height, s.pitch,
                    truePitch, s.bank, trueBank, mouseX_, mouseY_, throttle_, s.zeppelin.seen, s.zeppelin.x,
                    s.zeppelin.y, s.zeppelin.size, s.zeppelinElevation, s.zeppelinEngine.heard ? s.zeppelinEngine.side : 9, heightToZeppelin_,
                    MatrixTranslation(ZeppelinModel.matrix).y - a.position.y);
    }

    void Record(const Sight& s, float t) {
        const Aircraft& a = PlayerPlane;
        float clearance = -TerrainGap(a, a.position.x, a.position.y, a.position.z);
        if (!InsideWorld(a.position)) clearance = 1.0e9f;  // beyond the terrain's edge: no ground
        if (out_.airborne < 0 && clearance > 5.0f) out_.airborne = t;
        if (out_.above300 < 0 && clearance > 300.0f && out_.airborne >= 0) out_.above300 = t;
        // The take-off holds when the wheels stay off the ground for its first minute.
        if (out_.above300 >= 0 && t <= 60.0f && clearance < 1.5f) out_.touchedAgain = true;
        if (out_.kill < 0 && ZeppelinModel.visible == 2) out_.kill = t;
        if (out_.firstSeen < 0 && s.zeppelin.seen) out_.firstSeen = t;
        out_.bursts = bursts_;
        out_.closest = std::fmin(out_.closest, Length(MatrixTranslation(ZeppelinModel.matrix) - a.position));
        if (a.firing)
            for (int i = 0; i < a.shotCount && i < MaxShots; ++i)
                out_.nearestShot =
                    std::fmin(out_.nearestShot, Length(MatrixTranslation(ZeppelinModel.matrix) - a.shotPositions[i]));
    }
};

Outcome FlySeed(uint32_t seed, bool log, bool practiceReturn) {
    // A fresh game: settings at their defaults, the world loaded, the seed drawn.
    clockMs = 1000000;
    SetClockSource(PilotClock);
    // The game seeds with the milliseconds since boot: each seed number stands for one such
    // moment, spread out, so that small seed numbers are as different missions as any.
    SeedRand(20000u + seed * 7919u);
    if (sessionFile != nullptr)
        std::fprintf(sessionFile, "kelvane-session 1\nrandom %u\nclock %u\n", 20000u + seed * 7919u, clockMs);
    App.running = true;
    Person person(seed, log, practiceReturn);
    return person.Fly();
}

float Median(std::vector<float> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void PrintDistribution(const char* what, std::vector<float> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-9s", what);
    if (v.empty()) {
        std::printf(" none\n");
        return;
    }
    std::printf(" min %5.1f  median %5.1f  max %5.1f  [", v.front(), Median(v), v.back());
    for (size_t i = 0; i < v.size(); ++i) std::printf("%s%.0f", i ? " " : "", v[i]);
    std::printf("] s\n");
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kelvane-pilot [--seeds N] [--first SEED] [--log] [--takeoff-guard [--min-kills K] "
                 "[--min-homes H]] [--practice-return] [--record FILE (with --seeds 1)]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int seeds = 20;
    uint32_t first = 1;
    bool log = false, takeoffOnly = false, practiceReturn = false;
    int minKills = 0, minHomes = 0;
    const char* recordPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seeds") == 0 && i + 1 < argc) {
            seeds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--first") == 0 && i + 1 < argc) {
            first = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--log") == 0) {
            log = true;
        } else if (std::strcmp(argv[i], "--record") == 0 && i + 1 < argc) {
            recordPath = argv[++i];
        } else if (std::strcmp(argv[i], "--practice-return") == 0) {
            practiceReturn = true;
        } else if (std::strcmp(argv[i], "--min-kills") == 0 && i + 1 < argc) {
            minKills = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--min-homes") == 0 && i + 1 < argc) {
            minHomes = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--takeoff-guard") == 0) {
            takeoffOnly = true;
        } else {
            return Usage();
        }
    }
    if (seeds < 1 || seeds > 1000 || (recordPath != nullptr && (seeds != 1 || practiceReturn))) return Usage();

    LoadSettings();
    App.settings.Width = ScreenWidth;
    App.settings.Height = ScreenHeight;
    std::vector<Outcome> outcomes;
    for (int k = 0; k < seeds; ++k) {
        uint32_t seed = first + static_cast<uint32_t>(k);
        std::fflush(stdout);
        // Each flight in a process of its own, so none inherits another's world.
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return 1;
        pid_t child = fork();
        if (child < 0) return 1;
        if (child == 0) {
            close(pipeEnds[0]);
            LoadWorld(WorldUse::Headless);
            if (recordPath != nullptr && (sessionFile = std::fopen(recordPath, "w")) == nullptr) {
                std::perror(recordPath);
                _exit(1);
            }
            Outcome o = FlySeed(seed, log, practiceReturn);
            if (sessionFile != nullptr && std::fclose(sessionFile) != 0) _exit(1);
            std::fflush(stdout);
            ssize_t n = write(pipeEnds[1], &o, sizeof o);
            _exit(n == static_cast<ssize_t>(sizeof o) ? 0 : 1);
        }
        close(pipeEnds[1]);
        Outcome o;
        ssize_t n = read(pipeEnds[0], &o, sizeof o);
        close(pipeEnds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (n != static_cast<ssize_t>(sizeof o)) {
            std::printf("seed %u: the flight did not finish\n", seed);
            o = Outcome{};
        }
        std::printf("seed %3u: airborne %5.1f  300 up %5.1f%s  seen %6.1f  bursts %2d  nearest shot %5.0f  kill %6.1f  "
                    "home %6.1f  shot down %d%s\n",
                    seed, o.airborne, o.above300, o.touchedAgain ? " (touched again)" : "", o.firstSeen, o.bursts,
                    o.nearestShot < 1e8f ? o.nearestShot : -1.0f, o.kill, o.home, o.shotDown, o.crashed ? "  crashed" : "");
        outcomes.push_back(o);
    }

    int takeoffs = 0, kills = 0, homes = 0;
    std::vector<float> airborne, up, kill, home;
    for (const Outcome& o : outcomes) {
        if (o.airborne >= 0) airborne.push_back(o.airborne);
        if (o.above300 >= 0) up.push_back(o.above300);
        if (o.above300 >= 0 && o.above300 <= 30.0f && !o.touchedAgain) ++takeoffs;
        if (o.kill >= 0 && o.kill <= 360.0f) {
            ++kills;
            kill.push_back(o.kill);
        }
        if (o.home >= 0 && o.home <= 600.0f) {
            ++homes;
            home.push_back(o.home);
        }
    }
    // The guards, as shares of 20 rounded up.
    auto need = [&](int of20) { return (of20 * seeds + 19) / 20; };
    std::printf("take-off (300 above the ground within 30 s, not down again): %d of %d (guard %d)\n", takeoffs, seeds,
                need(19));
    if (practiceReturn) {
        std::printf("zeppelin: made to fall 40 s into each flight (practice of the way home only)\n");
    } else {
        std::printf("zeppelin shot down within 6 minutes:                         %d of %d (guard %d)\n", kills, seeds,
                    need(10));
    }
    std::printf("back in the hangar's ring within 10 minutes:                 %d of %d (guard %d)\n", homes, seeds,
                need(10));
    PrintDistribution("airborne", airborne);
    PrintDistribution("300 up", up);
    PrintDistribution("kill", kill);
    PrintDistribution("home", home);
    bool met = takeoffs >= need(19) &&
               (takeoffOnly ? kills >= minKills && homes >= minHomes : (practiceReturn || kills >= need(10)) && homes >= need(10));
    std::printf("%s\n", met ? "guards met" : "GUARD MISSED");
    return met ? 0 : 1;
}
