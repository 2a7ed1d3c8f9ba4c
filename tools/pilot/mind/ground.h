// What the pilot makes of the ground in the window, low over the fields: how high it flies
// (from how fast the fields flow past below the horizon) and the small pale grey shape on
// them that may be the tank. Only the frames' pixels go in.
#pragma once

#include <cstdint>
#include <vector>

#include "picture.h"

namespace mind {

// How the fields flow between two looks. Ground that lies `d` pixels below the horizon
// moves down the window at d * d * speed / (FocalPixels * height) pixels a second, on top
// of what the nose's own swing does to everything alike: so the flow against d * d gives
// the height over the ground as a share of the speed, whatever the nose did meanwhile.
struct Flow {
    bool known = false;
    float secondsHigh = 0;  // height over the ground divided by the speed
    int patches = 0;        // how many patches of field were matched
};

// `before` is the frame of the look `seconds` earlier, with its horizon; both looks must
// see the horizon, the wings near level.
Flow GroundFlow(const uint8_t* before, const Picture& beforePic, const uint8_t* now, const Picture& nowPic,
                float seconds, const OwnAircraft& own);

// The pixels its own aircraft shows pale grey in most looks (the cowl behind the sweeping
// propeller, the wings' roundels): never the tank.
class OftenPale {
public:
    void Watch(const uint8_t* rgb);
    bool Often(int i) const { return looks_ >= 20 && count_[i] * 4 > looks_; }

private:
    std::vector<uint16_t> count_;
    int looks_ = 0;
};

// The small pale grey shape on the fields: no field, hedge or road is that grey. The largest
// of at most `maxPixels`, below the horizon and off the aircraft's own shape.
Blob FindGroundShape(const uint8_t* rgb, const Picture& pic, const OwnAircraft& own, const OftenPale& pale, int maxPixels);

}  // namespace mind
