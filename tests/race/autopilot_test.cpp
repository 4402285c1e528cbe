// A whole level ridden through the real frame loop by a simple autopilot that keeps the bike
// over the road's centre line a few rows ahead: the level ends in the tally, and the tally adds
// the place bonus and the time points to the score.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "bike_rig.h"
#include "race/rivals.h"

namespace vrumbal::test {
namespace {

// Holds Left or Right so that the bike's heading follows the road ahead.
class Autopilot {
public:
    explicit Autopilot(BikeRig& rig) : rig_(rig) {}

    // Chooses the keys for the next frame.
    void Steer() {
        const RaceState& race = rig_.State();
        const TScrollBackground* road = rig_.Race().Road();
        const TPlayer& bike = rig_.Bike();
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

    BikeRig& rig_;
    bool left_ = false;
    bool right_ = false;
    bool up_ = false;
};

TEST(Autopilot, RidesAWholeLevelAndTheTallyAddsPlaceAndTimePoints) {
    for (int fps : {85, 60}) {
        SCOPED_TRACE(fps);
        BikeRig rig(fps, 1, 1);
        rig.PassLevelStart();
        Autopilot pilot(rig);
        TPlayer& bike = rig.Bike();
        int frames = 0;
        while (!bike.Finished && rig.Game().DialogKind == 0 && frames < fps * 60) {
            pilot.Steer();
            rig.Frames(1);
            ++frames;
        }
        ASSERT_TRUE(bike.Finished) << "crashed: " << bike.Crashed << ", lives " << rig.State().Lives;
        EXPECT_EQ(rig.State().Lives, 3) << "the autopilot should ride without a crash";
        // The bike rolls to a stop on its own and the tally opens.
        for (int i = 0; i < fps * 10 && rig.Game().DialogKind != 11; ++i) rig.Frames(1);
        ASSERT_EQ(rig.Game().DialogKind, 11);
        const RaceState& race = rig.State();
        const int before = race.Score;
        const int secondsLeft = race.TallyTimeLeft / 1000;
        const int placeBonus = race.PlaceBonus;
        EXPECT_GT(secondsLeft, 0);
        EXPECT_GE(placeBonus, 100);
        for (int i = 0; i < fps * 30 && rig.Game().DialogKind == 11; ++i) rig.Frames(1);
        EXPECT_NE(rig.Game().DialogKind, 11);
        // Five points for every whole second that was left.
        EXPECT_EQ(race.Score, before + placeBonus + 5 * secondsLeft);
        EXPECT_EQ(race.Level, 2);
    }
}

}  // namespace
}  // namespace vrumbal::test
