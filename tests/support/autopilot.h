// A simple autopilot the tests ride whole levels with: it keeps the bike over the road's right
// lane a few rows ahead and eases off for the bends, through the window's key events.
#pragma once
#include <algorithm>
#include <cmath>

#include "race/race_screen.h"
#include "race/scroll_background.h"
#include "support/game_rig.h"

namespace vrumbal::test {

// Holds Left or Right so that the bike's heading follows the road ahead.
class Autopilot {
public:
    explicit Autopilot(GameRig& rig) : rig_(rig) {}

    // Chooses the keys for the next frame.
    void Steer() {
        const RaceState& race = rig_.Form().Race();
        const TScrollBackground* road = rig_.Form().RaceFlow().Road();
        const TPlayer* rider = rig_.Form().RaceFlow().Bike();
        if (road == nullptr || rider == nullptr) return;
        const TPlayer& bike = *rider;
        // The bike rides at a fixed place of the screen; the road moves under it.
        const double bikeX = TPlayer::kScreenX + 72.0 * race.ViewColumn - road->X;
        const double bikeY = TPlayer::kScreenY + 72.0 * race.ViewRow - road->Y;
        const int row = static_cast<int>(std::floor(bikeY / 72.0)) - 1;
        // The right lane: the rivals keep to the left one.
        const double error = race.RoadXAt(row - kLookAhead) + kLaneOffset - bikeX;
        const double wanted = std::clamp(error * 0.12, -24.0, 24.0);
        Hold(kKeyLeft, wanted < bike.Heading - 1);
        Hold(kKeyRight, wanted > bike.Heading + 1);
        // Slow down for the bends: a section that shifts the road is not kind 1.
        bool bend = false;
        for (int r = row - 6; r <= row; ++r) bend = bend || race.SectionKindEntry(r + 2) != 1;
        Hold(kKeyUp, !(bend && bike.Speed > kBendSpeed));
    }

private:
    static constexpr int kLookAhead = 2;         // rows ahead the bike aims at
    static constexpr double kLaneOffset = 30;    // right of the centre line
    static constexpr double kBendSpeed = 70;     // fastest speed through a bend

    void Hold(int key, bool down) {
        bool& held = key == kKeyLeft ? left_ : key == kKeyRight ? right_ : up_;
        if (down == held) return;
        held = down;
        if (down) {
            rig_.KeyDown(key);
        } else {
            rig_.KeyUp(key);
        }
    }

    GameRig& rig_;
    bool left_ = false;
    bool right_ = false;
    bool up_ = false;
};

}  // namespace vrumbal::test
