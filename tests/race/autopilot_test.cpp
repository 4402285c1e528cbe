// A whole level ridden through the real frame loop by a simple autopilot that keeps the bike
// over the road's centre line a few rows ahead: the level ends in the tally, and the tally adds
// the place bonus and the time points to the score.
#include "shell/autopilot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "bike_rig.h"
#include "race/rivals.h"

namespace vrumbal::test {
namespace {

TEST(Autopilot, RidesAWholeLevelAndTheTallyAddsPlaceAndTimePoints) {
    for (int fps : {85, 60}) {
        SCOPED_TRACE(fps);
        BikeRig rig(fps, 1, 1);
        rig.PassLevelStart();
        Autopilot pilot(rig.Form());
        TPlayer& bike = rig.Bike();
        int frames = 0;
        while (!bike.Finished && rig.Game().DialogKind == 0 && frames < fps * 60) {
            pilot.Steer();
            rig.Frames(1);
            ++frames;
        }
        ASSERT_TRUE(bike.Finished)
            << "crashed: " << bike.Crashed << ", lives " << rig.State().Lives;
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
