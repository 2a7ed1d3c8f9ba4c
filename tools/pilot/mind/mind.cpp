// kelvane-mind: the pilot's mind. It knows what a player is told (the keys, the take-off,
// roughly where the base lies, what the targets look like) and what it sees in each frame
// and hears; it answers each look with where the hand should hold the pointer and which
// keys are down (../senses.h). It runs in a process of its own and touches nothing else.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <iostream>
#include <memory>

#include "../senses.h"
#include "picture.h"

namespace mind {
namespace {

constexpr float Pi = 3.14159265f;
// What the player is told: the base, where every mission starts, to within some 500.
constexpr float HomeX = 7600.0f, HomeZ = 6500.0f;
// The take-off: full throttle, the plateau's edge some 6.5 s later, a pull of some 15
// pixels held some two seconds.
constexpr float EdgeAfter = 6.3f;
constexpr float PullFor = 2.0f;
constexpr int TakeOffPull = 15;
// The usual speed (the scenery's flow shows it) and what a pixel of pull does: 15 pixels
// swing the nose some 12 degrees a second.
constexpr float CruiseSpeed = 390.0f;
constexpr float PullRadiansPerPixel = 0.21f / 15.0f;
constexpr float YawRadiansPerPixel = 0.0026f;
constexpr float RollRadiansPerPixel = 0.0104f;
// The zeppelin, 2,000 away, is some 30 pixels long; 700 away some 80.
constexpr float ZeppelinPixelUnits = 58000.0f;
// Where the shots go: between the nose and the way the aircraft flies (some 6 degrees
// below the nose at full throttle), just over the cowl between the gun muzzles.
constexpr int AimX = senses::Width / 2, AimY = 268;
// Where to look: the land's middle, then across the square where the targets are placed
// (within 15,000 of the middle each way), on the map a player is given.
constexpr int WaypointCount = 5;
constexpr float Waypoints[WaypointCount][2] = {{0, 0}, {-9000, -9000}, {9000, -9000}, {-9000, 9000}, {9000, 9000}};

float Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
float Wrap(float a) {
    while (a > Pi) a -= 2 * Pi;
    while (a < -Pi) a += 2 * Pi;
    return a;
}

enum class Phase { Briefing, Roll, Rotate, Climb, Search, Attack, Break, Home };

class Pilot {
public:
    explicit Pilot(const senses::Hello& hello) : mission_(hello.mission), log_(hello.log != 0) {}

