// kelvane-mind: the pilot's mind. It knows what a player is told (the keys, the take-off,
// roughly where the base lies, what the targets look like) and what it sees in each frame
// and hears; it answers each look with where the hand should hold the pointer and which
// keys are down (../senses.h). It runs in a process of its own and touches nothing else.
#include <algorithm>
#include <cmath>
#include <cstdint>
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
constexpr float CruiseSpeed = 430.0f;
constexpr float PullRadiansPerPixel = 0.21f / 15.0f;
constexpr float YawRadiansPerPixel = 0.0026f;
// The land ends this far from its middle, in hills some 1,200 above the base.
constexpr float LandEnd = 25000.0f;
constexpr float EdgeHills = 1200.0f;
// The zeppelin, 2,000 away, is some 30 pixels long; 700 away some 80.
constexpr float ZeppelinPixelUnits = 58000.0f;
// Where the shots go: below the nose, just over the cowl.
constexpr int AimX = senses::Width / 2, AimY = 250;

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

        if (phase_ != Phase::Briefing && now > playFrom_ + 1.0f) own_.Watch(look.rgb);
        Picture pic = Read(look.rgb, own_, mission_ == 2 ? Wanted::RedShape : Wanted::DarkShape, bank_);
        if (pic.horizonSeen) {
            bank_ = pic.bank;
            pitch_ = pic.pitch - HorizonDip();
        }
        Fly(pic, now, now - playFrom_);
        const float t = now - playFrom_;  // seconds of play, as it believes
        Reckon(dt, t);
        if (log_ && now >= nextLog_) {
            nextLog_ = now + 1.0f;
            std::cerr << "    mind t " << t << " phase " << static_cast<int>(phase_) << " horizon " << pic.horizonSeen
                      << (pic.skyOnly ? " sky" : "") << " fit " << pic.fit << " bank " << bank_ << " pitch " << pitch_
                      << " target " << pic.target.found << " " << pic.target.x << "," << pic.target.y << " "
                      << pic.target.Width() << "x" << pic.target.Height() << " stick " << right_ << "," << pull_
                      << " believed " << x_ << "," << z_ << " heading " << heading_ << " height " << height_
                      << " heard " << look.leftDb << "/" << look.rightDb << " pitch " << look.pitch << "\n";
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
    // The score line at the start of play: it changes when a target goes down.
    uint64_t scoreLine_ = 0;
    bool scoreKnown_ = false;

    // The horizon drawn is the land's end, which sinks below the level the higher the
    // aircraft flies and the nearer the end lies ahead (its hills stand some 1,200 above
    // the base): the nose's angle above it is that much more than above the level.
    float HorizonDip() const {
        float ahead = 1e9f;
        float dx = -std::sin(heading_), dz = std::cos(heading_);
        if (dx > 0.01f) ahead = std::min(ahead, (LandEnd - x_) / dx);
        if (dx < -0.01f) ahead = std::min(ahead, (-LandEnd - x_) / dx);
        if (dz > 0.01f) ahead = std::min(ahead, (LandEnd - z_) / dz);
        if (dz < -0.01f) ahead = std::min(ahead, (-LandEnd - z_) / dz);
        ahead = std::max(ahead, 2000.0f);
        return std::atan(std::max(0.0f, height_ - EdgeHills) / ahead);
    }

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
        float bank = Clamp(1.4f + 1.5f * (pitch_ - pitch), 1.0f, 1.55f);
        right_ = Clamp(100.0f * Wrap(bank * sideTurn_ - bank_), -100, 100);
        pull_ = 15.0f;
    }

    // Toward the target's pixel: roll it above the aim point, then pull it onto it.
    void Chase(const Picture& pic) {
        const Blob& b = pic.target;
        float dx = static_cast<float>(b.x - AimX), dy = static_cast<float>(b.y - AimY);
        if (std::fabs(dx) > 40.0f) {
            float wantBank = Clamp(dx * 0.004f, -0.7f, 0.7f);
            right_ = Clamp(90.0f * Wrap(wantBank - bank_), -100, 100);
            pull_ = Clamp(-0.2f * dy, -30, 40);
        } else {
            right_ = Clamp(-50.0f * bank_ + 0.4f * dx, -60, 60);
            pull_ = Clamp(-0.25f * dy, -30, 40);
        }
        // Never into the ground.
        if (pic.horizonSeen && pitch_ < -0.35f) pull_ = std::max(pull_, 30.0f);
    }

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
                Attitude(pic, 0.15f, 0.0f);
                if (t > 20.0f) Enter(Phase::Search, t);
                break;
            case Phase::Search:
                Throttle(9);
                // The void past the land's end ahead: round, away from it, for a half turn.
                if (pic.voidShare > 0.01f && now > awayUntil_) awayUntil_ = now + 18.0f;
                if (now < awayUntil_) {
                    Circle(pic, 0.08f);
                    break;
                }
                // Wide climbing circles sweep the sky around.
                // Near where the land ends (25,000 from its middle), back toward the middle.
                if (std::max(std::fabs(x_), std::fabs(z_)) > 18000.0f) {
                    float want = std::atan2(x_, -z_);
                    Head(pic, 0.5f * Wrap(want - heading_), 0.1f);
                } else {
                    Circle(pic, t < 60.0f ? 0.12f : 0.02f);  // a minute's climb: the zeppelins' heights
                }
                break;
            case Phase::Attack:
                if (!pic.target.found) {
                    // Slid under the cowl on the aim point, in range: that is where the shots go.
                    if (now - lastSeen_ < 0.5f && range_ < 800.0f && std::abs(lastX_ - AimX) < 40 &&
                        lastY_ > AimY - 30 && now - lastBurst_ > 1.4f) {
                        lastBurst_ = now;
                        burstUntil_ = now + 0.2f;
                    }
                    // Gone off the side: round after it, the way it went.
                    sideTurn_ = lastX_ < AimX ? -1 : 1;
                    if (now - lastSeen_ > 8.0f) Enter(Phase::Search, t);
                    else if (range_ < 400.0f) Enter(Phase::Break, t);
                    else Circle(pic, 0.1f);
                    break;
                }
                Chase(pic);
                Throttle(range_ < 3000.0f ? 4 : 9);
                if (range_ < 750.0f && std::fabs(pic.target.x - AimX) < 30 && std::fabs(pic.target.y - AimY) < 40 &&
                    now - lastBurst_ > 1.4f) {
                    lastBurst_ = now;
                    burstUntil_ = now + 0.2f;
                }
                if (range_ < 250.0f) Enter(Phase::Break, t);
                break;
            case Phase::Break:
                Throttle(9);
                Head(pic, 0.2f * sideTurn_, 0.15f);
                if (t - phaseFrom_ > 8.0f) Enter(Phase::Search, t);
                break;
            case Phase::Home: {
                Throttle(9);
                float want = std::atan2(-(HomeX - x_), HomeZ - z_);  // right of north positive
                float off = Wrap(want - heading_);
                float d = std::hypot(HomeX - x_, HomeZ - z_);
                Head(pic, d < 1500.0f ? 0.12f : 0.5f * off, 0.05f);
                break;
            }
        }
        if (now < burstUntil_) keys_ |= senses::KeySpace;
        if (pic.target.found && phase_ != Phase::Home) {
            lastSeen_ = now;
            lastX_ = pic.target.x;
            lastY_ = pic.target.y;
            range_ = ZeppelinPixelUnits / static_cast<float>(std::max(2, std::max(pic.target.Width(), pic.target.Height())));
            if (phase_ == Phase::Search || phase_ == Phase::Climb) Enter(Phase::Attack, t);
        }
        (void)scoreKnown_;
        (void)scoreLine_;
    }

    // Dead reckoning: the nose swings across the wings by the pull; in a bank that turns
    // the heading. Speed as the scenery shows it.
    void Reckon(float dt, float t) {
        if (phase_ == Phase::Briefing || dt <= 0) return;
        float speed = phase_ == Phase::Roll ? std::min(CruiseSpeed, 20.0f * t) : CruiseSpeed;
        // The pull swings the nose across the wings; the stick to the side yaws it a little.
        float swing = pull_ * PullRadiansPerPixel;
        heading_ = Wrap(heading_ + (swing * std::sin(bank_) + right_ * YawRadiansPerPixel) * dt);
        float level = std::cos(pitch_);
        x_ += -std::sin(heading_) * speed * level * dt;
        z_ += std::cos(heading_) * speed * level * dt;
        if (phase_ != Phase::Roll) height_ += speed * std::sin(pitch_ - 0.1f) * dt;
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
