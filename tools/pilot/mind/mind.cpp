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
#include <vector>

#include "../senses.h"
#include "ground.h"
#include "picture.h"
#include "score.h"

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
constexpr float PullRadiansPerPixel = 0.21f / 15.0f;
constexpr float YawRadiansPerPixel = 0.0026f;
constexpr float RollRadiansPerPixel = 0.0104f;
// The zeppelin, 2,000 away, is some 30 pixels long and 6 deep; 700 away some 80 long.
constexpr float ZeppelinDepthPixelUnits = 11600.0f;
// Where the shots go: between the nose and the way the aircraft flies, which at full
// throttle with a light hand on the stick is some 40 pixels below the window's middle,
// in the gap between the gun muzzles over the deck (where the tracers are seen to pass),
// at any bank out to 1 rad (steeper, see SteepFrom): that way lies in the aircraft's own
// frame, as the window does.
// Slower, it sinks below the deck: so the last stretch of an attack is flown at full
// throttle.
constexpr int AimX = senses::Width / 2 + 1, AimY = 279;
// Banked at all, the shots pass a few pixels toward the low wing (the aircraft slips
// that way), as far at 0.2 rad as at 1.
constexpr float ShotsSagPixels = 6.0f;
// Steeply banked, they pass higher in the window: from 1 rad of bank on, the target held
// at the aim point drew bursts 27-65 pixels over it, the more the steeper; held 60 higher
// on its side, the pull it took to hold it there sent them 45-59 under it. Halfway: 30
// higher on its side, rising from 1 rad.
constexpr float SteepFrom = 1.0f, SteepSpan = 0.6f, SteepRisePixels = 30.0f;
// Where an attack breaks off: the last burst pressed, and the flight path still bends
// wide of the hull.
constexpr float BreakRange = 550.0f;
// The nose's angle above the horizon that holds the approach's height, before the run in
// has shown it.
constexpr float FirstApproachPitch = 0.05f;
// The zeppelins hang some 4,500-9,000 up: the search flies among them. The land ends
// 25,000 from its middle each way. Level at full throttle, the nose is a little above the
// way it flies; circling at the search's heights, some 0.3 above what is asked.
constexpr float SearchHigh = 6000.0f;
constexpr float LandEnd = 25000.0f;
constexpr float LevelNose = 0.03f;
constexpr float CircleHoldsHigh = 0.25f;
// Where to look: the land's middle, then across the square where the targets are placed
// (within 15,000 of the middle each way), on the map a player is given.
constexpr int WaypointCount = 5;
constexpr float Waypoints[WaypointCount][2] = {{0, 0}, {-9000, -9000}, {9000, -9000}, {-9000, 9000}, {9000, 9000}};
// The tank's search: low over the fields, along legs 8,000 apart across the square, so
// that no point of it lies farther than some 7,000 from a leg, within its engine's
// hearing, and the legs stay off the hills toward the land's end even with the position
// some thousands out.
constexpr int HuntLegCount = 6;
constexpr float HuntLegs[HuntLegCount][2] = {{8000, 11000}, {8000, -11000}, {0, -11000}, {0, 11000}, {-8000, 11000}, {-8000, -11000}};
// The height over the fields to search at: the tank (7 long) covers 2 x 2 pixels only
// within some 1,200, and the window shows the ground down to 22 degrees below the level,
// so from 350 up it shows the ground from some 850 to 1,250 ahead.
constexpr float HuntHigh = 350.0f;
// The fields' flow, read from behind, gives the height a third high (median 1.35 times
// the truth on five flights, half of the readings within 1.1-1.7): taken as that.
constexpr float FlowReadsHigh = 1.35f;
// Where the shots go in a shallow dive at full throttle, from the pilot's seat.
constexpr int TankAimX = senses::Width / 2 + 2, TankAimY = 285;

float Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
float Wrap(float a) {
    while (a > Pi) a -= 2 * Pi;
    while (a < -Pi) a += 2 * Pi;
    return a;
}

// Hunt, Dive and PullOut are the tank's: low over the fields, down at it, and up again.
enum class Phase { Briefing, Roll, Rotate, Climb, Search, Attack, Break, Home, Hunt, Dive, PullOut };

class Pilot {
public:
    explicit Pilot(const senses::Hello& hello) : mission_(hello.mission), log_(hello.log != 0) {}