    senses::Hands Decide(const senses::Look& look) {
        senses::Hands hands;
        const float now = look.timeMs / 1000.0f;
        const float dt = lastTime_ < 0 ? 0.0f : now - lastTime_;
        lastTime_ = now;
        keys_ = throttleKey_;
        throttleKey_ = 0;
        heldRight_ = right_;
        heldPull_ = pull_;
        right_ = 0;
        pull_ = 0;

        // Its own aircraft's shape is learnt in the first looks, then only kept up to date.
        ++looks_;
        if (phase_ != Phase::Briefing && now > playFrom_ + 1.0f && (!own_.Settled() || looks_ % 4 == 0))
            own_.Watch(look.rgb, mission_ == 2 ? Wanted::RedShape : Wanted::DarkShape);
        Picture pic = Read(look.rgb, own_, mission_ == 2 ? Wanted::RedShape : Wanted::DarkShape, bank_);
        if (pic.horizonSeen) {
            bank_ = pic.bank;
            pitch_ = pic.pitch;
        }
        Listen(look);
        Fly(pic, now, now - playFrom_);
        const float t = now - playFrom_;  // seconds of play, as it believes
        Reckon(dt, t, pic.horizonSeen);
        if (log_ && now >= nextLog_) {
            nextLog_ = now + 1.0f;
            std::cerr << "    mind t " << t << " phase " << static_cast<int>(phase_) << " horizon " << pic.horizonSeen
                      << (pic.skyOnly ? " sky" : "") << " fit " << pic.fit << " bank " << bank_ << " pitch " << pitch_
                      << " target " << pic.target.found << " " << pic.target.x << "," << pic.target.y << " "
                      << pic.target.Width() << "x" << pic.target.Height() << " stick " << right_ << "," << pull_
                      << " believed " << x_ << "," << z_ << " heading " << heading_ << " height " << height_
                      << " heard " << look.leftDb << "/" << look.rightDb << " lean " << side_ << " pitch " << look.pitch << "\n";
        }

        hands.keys = keys_;
        hands.pointerX = senses::Width / 2 + static_cast<int>(std::lround(Clamp(right_, -200, 200)));
        hands.pointerY = senses::Height / 2 + static_cast<int>(std::lround(Clamp(pull_, -160, 160)));
        if (phase_ != Phase::Briefing && pic.target.found && own_.Learned()) {
            hands.seen = 1;
            hands.seenX = pic.target.x;
            hands.seenY = pic.target.y;
        }
        if (phase_ != Phase::Briefing && now >= nextBelief_) {
            nextBelief_ = now + 1.0f;
            hands.belief = 1;
            hands.believedX = x_;
            hands.believedZ = z_;
            hands.homeX = HomeX;
            hands.homeZ = HomeZ;
        }
        return hands;
    }

private:
    int mission_;
    bool log_;
    float nextLog_ = 0;
    Phase phase_ = Phase::Briefing;
    OwnAircraft own_;
    float lastTime_ = -1;
    long looks_ = 0;
    float playFrom_ = 1e9f;
    uint32_t keys_ = 0, throttleKey_ = 0;
    int throttle_ = 0;
    float right_ = 0, pull_ = 0;  // the stick, pixels from the middle
    float heldRight_ = 0, heldPull_ = 0;  // and at the last look
    float bank_ = 0, pitch_ = 0;
    // Where it believes it is: dead reckoning from the start in front of the hangar, the
    // heading turned by what its own pulls do in the bank it sees.
    float x_ = HomeX, z_ = HomeZ, heading_ = 0, height_ = 0;
    float nextBelief_ = 0;
    float phaseFrom_ = 0;
    float lastSeen_ = -100, lastBurst_ = -100, burstUntil_ = -1;
    float range_ = 1e9f;
    float lostSince_ = -1;
    float awayUntil_ = -1;
    int lastX_ = 0, lastY_ = 0;
    int sideTurn_ = 1;
    std::deque<std::array<float, 3>> hand_;  // (time, right, pull) asked of the hand
    // Where it last saw the target: its heading on the map and its angle above the level.
    float targetHeading_ = 0, targetElevation_ = 0;
    float side_ = 0;  // the lean of what it hears, right ear minus left, in dB
    int waypoint_ = 0;
    // The score line at the start of play: it changes when a target goes down.
    uint64_t scoreLine_ = 0;
    bool scoreKnown_ = false;

    void Throttle(int n) {
        if (n == throttle_) return;
        throttle_ = n;
        throttleKey_ = senses::KeyDigit0 << n;
        keys_ |= throttleKey_;
    }
    void Enter(Phase p, float t) {
        phase_ = p;
        phaseFrom_ = t;
    }

    // Wings and nose toward a bank and an angle above the horizon, by the horizon.
    void Attitude(const Picture& pic, float pitch, float bank) {
        if (Lost(pic)) return;
        right_ = Clamp(110.0f * Wrap(bank - bank_), -120, 120);
        pull_ = Clamp(80.0f * (pitch - pitch_) / std::max(0.5f, std::cos(bank_)), -60, 60);
    }

    // Only sky or only ground in the window: nose back toward where the horizon must be;
    // lost for long (on its back, say), roll until the ground comes round.
    bool Lost(const Picture& pic) {
        if (pic.horizonSeen) {
            lostSince_ = -1;
            return false;
        }
        if (lostSince_ < 0) lostSince_ = lastTime_;
        float lost = lastTime_ - lostSince_;
        if (lost < 1.5f) {
            // A moment out of sight: the hand stays where it was.
            right_ = heldRight_;
            pull_ = heldPull_;
        } else if (lost < 4.0f) {
            right_ = 0.0f;
            pull_ = pic.skyOnly ? -20.0f : 20.0f;
        } else {
            right_ = 60.0f;
            pull_ = 0.0f;
        }
        return true;
    }

