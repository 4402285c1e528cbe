// What the road needs of the bike and of the rival riders to test them against its solid tiles.
#pragma once
#include "race/quad.h"

namespace vrumbal {

// What the road needs of the player's bike to test it against solid tiles.
class BikeContactTarget {
public:
    virtual ~BikeContactTarget() = default;
    // The bike's four corners in screen pixels.
    virtual Quad ScreenCorners() const = 0;
    // True while an obstacle can still hurt the bike (hits left and not crashed).
    virtual bool CanHitObstacle() const = 0;
    // The bike ran into a solid tile: it loses the rest of its life and crashes.
    virtual void HitObstacle() = 0;
};

// What the road needs of the rival riders (numbered 1..5) to test them against solid tiles.
class RivalContactTarget {
public:
    virtual ~RivalContactTarget() = default;
    // True when rider r takes part in the race.
    virtual bool RiderActive(int r) const = 0;
    // Rider r's centre in world pixels.
    virtual QuadPoint RiderCentre(int r) const = 0;
    // Rider r's four corners in world pixels.
    virtual Quad RiderCorners(int r) const = 0;
    // True while rider r lies crashed.
    virtual bool RiderCrashed(int r) const = 0;
    // Rider r ran into a solid tile and crashes.
    virtual void RiderHitObstacle(int r) = 0;
};

}  // namespace vrumbal