    senses::Hands Decide(const senses::Look& look) {
        senses::Hands hands;
        const float now = look.timeMs / 1000.0f;
        const float dt = lastTime_ < 0 ? 0.0f : now - lastTime_;
        lastTime_ = now;
        now_ = now;
        dt_ = dt;
        keys_ = throttleKey_;
        throttleKey_ = 0;
        heldRight_ = right_;
        heldPull_ = pull_;
        right_ = 0;
        pull_ = 0;

        // Its own aircraft's shape is learnt in the first looks, then only kept up to date.
        ++looks_;
        // Looking from behind (the tank's search), the aircraft's own shape there is another.
        OwnAircraft& own = behind_ ? ownBehind_ : own_;
        if (phase_ != Phase::Briefing && now > playFrom_ + 1.0f && now > viewFrom_ + 0.5f && (!own.Settled() || looks_ % 4 == 0)) {
            own.Watch(look.rgb, mission_ == 2 ? Wanted::RedShape : Wanted::DarkShape);
            if (mission_ == 1) (behind_ ? paleBehind_ : pale_).Watch(look.rgb);
        }
        Track track;
        if (phase_ == Phase::Attack && now - lastSeen_ < 1.0f) {
            track.on = true;
            track.x = lastX_ + static_cast<int>(driftX_ * (now - lastSeen_));
            track.y = lastY_ + static_cast<int>(driftY_ * (now - lastSeen_));
            track.reach = std::max(30, lastSize_);
        }
        Picture pic = Read(look.rgb, own, mission_ == 2 ? Wanted::RedShape : Wanted::DarkShape, bank_, track);
        if (pic.horizonSeen) {
            bank_ = pic.bank;
            pitch_ = pic.pitch;
        }
        Listen(look);
        look_ = look.rgb;
        if (mission_ == 1) LookForTank(pic, own, now);
        Fly(pic, now, now - playFrom_);
        const float t = now - playFrom_;  // seconds of play, as it believes
        Reckon(dt, t, pic.horizonSeen);
        // Every look in the last stretch of an attack or with the tank in sight, else once a
        // second.
        const bool closeIn = (phase_ == Phase::Attack && range_ < 2500.0f) || tankNow_.found || tankSightings_ > 0 || phase_ == Phase::Dive;
        if (log_ && (now >= nextLog_ || closeIn)) {
            nextLog_ = now + (closeIn ? 0.0f : 1.0f);
            std::cerr << "    mind t " << t << " phase " << static_cast<int>(phase_) << " pass " << passes_ << " horizon " << pic.horizonSeen
                      << (pic.skyOnly ? " sky" : "") << " fit " << pic.fit << " bank " << bank_ << " pitch " << pitch_
                      << " target " << pic.target.found << " " << pic.target.x << "," << pic.target.y << " "
                      << pic.target.Width() << "x" << pic.target.Height() << " range " << range_
                      << (now < burstUntil_ ? " FIRE" : "") << " stick " << right_ << "," << pull_
                      << " aim " << AimPointX() << "," << AimPointY() << " believed " << x_ << "," << z_ << " heading " << heading_ << " height " << height_
                      << " heard " << look.leftDb << "/" << look.rightDb << " lean " << side_ << " pitch " << look.pitch;
            if (mission_ == 1)
                std::cerr << " ground " << groundHigh_ << (now - flowAt_ < 0.5f ? " flow" : "") << " loud " << loud_
                          << " tank " << tankNow_.found << " " << tankNow_.x << "," << tankNow_.y << " " << tankNow_.Width() << "x"
                          << tankNow_.Height() << " sightings " << tankSightings_ << " last " << tankLastX_ << "," << tankLastY_ << " fixed " << tankFixed_ << " at " << tankMapX_
                          << "," << tankMapZ_ << " slant " << tankSlant_ << " ear " << static_cast<int>(earStage_);
            std::cerr << "\n";
        }

        hands.keys = keys_;
        hands.pointerX = senses::Width / 2 + static_cast<int>(std::lround(Clamp(right_, -200, 200)));
        hands.pointerY = senses::Height / 2 + static_cast<int>(std::lround(Clamp(pull_, -160, 160)));
        if (mission_ == 1) {
            // The tank counts as seen only once it shows as a shape of 2 x 2 pixels or more.
            if (tankNow_.found && tankNow_.Width() >= 2 && tankNow_.Height() >= 2) {
                hands.seen = 1;
                hands.seenX = tankNow_.x;
                hands.seenY = tankNow_.y;
            }
        } else if (phase_ != Phase::Briefing && pic.target.found && own_.Learned()) {
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
    float now_ = 0, dt_ = 0;
    float steadyAt_ = -100, steadyRight_ = 0, steadyPull_ = 0;
    // The aim point: where the target is held. It moves by where the tracers are seen to
    // pass beside the target's middle, so the target is held where the shots go.
    float aimX_ = AimX, aimY_ = AimY;
    float burstFrom_ = -100;
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
    float awayUntil_ = -1, awayHeading_ = 0;
    float sightingAt_ = -100;
    float glimpseAt_ = -100, glimpseHeading_ = 0;
    int sightingX_ = 0, sightingY_ = 0, sightings_ = 0;
    int lastX_ = 0, lastY_ = 0, lastSize_ = 0;
    // How fast its middle moves across the window (pixels a second), smoothed over looks:
    // the hand acts a reaction time late, so the aim is where it will be by then.
    float driftX_ = 0, driftY_ = 0, driftAt_ = -100;
    int sideTurn_ = 1;
    std::deque<std::array<float, 3>> hand_;  // (time, right, pull) asked of the hand
    // Where it last saw the target: its heading on the map, its angle above the nose and
    // above the horizon.
    float targetHeading_ = 0, targetAbove_ = 0, targetPitch_ = 0;
    // Where it was last seen from close enough to judge its range, on the map as the mind
    // reckons it, and the nose's angle above the horizon on that approach: a pass that
    // misses goes out, turns and comes back to it at that height.
    float targetX_ = 0, targetZ_ = 0, approachPitch_ = FirstApproachPitch;
    bool targetFixed_ = false;
    float circleUntil_ = -100;
    int passes_ = 0, emptyPasses_ = 0;
    float side_ = 0;  // the lean of what it hears, right ear minus left, in dB
    int waypoint_ = 0;
    // The tank's search and attack. The own aircraft's shape in the delayed view (Page Up,
    // from just behind it, which hides far less of the ground ahead than the seat does).
    OwnAircraft ownBehind_;
    OftenPale pale_, paleBehind_;  // for each view
    bool behind_ = false, behindWanted_ = false;
    float viewFrom_ = -100, viewPressed_ = -100;
    // The last few looks, for the fields' flow: the higher it flies, the slower they flow,
    // so the farther back the look it is matched against.
    static constexpr int Kept = 5;
    struct KeptLook {
        std::vector<uint8_t> rgb;
        Picture pic;
        bool behind = false;
        float at = -100;
    };
    KeptLook kept_[Kept];
    long keptCount_ = 0;
    // The height over the ground, from the fields' flow, reckoned on between its readings.
    float groundHigh_ = 300, flowAt_ = -100;
    float loud_ = -100;  // both ears, smoothed
    // The tank as seen this look (when held over looks), and where it lies on the map.
    Blob tankNow_;
    int tankSightings_ = 0, tankLastX_ = 0, tankLastY_ = 0;
    float tankFirstBelow_ = 0;
    float tankSeenAt_ = -100, tankSlant_ = 1e9f, tankMapX_ = 0, tankMapZ_ = 0;
    bool tankFixed_ = false, outbound_ = false;
    int fixPasses_ = 0;  // passes over where it was seen, since it was first seen
    int huntLeg_ = 0;
    bool huntTurning_ = false;
    // Following a lean: on past it, round toward its side, and the straight run after.
    enum class EarStage { None, On, Round, Run };
    EarStage earStage_ = EarStage::None;
    int earSide_ = 1;
    float earFrom_ = 0, earTurned_ = 0, earHeading_ = 0, earLastHeading_ = 0;
    float tankDriftX_ = 0, tankDriftY_ = 0;
    float tankAcross_ = 0;  // its direction off the nose when last seen, right positive
    // The score line at the start of play: it changes when a target goes down.
    uint64_t scoreLine_ = 0;
    bool scoreKnown_ = false;
    const uint8_t* look_ = nullptr;

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
    // Past the target or about to meet it: away from the side it was on.
    void BreakAway(float t) {
        TurnAwayFromTarget();
        Enter(Phase::Break, t);
    }
    // Its map point and glimpses no longer to be trusted: searched for afresh, first in
    // circles where it is for a while when it is likely near (circleFor seconds).
    void LoseTarget(float t, float circleFor = 0.0f) {
        circleUntil_ = now_ + circleFor;
        targetFixed_ = false;
        emptyPasses_ = 0;
        glimpseAt_ = -100;
        range_ = 1e9f;
        Enter(Phase::Search, t);
    }
    // The side to pull away to (sideTurn_): away from where the target last showed.
    void TurnAwayFromTarget() { sideTurn_ = lastX_ < AimPointX() ? 1 : -1; }

    // Up and away to the side (sideTurn_), off a target close ahead. Not so far up that
    // it stalls and spins: with the nose well up over the horizon, a gentle pull. With
    // only sky in sight a firm one all the same: it is climbing at the target, and would
    // ram it.
    void PullAway(const Picture& pic) {
        right_ = Clamp(100.0f * RollTo(0.6f * sideTurn_), -100, 100);
        pull_ = pic.horizonSeen && pitch_ > 0.35f ? 12.0f : 35.0f;
    }

    // How far to roll to a bank: back the way it came, not on through being upside down,
    // unless it is upside down already.
    float RollTo(float bank) const { return std::fabs(bank_) > 2.5f ? Wrap(bank - bank_) : bank - bank_; }

    // Wings and nose toward a bank and an angle above the horizon, by the horizon.
    void Attitude(const Picture& pic, float pitch, float bank) {
        if (Lost(pic)) return;
        right_ = Clamp(110.0f * RollTo(bank), -120, 120);
        pull_ = Clamp(80.0f * (pitch - pitch_) / std::max(0.5f, std::cos(bank_)), -60, 60);
        // A bank alone does not turn it, the pull does; and in a bank a push turns it away
        // from where the bank leans. So banked, it always pulls a little: unless the nose is
        // well above where it is wanted, when that pull only climbs it on out of sight of the
        // horizon (and over the zeppelins).
        if (std::fabs(bank_) > 0.3f && pitch_ < pitch + 0.1f) pull_ = std::max(pull_, 7.0f);
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

    // A steady circle: only with the wings near upright does a pull mostly turn, so the
    // wings go well over with a steady pull, a little less over when the nose sinks. The
    // nose is kept low enough that the horizon shows beside the lower wing.
    void Circle(const Picture& pic, float pitch) {
        if (Lost(pic)) return;
        // Nose too high: the wings past upright and a softer pull bring it down.
        float bank = Clamp(1.4f + 1.5f * (pitch_ - pitch), 1.0f, 1.85f);
        right_ = Clamp(100.0f * RollTo(bank * sideTurn_), -100, 100);
        pull_ = Clamp(15.0f - 25.0f * (pitch_ - pitch), 6.0f, 18.0f);
    }

    // Toward the target's pixel: roll it above the aim point, then pull it onto it.
    void Chase(const Picture& pic, int x, int y) {
        float dx = x - AimPointX(), dy = y - AimPointY();
        if (!pic.horizonSeen && !pic.target.found) {
            Lost(pic);
            return;
        }
        if (std::fabs(bank_) > 1.7f) {
            // Steeply over: level the wings before chasing on, or it ends on its back.
            right_ = Clamp(-80.0f * bank_, -100, 100);
            pull_ = 0;
            return;
        }
        const float r = std::hypot(dx, dy);
        if (r < 120.0f) {
            Steady(dx, dy, dt_, pic.horizonSeen);
        } else {
            // Off the aim point: its angles across and up from it, turned upright by the
            // bank; then a turn and a climb (or a dive) toward it, shared out by the bank
            // as any turn is: the pull turns it, the wings lean the pull.
            float u = dx / FocalPixels, v = -dy / FocalPixels;
            float across = u * std::cos(bank_) + v * std::sin(bank_), up = v * std::cos(bank_) - u * std::sin(bank_);
            // Firmer close in: there it moves fast in the window as it nears, and a
            // zeppelin crossing ahead moves across the sky faster than a gentle turn follows.
            const float k = range_ < 1500.0f ? 3.5f : 1.5f, most = range_ < 2000.0f ? 0.6f : 0.35f;
            float turnRate = Clamp(k * across, -most, most), pitchRate = Clamp(k * up, -0.3f, 0.3f);
            // Mostly below the way it flies: the wings near level, leaning only as far as it
            // lies to the side, and the nose pushed down to it. (Banked toward it, the pull
            // would climb away and only swing it round the window.)
            const bool below = up < 0 && -up > std::fabs(across);
            float bank = below ? std::atan2(-turnRate, -pitchRate + 0.08f) : std::atan2(turnRate, std::max(pitchRate, 0.0f) + 0.08f);
            bank = Clamp(bank, -1.3f, 1.3f);
            float pull = turnRate * std::sin(bank_) + pitchRate * std::cos(bank_);
            right_ = Clamp(90.0f * RollTo(bank), -100, 100);
            pull_ = Clamp(pull / PullRadiansPerPixel, -30, 35);
        }
        // Never into the ground, nor so steep up that the horizon goes out of sight under
        // the deck: with only sky to see, the wings' tilt is lost (unless the target is in
        // sight, to be steered by). Close in and on the aim point it may, for the moment of
        // the shot. Above the aim point it is higher than the way it flies: a climb at it
        // may be as steep as the nose can hold without losing speed.
        bool aiming = range_ < 1200.0f && std::fabs(dx) < 60.0f && std::fabs(dy) < 60.0f;
        if (pic.horizonSeen && pitch_ < -0.35f) pull_ = std::max(pull_, 30.0f);
        if (pic.horizonSeen && pitch_ > (aiming || dy < -20.0f ? 0.5f : 0.3f)) pull_ = std::min(pull_, 0.0f);
        if (!pic.horizonSeen && pic.skyOnly && !aiming && !pic.target.found) pull_ = std::min(pull_, -10.0f);
    }

    // On the aim point or near it: small moves in the window's own frame, toward where
    // the middle will be when the hand acts. A pull moves the target down the window
    // whatever the bank; the stick to the side yaws the nose across toward it and leans
    // the wings its way, and the wings are taken back toward level all the while.
    // Yaw and roll come together, so each pixel the target is brought across costs a
    // hundredth of a radian of bank, and taking the wings back to level swings the nose
    // away from it again: what the stick has had to hold is learnt as it goes and may
    // outweigh the levelling, or the target stays off to the side the whole run in. The
    // bank is what the run in leaves; the aim point sags with it (AimPointX). With only
    // sky in sight the bank is only reckoned, and levels it less.
    void Steady(float dx, float dy, float dt, bool horizonSeen) {
        // What the stick has had to hold lately is kept (a person's feel for the turn).
        if (now_ - steadyAt_ > 1.0f) steadyRight_ = steadyPull_ = 0;
        steadyAt_ = now_;
        steadyRight_ = Clamp(steadyRight_ + 1.2f * dx * dt, -60, 60);
        steadyPull_ = Clamp(steadyPull_ - 0.4f * dy * dt, -12, 12);
        const float level = horizonSeen ? 40.0f : 15.0f;
        right_ = Clamp(0.7f * dx + 0.15f * driftX_ + steadyRight_ - level * bank_, -45, 45);
        pull_ = Clamp(-0.25f * dy - 0.08f * driftY_ + steadyPull_ + 4.0f * std::fabs(std::sin(bank_)), -25, 25);
    }

    // In a bank the shots pass a little toward the low wing; as far below the middle as
    // wings level out to 1 rad, higher beyond.
    float AimPointX() const { return aimX_ + ShotsSagPixels * Clamp(bank_ / 0.2f, -1.0f, 1.0f); }
    float AimPointY() const { return aimY_ - SteepRisePixels * Clamp((std::fabs(bank_) - SteepFrom) / SteepSpan, 0.0f, 1.0f); }

    // Where the middle will be when a press now reaches the trigger, from the aim point.
    float AimOff(const Blob& b, bool across) const {
        const float lead = 0.3f;
        return across ? b.x + driftX_ * lead - AimPointX() : b.y + driftY_ * lead - AimPointY();
    }

    // The tracers: small bright yellow points near the target while a burst flies. Their
    // middle, from the target's, is how far the shots pass beside it.
    void WatchTracers(const Blob& b) {
        const int reach = std::max(40, 2 * std::max(b.Width(), b.Height()));
        long sx = 0, sy = 0, n = 0;
        for (int y = std::max(0, b.y - reach); y < std::min(senses::Height, b.y + reach); ++y)
            for (int x = std::max(0, b.x - reach); x < std::min(senses::Width, b.x + reach); ++x) {
                const uint8_t* p = look_ + 3 * (y * senses::Width + x);
                if (p[0] > 220 && p[1] > 190 && p[2] < 150) {
                    sx += x;
                    sy += y;
                    ++n;
                }
            }
        if (n < 2 || n > 400) return;
        float offX = static_cast<float>(sx) / n - b.x, offY = static_cast<float>(sy) / n - b.y;
        // (Climbing at a target above, the shots head as much as 70 higher than in level
        // flight: the nose then leads the way it flies.)
        aimX_ = Clamp(aimX_ + 0.4f * offX, AimX - 30.0f, AimX + 30.0f);
        aimY_ = Clamp(aimY_ + 0.5f * offY, AimY - 70.0f, AimY + 30.0f);
    }

    // The bearing (right of the nose's heading positive, the way the heading turns) from
    // where it believes it is to a point on the map.
    float BearingTo(float x, float z) const { return std::atan2(-(x - x_), z - z_); }

    // Toward a heading at an angle above the horizon: far off it, round in a steep circle
    // (only that turns); near it, a gentle bank and the pitch held. At the search's heights
    // a circle holds the nose some 0.3 above what it is asked, and would climb on over a
    // zeppelin below: it is asked that much less. (The Vornhald's search climbs on: it flies
    // higher than any zeppelin.)
    void Steer(const Picture& pic, float off, float pitch) {
        if (std::fabs(off) > 0.35f) {
            sideTurn_ = off > 0 ? 1 : -1;
            // (Coming round after a dive at a zeppelin below, the nose is not asked below
            // the search's: a circle asked to dive spirals on down into the fields.)
            if (mission_ == 0) pitch = std::max(pitch, SearchPitch());
            Circle(pic, mission_ == 2 ? pitch : pitch - CircleHoldsHigh);
            return;
        }
        Attitude(pic, pitch, Clamp(2.0f * off, -0.7f, 0.7f));
    }

    // Hearing: the own engine sounds in both ears alike, so a steady lean to one side is
    // another engine (the target's, or near the base the siren) on that side.
    void Listen(const senses::Look& look) {
        if (look.leftDb == senses::Silent || look.rightDb == senses::Silent) return;
        float lean = static_cast<float>(look.rightDb - look.leftDb);
        side_ += 0.04f * (lean - side_);
        float both = 0.5f * (look.rightDb + look.leftDb);
        loud_ = loud_ < -99.0f ? both : loud_ + 0.04f * (both - loud_);
    }

    // How far ahead the land ends, from where it believes it is (that belief is some
    // thousands out: so never taken as very near or very far).
    float EndAhead() const {
        const float ex = -std::sin(heading_), ez = std::cos(heading_);
        float d = 1e9f;
        if (std::fabs(ex) > 1e-3f) d = std::min(d, ((ex > 0 ? LandEnd : -LandEnd) - x_) / ex);
        if (std::fabs(ez) > 1e-3f) d = std::min(d, ((ez > 0 ? LandEnd : -LandEnd) - z_) / ez);
        return Clamp(d, 12000.0f, 40000.0f);
    }

    // The nose's angle above the horizon it sees. The horizon drawn is the land's end,
    // which sinks below the level the higher it flies, by as much as the end some
    // SearchHigh below would: held so, it levels off near that height, where the
    // zeppelins hang, rather than over them. (Higher, most show far below the nose,
    // under the deck, against the fields.) The Vornhald's search climbs on.
    float SearchPitch() const {
        if (mission_ == 1) return 0.0f;
        if (mission_ == 2) return 0.12f;
        return std::atan(SearchHigh / EndAhead()) + LevelNose;
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
                // Straight out, then climbing circles over the base until high enough.
                if (t < 20.0f) {
                    Attitude(pic, 0.15f, 0.0f);
                } else {
                    sideTurn_ = 1;
                    Circle(pic, 0.25f);
                }
                // The tank's search looks from behind, which it learns to know on the climb.
                if (mission_ == 1 && t > 12.0f) WantView(true, now);
                if (mission_ == 1 && t > 16.0f) Enter(Phase::Hunt, t);
                else if (t > 60.0f) Enter(Phase::Search, t);
                break;
            case Phase::Search: {
                Throttle(9);
                float x = Waypoints[waypoint_][0], z = Waypoints[waypoint_][1];
                // Reached (within a circle's width, or it would circle it for ever): the next.
                if (std::hypot(x - x_, z - z_) < 3000.0f) waypoint_ = (waypoint_ + 1) % WaypointCount;
                float off = Wrap(BearingTo(x, z) - heading_);
                // The void past the land's end ahead: turn back the way it came, whatever
                // it believes of where it is (that belief is what brought it here).
                if (pic.voidShare > 0.01f && now > awayUntil_) {
                    awayUntil_ = now + 20.0f;
                    awayHeading_ = Wrap(heading_ + Pi);
                    waypoint_ = (waypoint_ + 1) % WaypointCount;
                }
                if (now < awayUntil_) off = Wrap(awayHeading_ - heading_);
                // The Vornhald comes for you: wait for it in wide circles near the base,
                // watching for the red shape, rather than fly away from it.
                else if (mission_ == 2) off = 0.6f * sideTurn_;
                else if (now - glimpseAt_ < 20.0f) off = Wrap(glimpseHeading_ - heading_);
                else if (now < circleUntil_) off = 0.6f * sideTurn_;
                Steer(pic, off, SearchPitch());
                break;
            }
            case Phase::Attack: {
                const bool seenNow = pic.target.found;
                if (!seenNow && range_ < 500.0f && now - lastSeen_ > 0.3f) {
                    // Gone under the deck close in: past it, or about to be.
                    BreakAway(t);
                    break;
                }
                if (now - lastSeen_ > 60.0f) {
                    LoseTarget(t);
                    break;
                }
                // Full throttle: the shots then go where the aim point says (slower, the
                // aircraft sinks and they pass under the target).
                Throttle(9);
                // (Within some 2,500 it is chased by its pixel wherever it shows: the map's
                // bearing is too coarse for the last stretch.)
                bool near = seenNow ? (range_ < 2500.0f || (std::abs(pic.target.x - AimX) < 200 && std::abs(pic.target.y - AimY) < 170)) &&
                                          targetAbove_ < 0.3f
                                    : now - lastSeen_ < 0.6f;
                if (near) {
                    Chase(pic, seenNow ? pic.target.x : lastX_, seenNow ? pic.target.y : lastY_);
                } else if (seenNow && targetAbove_ > 0.3f) {
                    // Well above the nose: climbing circles, looked for each time round.
                    sideTurn_ = Wrap(targetHeading_ - heading_) > 0 ? 1 : -1;
                    Circle(pic, 0.3f);
                } else if (targetFixed_ && !seenNow) {
                    // Out of sight: back to where it was seen, at the approach's height.
                    float dx = targetX_ - x_, dz = targetZ_ - z_;
                    if (std::hypot(dx, dz) < 700.0f && now - lastSeen_ > 3.0f) {
                        // Where it should be and not there: out again for a longer run in;
                        // not there twice, the map point is wrong: searched for afresh.
                        if (++emptyPasses_ >= 2) {
                            LoseTarget(t);
                            break;
                        }
                        BreakAway(t);
                        break;
                    }
                    Steer(pic, Wrap(BearingTo(targetX_, targetZ_) - heading_), approachPitch_);
                } else {
                    // The nose at it: its angle above the horizon it saw, diving if below;
                    // out of sight for long, not on down into the ground after it, but at
                    // the approach's height.
                    const float pitch = now - lastSeen_ < 3.0f ? Clamp(targetPitch_, -0.4f, 0.25f) : approachPitch_;
                    Steer(pic, Wrap(targetHeading_ - heading_), pitch);
                }
                // Only a shot within some 22 of its middle brings it down, and only while its
                // burst lives (some 1.1 s: the first shot out to some 900, the last to some
                // 500). Shots cost nothing: so from where a burst's last shot still reaches
                // it (some 650, as its depth reads it) the trigger is held whenever the
                // middle is on the aim point, burst after burst. (A burst pressed off the
                // aim holds the gun busy for the next 1.1 s: so only on it.)
                if (seenNow && range_ < 650.0f) {
                    float tolerance = Clamp(0.7f * 22.0f / range_ * FocalPixels, 8.0f, 25.0f);
                    if (std::hypot(AimOff(pic.target, true), AimOff(pic.target, false)) < tolerance) {
                        if (now - lastBurst_ > 1.5f) burstFrom_ = now;
                        lastBurst_ = now;
                        burstUntil_ = now + 0.25f;
                    }
                }
                // The burst's shots out among the target's range: where they pass.
                if (seenNow && now - burstFrom_ > 0.4f && now - burstFrom_ < 1.2f) WatchTracers(pic.target);
                // (The first shots of a burst pressed at 650 are out by then; some 400 from the
                // hull, the flight path bends too slowly to miss it.)
                if (range_ < BreakRange) BreakAway(t);
                break;
            }
            case Phase::Break: {
                // Up and away to the side, not to meet it; then straight out until far
                // enough for a long steady run in, and round again to where it was.
                Throttle(9);
                const float since = t - phaseFrom_;
                const float away = targetFixed_ ? std::hypot(targetX_ - x_, targetZ_ - z_) : 0.0f;
                if (since < 2.0f) {
                    PullAway(pic);
                } else if (since < 4.0f || (targetFixed_ && away < 2200.0f && since < 14.0f)) {
                    Attitude(pic, approachPitch_, 0.0f);
                } else {
                    float off = targetFixed_ ? Wrap(BearingTo(targetX_, targetZ_) - heading_) : 0.6f * sideTurn_;
                    Steer(pic, off, approachPitch_);
                    if (std::fabs(off) < 0.3f || since > 40.0f) {
                        // The last range read was close in: none is known until it shows.
                        ++passes_;
                        range_ = 1e9f;
                        Enter(Phase::Attack, t);
                    }
                }
                break;
            }
            case Phase::Hunt:
                Hunt(pic, now, t);
                break;
            case Phase::Dive:
                Dive(pic, now, t);
                break;
            case Phase::PullOut:
                PullOut(pic, now, t);
                break;
            case Phase::Home: {
                Throttle(9);
                // Just after the kill the wreck is close ahead: up and away from it first, as
                // from a pass.
                if (t - phaseFrom_ < 2.0f) {
                    PullAway(pic);
                    break;
                }
                // At the search's height: the horizon's level is below the level up there,
                // and the nose held on it would take it down into the ground.
                float off = Wrap(BearingTo(HomeX, HomeZ) - heading_);
                Steer(pic, off, SearchPitch());
                break;
            }
        }
        if (now < burstUntil_) keys_ |= senses::KeySpace;
        // The score line in the window's bottom-left corner reads the mission's name until
        // a target goes down; then the score.
        uint64_t line = ScoreLineShape(look_);
        if (phase_ != Phase::Briefing && t > 2.0f && !scoreKnown_) {
            scoreLine_ = line;
            scoreKnown_ = true;
        }
        bool changed = line != scoreLine_;
        // Changed just after its own burst, to no minus: the target is down. Changed otherwise,
        // or to a minus: it was itself shot down or rammed (a point off), and goes on from
        // the new line.
        if (scoreKnown_ && changed && phase_ != Phase::Home && t > 20.0f) {
            if (now - lastBurst_ < 2.5f && !ScoreShowsMinus(look_)) {
                TurnAwayFromTarget();
                Enter(Phase::Home, t);
            } else {
                // Shot down: spun round and round, it no longer knows where it is, nor
                // where the target was, only that it is near (its gun reaches some 500).
                scoreLine_ = line;
                if (phase_ == Phase::Attack || phase_ == Phase::Break) LoseTarget(t, 120.0f);
            }
        }
        if (pic.target.found && phase_ != Phase::Home && mission_ != 1) {
            if (now - driftAt_ < 0.3f && now > driftAt_ && std::abs(pic.target.x - lastX_) < 40 &&
                std::abs(pic.target.y - lastY_) < 40) {
                float gap = now - driftAt_;
                driftX_ += 0.4f * ((pic.target.x - lastX_) / gap - driftX_);
                driftY_ += 0.4f * ((pic.target.y - lastY_) / gap - driftY_);
            } else {
                driftX_ = driftY_ = 0;
            }
            driftAt_ = now;
            lastSeen_ = now;
            lastX_ = pic.target.x;
            lastY_ = pic.target.y;
            lastSize_ = std::max(pic.target.Width(), pic.target.Height());
            // Its range by its depth, which shows from any side (its length does not,
            // end on), taken across the hull however it lies in the window.
            // (A speck's spread says little: there its box does.)
            const float box = static_cast<float>(std::min(pic.target.Width(), pic.target.Height()));
            range_ = ZeppelinDepthPixelUnits / std::max(1.0f, box >= 12.0f ? std::min(pic.target.thickness, box) : box);
            // Its direction: the pixel's angles from the nose, turned upright by the bank.
            float u = (pic.target.x - senses::Width / 2) / FocalPixels, v = (senses::Height / 2 - pic.target.y) / FocalPixels;
            // (The right wing down turns the world the other way in the window: the level
            // to the right then shows up and to the right, the up to the left.)
            float across = u * std::cos(bank_) + v * std::sin(bank_), up = v * std::cos(bank_) - u * std::sin(bank_);
            targetHeading_ = Wrap(heading_ + std::atan(across) / std::max(0.5f, std::cos(pitch_)));
            targetAbove_ = std::atan(up);
            targetPitch_ = pitch_ + targetAbove_;
            // (Only close in does its depth span enough pixels to judge the range by.)
            if (range_ < 1500.0f && phase_ == Phase::Attack) {
                const float flat = range_ * std::cos(targetAbove_ + pitch_);
                targetX_ = x_ - std::sin(targetHeading_) * flat;
                targetZ_ = z_ + std::cos(targetHeading_) * flat;
                targetFixed_ = true;
                // Closing on it near the aim point: the nose's angle that holds its height.
                if (range_ < 1500.0f && std::fabs(pic.target.y - AimPointY()) < 40.0f)
                    approachPitch_ += 0.1f * (Clamp(pitch_, -0.1f, 0.25f) - approachPitch_);
            }
            // A speck seen once may be anything; one that stays where it was, look after
            // look, is there.
            bool steady = now - sightingAt_ < 0.5f && std::abs(pic.target.x - sightingX_) < 40 &&
                          std::abs(pic.target.y - sightingY_) < 40;
            sightings_ = steady ? sightings_ + 1 : 1;
            emptyPasses_ = 0;
            sightingAt_ = now;
            sightingX_ = pic.target.x;
            sightingY_ = pic.target.y;
            if (mission_ != 1 && (phase_ == Phase::Search || phase_ == Phase::Climb) && sightings_ >= 3) Enter(Phase::Attack, t);
            // A speck glimpsed: looked at again, the nose its way, even if it did not stay.
            glimpseAt_ = now;
            glimpseHeading_ = targetHeading_;
        }
    }


    // ---- the tank ----------------------------------------------------------------------

    float Speed() const { return Clamp(465.0f - 180.0f * pitch_, 300.0f, 480.0f) * (throttle_ >= 9 ? 1.0f : 0.85f); }

    // The view wanted: a key press, carried out a reaction time later; pressed again now and
    // then, since being shot down changes the view.
    void WantView(bool behind, float now) {
        if (behind != behindWanted_ || now - viewPressed_ > 3.0f) {
            behindWanted_ = behind;
            viewPressed_ = now;
            keys_ |= behind ? senses::KeyPageUp : senses::KeyHome;
        }
        if (behind_ != behindWanted_ && now - viewPressed_ > 0.35f) {
            behind_ = behindWanted_;
            viewFrom_ = now;
        }
    }

    // Pixels below the horizon's line (positive below), as the picture reads it.
    static float Below(const Picture& pic, float x, float y) {
        float ux = -std::sin(pic.bank), uy = -std::cos(pic.bank), line = -std::tan(pic.pitch) * FocalPixels;
        return line - ((x - senses::Width / 2) * ux + (y - senses::Height / 2) * uy);
    }

    // Each look low over the fields: the height from their flow, then the small grey shape.
    void LookForTank(const Picture& pic, const OwnAircraft& own, float now) {
        const bool low = phase_ == Phase::Hunt || phase_ == Phase::Dive || phase_ == Phase::PullOut;
        if (!low) {
            tankNow_ = Blob{};
            return;
        }
        groundHigh_ += Speed() * std::sin(pitch_) * dt_;
        // The look just before first; when that says high (the flow there is a pixel or
        // two), two and four looks back, where it has flowed farther.
        for (int back = 1; back <= 4 && keptCount_ >= back; back *= 2) {
            const KeptLook& then = kept_[(keptCount_ - back) % Kept];
            const float gap = now - then.at;
            // The wings as steady between the two as the flow asks.
            if (then.behind != behind_ || gap > 0.12f * back || now - viewFrom_ < 0.1f * back + 0.1f ||
                std::fabs(then.pic.bank - pic.bank) > 0.06f)
                break;
            Flow f = GroundFlow(then.rgb.data(), then.pic, look_, pic, gap, own);
            float high = f.secondsHigh * Speed() / FlowReadsHigh;
            // High up, a look's flow may be too small to read at all: farther back then.
            if (!f.known || high < 20.0f || high > 3000.0f) continue;
            if (back > 1 && high < 250.0f * back) break;
            groundHigh_ += 0.35f * (high - groundHigh_);
            flowAt_ = now;
            if (high < 250.0f * 2 * back) break;
        }
        KeptLook& keep = kept_[keptCount_ % Kept];
        keep.rgb.assign(look_, look_ + senses::FrameBytes);
        keep.pic = pic;
        keep.behind = behind_;
        keep.at = now;
        ++keptCount_;

        tankNow_ = Blob{};
        if (!own.Learned() || now - viewFrom_ < 0.3f) return;
        // Not over the base: its runway and hangar are pale too.
        if (std::hypot(x_ - HomeX, z_ - HomeZ) < 2500.0f) return;
        // Searching, only from behind (the seat hides the ground ahead).
        if (phase_ != Phase::Dive && !behind_) return;
        Blob b = FindGroundShape(look_, pic, own, behind_ ? paleBehind_ : pale_, 60);
        if (!b.found) {
            if (now - tankSeenAt_ > 0.35f) tankSightings_ = 0;
            return;
        }
        // Its direction from the nose, turned upright by the bank, and its range from the
        // height and how far below the horizon it shows.
        float u = (b.x - senses::Width / 2) / FocalPixels, v = (senses::Height / 2 - b.y) / FocalPixels;
        float across = std::atan(u * std::cos(bank_) + v * std::sin(bank_));
        float below = std::atan(Below(pic, b.x + 0.5f, b.y + 0.5f) / FocalPixels);
        if (below < 0.02f) return;
        // From behind, the own aircraft shows where it is going, in the window's middle near
        // the horizon's line (a little below it when the nose goes down); the tank within
        // reach lies well below the line.
        if (behind_ && (below < 0.12f || (std::abs(b.x - senses::Width / 2) < 130 && b.y < 360))) return;
        // Near where it was: the same thing, seen again.
        bool again = now - tankSeenAt_ < 0.35f && std::abs(b.x - tankLastX_) < 40 && std::abs(b.y - tankLastY_) < 40;
        if (phase_ == Phase::Dive && !again) {
            // After the change of view, or lost a while: only where it should be.
            float flat = std::max(50.0f, std::hypot(tankMapX_ - x_, tankMapZ_ - z_));
            float acrossThere = Wrap(BearingTo(tankMapX_, tankMapZ_) - heading_), belowThere = std::atan(groundHigh_ / flat);
            if (std::fabs(across - acrossThere) > 0.15f || std::fabs(below - belowThere) > 0.12f) return;
        }
        if (again && now > tankSeenAt_) {
            float gap = now - tankSeenAt_;
            tankDriftX_ += 0.4f * ((b.x - tankLastX_) / gap - tankDriftX_);
            tankDriftY_ += 0.4f * ((b.y - tankLastY_) / gap - tankDriftY_);
        } else {
            tankDriftX_ = tankDriftY_ = 0;
        }
        tankSightings_ = again ? tankSightings_ + 1 : 1;
        if (tankSightings_ == 1) tankFirstBelow_ = below;
        tankSeenAt_ = now;
        tankLastX_ = b.x;
        tankLastY_ = b.y;
        // On the ground within reach it flows away from the horizon as the fields do, a
        // pixel a look or more, as fast as the height says ground there flows; what does
        // otherwise is the own aircraft's, or far off.
        const float sinks = (below - tankFirstBelow_) * FocalPixels, looks = tankSightings_ - 1.0f;
        const float d = below * FocalPixels, perLook = d * d * 0.09f * Speed() / (FocalPixels * std::max(50.0f, groundHigh_));
        const bool flowing = sinks >= looks && std::fabs(sinks - perLook * looks) < std::max(2.0f, 0.6f * perLook * looks);
        const bool big = b.Width() >= 2 && b.Height() >= 2;
        if ((tankSightings_ < 2 || !flowing || !big) && phase_ != Phase::Dive) return;
        tankNow_ = b;
        tankAcross_ = across;
        tankSlant_ = groundHigh_ / std::sin(below);
        float flat = groundHigh_ / std::tan(below);
        float bearing = Wrap(heading_ + across);
        tankMapX_ = x_ - std::sin(bearing) * flat;
        tankMapZ_ = z_ + std::cos(bearing) * flat;
        if (!tankFixed_) fixPasses_ = 0;
        tankFixed_ = true;
    }

    // The nose's angle above the horizon that keeps it some HuntHigh over the fields.
    float HuntPitch(float now) const {
        // Unread for a while: level, or down when it believes itself well up
        // (high up the flow reads only from looks farther back, wings level).
        if (now - flowAt_ > 3.0f) return groundHigh_ > 900.0f ? -0.12f : 0.05f;
        if (groundHigh_ < 200.0f) return 0.3f;
        return Clamp((HuntHigh - groundHigh_) / 500.0f, -0.1f, 0.2f);
    }

    // Far from the base another engine leans the ears toward it, within some 6,000, most
    // when it is abeam; heard a little late, as it passes behind the wing. A circle toward
    // it then goes round it (some 4,800 across): so on straight some 2,000 first, then
    // round toward that side until the lean stops (the tank near the nose), and on
    // straight that way, low, where it shows. A lean that never stops in a whole turn:
    // straight out, and round again.
    float EarHunt(float now, float off) {
        const bool nearBase = std::hypot(HomeX - x_, HomeZ - z_) < 8000.0f;
        const bool leaning = !nearBase && std::fabs(side_) > 0.25f;
        if (leaning && (earStage_ == EarStage::None || earStage_ == EarStage::Run)) {
            earStage_ = EarStage::On;
            earSide_ = side_ > 0 ? 1 : -1;
            earFrom_ = now;
            earHeading_ = heading_;
        }
        switch (earStage_) {
            case EarStage::None:
                return off;
            case EarStage::On:
                if (now - earFrom_ > 4.5f) {
                    earStage_ = EarStage::Round;
                    earTurned_ = 0;
                    earLastHeading_ = heading_;
                }
                return Wrap(earHeading_ - heading_);
            case EarStage::Round: {
                earTurned_ += std::fabs(Wrap(heading_ - earLastHeading_));
                earLastHeading_ = heading_;
                // (The smoothed lean lags the turn by some 2.5 s: it is taken as stopped
                // while still fading.)
                const bool stopped = earTurned_ > 1.2f && side_ * earSide_ < 0.12f;
                if (!stopped && earTurned_ < 5.5f) return 0.5f * earSide_;
                // (Still a little to that side when the smoothed lean has faded.)
                earStage_ = EarStage::Run;
                earFrom_ = now;
                earHeading_ = Wrap(heading_ + 0.25f * earSide_);
                return 0.25f * earSide_;
            }
            case EarStage::Run:
                if (now - earFrom_ > 16.0f) earStage_ = EarStage::None;
                return Wrap(earHeading_ - heading_);
        }
        return off;
    }

    void Hunt(const Picture& pic, float now, float t) {
        Throttle(9);
        WantView(true, now);
        float off;
        if (tankFixed_) {
            // Seen before: out past it, and back at it along a straight run.
            float away = std::hypot(tankMapX_ - x_, tankMapZ_ - z_);
            if (away < 1500.0f && !outbound_) {
                // Flown back over it twice and never dived at: a speck, not the tank.
                outbound_ = true;
                if (++fixPasses_ > 2) tankFixed_ = false;
            }
            if (away > 3500.0f) outbound_ = false;
            off = outbound_ ? 0.0f : Wrap(BearingTo(tankMapX_, tankMapZ_) - heading_);
        } else {
            float x = HuntLegs[huntLeg_][0], z = HuntLegs[huntLeg_][1];
            if (std::hypot(x - x_, z - z_) < 2000.0f) huntLeg_ = (huntLeg_ + 1) % HuntLegCount;
            off = Wrap(BearingTo(x, z) - heading_);
        }
        // A lean heard: the ear is surer than a leg's end or a speck or two.
        off = EarHunt(now, off);
        if (pic.voidShare > 0.01f && now > awayUntil_) {
            awayUntil_ = now + 20.0f;
            awayHeading_ = Wrap(heading_ + Pi);
            huntLeg_ = (huntLeg_ + 1) % HuntLegCount;
        }
        if (now < awayUntil_) off = Wrap(awayHeading_ - heading_);
        // A small change of heading with the wings a little over; a large one in a steep
        // circle (only that turns), the nose held up a little: it climbs rather than sinks.
        // (Round until near the heading, then straight: never both by turns.)
        if (std::fabs(off) > 0.4f) huntTurning_ = true;
        if (std::fabs(off) < 0.12f) huntTurning_ = false;
        if (huntTurning_) {
            sideTurn_ = off > 0 ? 1 : -1;
            // (A circle holds the nose some 0.15 above what it is asked.) Well up, about
            // level; low, climbing a little: a circle low over the hills runs into them,
            // and down on the fields it rolls on, never to rise again but off a hill.
            Circle(pic, groundHigh_ > 500.0f ? -0.15f : 0.05f);
        } else if (!Lost(pic)) {
            // Near the heading: the wings all but level, so that the fields' flow reads.
            right_ = Clamp(110.0f * RollTo(Clamp(off, -0.25f, 0.25f)), -60, 60);
            pull_ = Clamp(80.0f * (HuntPitch(now) - pitch_), -40, 40);
        }
        // (Seen in a steep turn: round toward it until it is near the nose and the wings
        // come level; the dive levels them at once, and it would slide out of sight.)
        if (tankSightings_ >= 4 && tankNow_.found && std::fabs(tankAcross_) < 0.35f && std::fabs(bank_) < 0.5f) {
            fixPasses_ = 0;
            Enter(Phase::Dive, t);
        }
    }

    // Down at it from the seat: its middle held where the shots go, the trigger inside a
    // burst's reach, and out of the dive before its gun's reach or the ground.
    void Dive(const Picture& pic, float now, float t) {
        Throttle(9);
        WantView(false, now);
        const float since = t - phaseFrom_;
        const bool seen = tankNow_.found && now - viewFrom_ > 0.3f && !behind_;
        if (seen) {
            float dx = tankNow_.x + 0.3f * tankDriftX_ - TankAimX, dy = tankNow_.y + 0.3f * tankDriftY_ - TankAimY;
            right_ = Clamp(0.5f * dx - 60.0f * bank_, -45, 45);
            pull_ = Clamp(-0.3f * dy, -40, 25);
            float tolerance = Clamp(0.8f * 22.0f / std::max(tankSlant_, 1.0f) * FocalPixels, 6.0f, 25.0f);
            if (tankSlant_ < 720.0f && std::hypot(dx, dy) < tolerance) {
                burstUntil_ = now + 0.25f;
                lastBurst_ = now;
            }
        } else if (tankFixed_) {
            // Out of sight: toward where it was seen, the nose down so it comes to the aim.
            float flat = std::max(50.0f, std::hypot(tankMapX_ - x_, tankMapZ_ - z_));
            float down = std::atan(groundHigh_ / flat) - (TankAimY - senses::Height / 2) / FocalPixels;
            float off = Wrap(BearingTo(tankMapX_, tankMapZ_) - heading_);
            tankSlant_ = std::hypot(flat, groundHigh_);
            Attitude(pic, Clamp(-down, -0.45f, 0.1f), Clamp(1.5f * off, -0.5f, 0.5f));
        }
        if (pic.horizonSeen && pitch_ < -0.5f) pull_ = std::max(pull_, 20.0f);
        const bool lost = now - tankSeenAt_ > 2.5f && since > 3.0f;
        if (tankSlant_ < 400.0f || groundHigh_ < 150.0f || since > 12.0f || lost) Enter(Phase::PullOut, t);
    }

    void PullOut(const Picture& pic, float now, float t) {
        Throttle(9);
        const float since = t - phaseFrom_;
        // Out of the dive, the view from behind again: low down and nose up, the seat shows
        // only sky past the wing.
        WantView(since > 1.5f, now);
        if (since < 1.5f && pitch_ < 0.12f && !(pic.skyOnly && !pic.horizonSeen)) {
            // A firm pull, the wings level, until the nose is above the horizon.
            right_ = Clamp(-80.0f * bank_, -60, 60);
            pull_ = 45.0f;
        } else if (!pic.horizonSeen) {
            Lost(pic);
        } else {
            Attitude(pic, 0.15f, 0.0f);
        }
        if (since > 5.0f && pitch_ > 0.0f) {
            tankSightings_ = 0;
            Enter(Phase::Hunt, t);
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
        // Its speed as it has come to know it: some 460 level at full throttle, 400 in a
        // climbing circle, less at a lower throttle.
        float cruise = Speed();
        float speed = phase_ == Phase::Roll ? std::min(cruise, 20.0f * t) : cruise;
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