    // A turn at a rate (radians a second, right positive) with the nose at an angle above
    // the horizon: the pull swings the nose across the wings, so the bank is chosen for the
    // turn and the climb wanted, and the pull is that wish along the pull's axis.
    void Head(const Picture& pic, float turnRate, float pitch) {
        if (Lost(pic)) return;
        turnRate = Clamp(turnRate, -0.3f, 0.3f);
        float pitchRate = Clamp(0.8f * (pitch - pitch_), -0.3f, 0.3f);
        float bank = Clamp(std::atan2(turnRate, pitchRate + 0.1f), -1.0f, 1.0f);
        float pull = turnRate * std::sin(bank_) + pitchRate * std::cos(bank_);
        right_ = Clamp(80.0f * Wrap(bank - bank_), -120, 120);
        pull_ = Clamp(pull / PullRadiansPerPixel, -40, 40);
    }

    // A steady circle: only with the wings near upright does a pull mostly turn, so the
    // wings go well over with a steady pull, a little less over when the nose sinks. The
    // nose is kept low enough that the horizon shows beside the lower wing.
    void Circle(const Picture& pic, float pitch) {
        if (Lost(pic)) return;
        // Nose too high: the wings past upright and a softer pull bring it down.
        float bank = Clamp(1.4f + 1.5f * (pitch_ - pitch), 1.0f, 1.85f);
        right_ = Clamp(100.0f * Wrap(bank * sideTurn_ - bank_), -100, 100);
        pull_ = Clamp(15.0f - 25.0f * (pitch_ - pitch), 6.0f, 18.0f);
    }

    // Toward the target's pixel: roll it above the aim point, then pull it onto it.
    void Chase(const Picture& pic, int x, int y) {
        float dx = static_cast<float>(x - AimX), dy = static_cast<float>(y - AimY);
        if (std::fabs(dx) > 40.0f) {
            float wantBank = Clamp(dx * 0.004f, -0.7f, 0.7f);
            right_ = Clamp(90.0f * Wrap(wantBank - bank_), -100, 100);
            pull_ = Clamp(-0.2f * dy, -30, 40);
        } else {
            right_ = Clamp(-50.0f * bank_ + 0.4f * dx, -60, 60);
            pull_ = Clamp(-0.25f * dy, -30, 40);
        }
        // Never into the ground, nor so steep up that the horizon goes out of sight under
        // the deck: with only sky to see, the wings' tilt is lost. Close in and on the aim
        // point it may, for the moment of the shot.
        bool aiming = range_ < 1200.0f && std::fabs(dx) < 60.0f && std::fabs(dy) < 60.0f;
        if (pic.horizonSeen && pitch_ < -0.35f) pull_ = std::max(pull_, 30.0f);
        if (pic.horizonSeen && pitch_ > 0.3f && !aiming) pull_ = std::min(pull_, 0.0f);
        if (!pic.horizonSeen && pic.skyOnly && !aiming) pull_ = std::min(pull_, -10.0f);
    }

    // The bearing (right of the nose's heading positive, the way the heading turns) from
    // where it believes it is to a point on the map.
    float BearingTo(float x, float z) const { return std::atan2(-(x - x_), z - z_); }

    // Toward a heading at an angle above the horizon: far off it, round in a steep circle
    // (only that turns); near it, a gentle bank and the pitch held.
    void Steer(const Picture& pic, float off, float pitch) {
        if (std::fabs(off) > 0.6f) {
            sideTurn_ = off > 0 ? 1 : -1;
            Circle(pic, pitch);
            return;
        }
        Attitude(pic, pitch, Clamp(2.0f * off, -0.9f, 0.9f));
    }

    // Hearing: the own engine sounds in both ears alike, so a steady lean to one side is
    // another engine (the target's, or near the base the siren) on that side.
    void Listen(const senses::Look& look) {
        if (look.leftDb == senses::Silent || look.rightDb == senses::Silent) return;
        float lean = static_cast<float>(look.rightDb - look.leftDb);
        side_ += 0.04f * (lean - side_);
    }

    // The nose's angle above the horizon it sees. The horizon drawn is the land's end,
    // which sinks below the level the higher it flies: holding the nose a little above it
    // climbs while low and levels off some 3,000-4,000 up, below the zeppelins (dark
    // against the sky there) and high enough to see far over the land.
    float SearchPitch() const { return mission_ == 1 ? 0.0f : 0.12f; }

    void Fly(const Picture& pic, float now, float t) {
        switch (phase_) {
            case Phase::Briefing:
                // Space ends the briefing; the flight begins when the hand has pressed it.
                if (now >= 1.0f && now < 1.3f) keys_ |= senses::KeySpace;
                if (now >= 1.3f) {
                    playFrom_ = 1.3f;
                    Enter(Phase::Roll, 0);
                }
                return;
            case Phase::Roll:
                if (t > 0.3f) Throttle(9);
                if (t > EdgeAfter) Enter(Phase::Rotate, t);
                return;
            case Phase::Rotate:
                pull_ = TakeOffPull;
                if (t - phaseFrom_ > PullFor) Enter(Phase::Climb, t);
                return;
            case Phase::Climb:
                // Straight out, then climbing circles over the base until high enough.
                if (t < 20.0f) {
                    Attitude(pic, 0.15f, 0.0f);
                } else {
                    sideTurn_ = 1;
                    Circle(pic, 0.25f);
                }
                if (t > 60.0f) Enter(Phase::Search, t);
                break;
            case Phase::Search: {
                Throttle(9);
                float x = Waypoints[waypoint_][0], z = Waypoints[waypoint_][1];
                if (std::hypot(x - x_, z - z_) < 1500.0f) waypoint_ = (waypoint_ + 1) % WaypointCount;
                float off = Wrap(BearingTo(x, z) - heading_);
                // The void past the land's end ahead: back toward the middle.
                if (pic.voidShare > 0.01f) awayUntil_ = now + 10.0f;
                if (now < awayUntil_) off = Wrap(BearingTo(0, 0) - heading_);
                Steer(pic, off, SearchPitch());
                break;
            }
            case Phase::Attack: {
                const bool seenNow = pic.target.found;
                // Slid under the cowl on the aim point, in range: that is where the shots go.
                if (!seenNow && now - lastSeen_ < 0.5f && range_ < 700.0f && std::abs(lastX_ - AimX) < 30 &&
                    lastY_ > AimY - 20 && now - lastBurst_ > 1.4f) {
                    lastBurst_ = now;
                    burstUntil_ = now + 0.2f;
                }
                if (!seenNow && range_ < 400.0f && now - lastSeen_ > 0.3f) {
                    sideTurn_ = lastX_ < AimX ? -1 : 1;
                    Enter(Phase::Break, t);
                    break;
                }
                if (now - lastSeen_ > 40.0f) {
                    Enter(Phase::Search, t);
                    break;
                }
                Throttle(range_ < 2500.0f ? 6 : 9);
                // Close and near the middle of the window: onto the aim point by its pixel.
                // Otherwise toward where it was last seen, on the map, and to its height.
                bool near = seenNow ? std::abs(pic.target.x - AimX) < 160 && std::abs(pic.target.y - AimY) < 140
                                    : now - lastSeen_ < 0.4f;
                if (range_ < 3000.0f && near) {
                    Chase(pic, seenNow ? pic.target.x : lastX_, seenNow ? pic.target.y : lastY_);
                } else {
                    float climb = Clamp(1.5f * targetElevation_, -0.1f, 0.2f);
                    Steer(pic, Wrap(targetHeading_ - heading_), climb);
                }
                if (seenNow && range_ < 700.0f && std::fabs(pic.target.x - AimX) < 14 &&
                    std::fabs(pic.target.y - AimY) < 16 && now - lastBurst_ > 1.4f) {
                    lastBurst_ = now;
                    burstUntil_ = now + 0.2f;
                }
                if (range_ < 220.0f) {
                    sideTurn_ = lastX_ < AimX ? -1 : 1;
                    Enter(Phase::Break, t);
                }
                break;
            }
            case Phase::Break:
                // Away to the side, steeply, not to meet it.
                Throttle(9);
                if (t - phaseFrom_ < 3.0f) {
                    right_ = Clamp(100.0f * Wrap(1.2f * sideTurn_ - bank_), -100, 100);
                    pull_ = 20.0f;
                } else {
                    Steer(pic, 0.6f * sideTurn_, 0.15f);
                }
                if (t - phaseFrom_ > 8.0f) Enter(Phase::Search, t);
                break;
            case Phase::Home: {
                Throttle(9);
                float off = Wrap(BearingTo(HomeX, HomeZ) - heading_);
                Steer(pic, off, 0.0f);
                break;
            }
        }
        if (now < burstUntil_) keys_ |= senses::KeySpace;
        if (pic.target.found && phase_ != Phase::Home) {
            lastSeen_ = now;
            lastX_ = pic.target.x;
            lastY_ = pic.target.y;
            range_ = ZeppelinPixelUnits / static_cast<float>(std::max(2, std::max(pic.target.Width(), pic.target.Height())));
            // Its direction: the pixel's angles from the nose, turned upright by the bank.
            float u = (pic.target.x - senses::Width / 2) / FocalPixels, v = (senses::Height / 2 - pic.target.y) / FocalPixels;
            float across = u * std::cos(bank_) - v * std::sin(bank_), up = u * std::sin(bank_) + v * std::cos(bank_);
            targetHeading_ = Wrap(heading_ + std::atan(across) / std::max(0.5f, std::cos(pitch_)));
            targetElevation_ = pitch_ + std::atan(up);
            if (phase_ == Phase::Search || phase_ == Phase::Climb) Enter(Phase::Attack, t);
        }
    }

    // Dead reckoning: the nose swings across the wings by the pull; in a bank that turns
    // the heading. Speed as the scenery shows it.
    void Reckon(float dt, float t, bool horizonSeen) {
        if (phase_ == Phase::Briefing || dt <= 0) return;
        // What the hand is doing now: what was asked of it a reaction time ago.
        hand_.push_back({lastTime_, right_, pull_});
        while (hand_.size() > 1 && hand_[1][0] <= lastTime_ - 0.25f) hand_.pop_front();
        const float right = hand_.front()[1], pull = hand_.front()[2];
        float speed = phase_ == Phase::Roll ? std::min(CruiseSpeed, 20.0f * t) : CruiseSpeed;
        // Out of sight of the horizon, the wings roll as the stick holds them.
        if (!horizonSeen) bank_ = Wrap(bank_ + right * RollRadiansPerPixel * dt);
        // The pull swings the nose across the wings, the stick to the side yaws it a little
        // about the aircraft's own upright: both turn the heading as the bank shares them.
        float swing = pull * PullRadiansPerPixel, yaw = right * YawRadiansPerPixel;
        heading_ = Wrap(heading_ + (swing * std::sin(bank_) + yaw * std::cos(bank_)) * dt);
        float level = std::cos(pitch_);
        x_ += -std::sin(heading_) * speed * level * dt;
        z_ += std::cos(heading_) * speed * level * dt;
        if (phase_ != Phase::Roll) height_ += speed * std::sin(pitch_) * dt;
    }
};

}  // namespace
}  // namespace mind

int main() {
    std::ios::sync_with_stdio(false);
    senses::Hello hello;
    if (!std::cin.read(reinterpret_cast<char*>(&hello), sizeof hello) || hello.magic != senses::HelloMagic) return 1;
    mind::Pilot pilot(hello);
    auto look = std::make_unique<senses::Look>();
    while (true) {
        // A look's head first: an ended flight sends no frame.
        if (!std::cin.read(reinterpret_cast<char*>(look.get()), sizeof(uint32_t) * 2)) return 0;
        if (look->magic != senses::LookMagic) return 1;
        if (look->ended != 0) return 0;
        if (!std::cin.read(reinterpret_cast<char*>(look.get()) + sizeof(uint32_t) * 2, sizeof(senses::Look) - sizeof(uint32_t) * 2))
            return 0;
        senses::Hands hands = pilot.Decide(*look);
        std::cout.write(reinterpret_cast<const char*>(&hands), sizeof hands);
        std::cout.flush();
    }
}
