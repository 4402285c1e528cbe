// The rival riders: who rides in which level, lanes, swerving, heading limits, the wreck and
// the way back onto the road, the racer count and place, and how the bike draws them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "rival_rig.h"

namespace vrumbal::test {
namespace {

constexpr double kEps = 1e-9;

// Puts rider r's centre on a world point, standing still, heading up, and recomputes its
// corners without moving it.
void PlaceRider(TCar& cars, int r, double centreX, double centreY, double speed = 0) {
    const auto i = static_cast<std::size_t>(r);
    const RivalModel& m = RivalModelOf(cars.Model[i]);
    cars.PosX[i] = centreX - m.boxWidth / 2.0;
    cars.PosY[i] = centreY - m.boxHeight / 2.0;
    cars.Heading[i] = 0;
    cars.Speed[i] = speed;
    cars.GroundSpeed[i] = (BikeModelOf(cars.Model[i]).topSpeed / 110.0 + 0.9) * speed / 8;
    cars.Avoiding[i] = false;
    cars.AvoidTimer[i] = 0;
}

// World centre of the player's bike.
QuadPoint BikeCentre(RivalRig& rig) {
    return {rig.WorldX(rig.Bike().CentreX), rig.WorldY(rig.Bike().CentreY)};
}

TEST(Rivals, EachLevelHasItsRidersOnTheirStartPlaces) {
    struct Start {
        int x, y;
        double lane;
    };
    const Start starts[6] = {{0, 0, 0},       {288, 400, -30}, {402, 238, 60},
                             {288, 238, -30}, {402, 64, 60},   {288, 64, -30}};
    const struct {
        int level;
        bool riders[6];
    } cases[] = {
        {1, {false, true, false, false, false, false}},
        {2, {false, false, true, true, false, false}},
        {3, {false, true, true, true, false, false}},
        {4, {false, false, true, true, false, false}},
        {5, {false, true, true, true, true, true}},
        {7, {false, true, true, true, true, true}},
        {10, {false, true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        RivalRig rig(c.level);
        TCar& cars = rig.Rivals();
        const RaceState& race = rig.State();
        for (int r = 1; r <= 5; ++r) {
            const auto i = static_cast<std::size_t>(r);
            SCOPED_TRACE("level " + std::to_string(c.level) + " rider " + std::to_string(r));
            EXPECT_EQ(cars.Active[i], c.riders[i]);
            EXPECT_EQ(cars.Rider(r).active, c.riders[i]);
            EXPECT_EQ(cars.RiderActive(r), c.riders[i]);
            if (!c.riders[i]) continue;
            EXPECT_DOUBLE_EQ(cars.PosX[i], 72.0 * race.ViewColumn + starts[i].x);
            EXPECT_DOUBLE_EQ(cars.PosY[i], 72.0 * race.ViewRow + starts[i].y);
            EXPECT_DOUBLE_EQ(cars.LaneOffset[i], starts[i].lane);
            ASSERT_GE(cars.Model[i], 1);
            ASSERT_LE(cars.Model[i], 5);
            EXPECT_EQ(cars.RiderPicture[i], BikeModelOf(cars.Model[i]).uprightPicture);
            EXPECT_TRUE(cars.OnScreen[i]);
            // The reset's own step: valid centre and a first push of the throttle.
            EXPECT_DOUBLE_EQ(cars.CentreY[i],
                             cars.PosY[i] + RivalModelOf(cars.Model[i]).boxHeight / 2.0);
            EXPECT_NEAR(cars.Speed[i], 0.3 * rig.Game().SpeedFactor, kEps);
        }
    }
}

TEST(Rivals, TheNextLevelPutsItsOwnRidersOnTheStart) {
    RivalRig rig(1);
    rig.PassLevelStart();
    rig.KeyDown(kKeyThrottle);
    rig.Frames(300);
    TCar& cars = rig.Rivals();
    EXPECT_LT(cars.PosY[1], 72.0 * 1478 + 400 - 72);  // rider 1 has left the start
    rig.Bike().StartLevelRun(true);
    const RaceState& race = rig.State();
    EXPECT_EQ(race.Level, 2);
    EXPECT_FALSE(cars.Active[1]);
    ASSERT_TRUE(cars.Active[2]);
    ASSERT_TRUE(cars.Active[3]);
    EXPECT_DOUBLE_EQ(cars.PosY[2], 72.0 * race.ViewRow + 238);
    EXPECT_DOUBLE_EQ(cars.PosX[3], 72.0 * race.ViewColumn + 288);
}

TEST(Rivals, LaneOffsetIsPulledBackInsideItsLimits) {
    const struct {
        double before, after;
    } cases[] = {{95, 60}, {90.5, 60}, {90, 90}, {-80, -80}, {-80.5, -30}, {-200, -30}, {10, 10}};
    RivalRig rig(1);
    rig.PassLevelStart();
    TCar& cars = rig.Rivals();
    rig.Steady(1);
    for (const auto& c : cases) {
        cars.LaneOffset[1] = c.before;
        cars.StepRiders();
        EXPECT_DOUBLE_EQ(cars.LaneOffset[1], c.after) << "from " << c.before;
    }
}

TEST(Rivals, SwervingStepsAroundThePlayerAndOtherRiders) {
    // Offsets of the rider's centre from the bike's centre (world pixels); the speed decides
    // whether it is faster than the standing bike.
    enum class Near { Player, Rider };
    const struct {
        const char* name;
        Near near;
        double dx, dy, speed, lane;
        double turn, shift;  // heading and lane change in one step at speed factor 1
    } cases[] = {
        {"faster behind, right lane", Near::Player, 0, 70, 40, 20, -3, -8},
        {"faster behind, left lane", Near::Player, 0, 70, 40, -20, 3, 8},
        {"standing behind", Near::Player, 0, 70, 0, 20, 0, 0},
        {"bike on its left", Near::Player, 20, 20, 0, 0, 2, 6},
        {"bike on its right", Near::Player, -20, 20, 0, 0, -2, -6},
        {"rider ahead, left lane", Near::Rider, 0, 70, 0, -30, 1, 6},
        {"rider ahead, right lane", Near::Rider, 0, 70, 0, 30, -1, -6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RivalRig rig(2);
        rig.PassLevelStart();
        ASSERT_NEAR(rig.Game().SpeedFactor, 1.0, 1e-6);
        TCar& cars = rig.Rivals();
        rig.Steady(2);
        rig.Steady(3);
        QuadPoint target = BikeCentre(rig);
        if (c.near == Near::Rider) {
            // Rider 2 stands well ahead of the bike; rider 3 comes up behind it.
            target.y -= 400;
            PlaceRider(cars, 2, target.x, target.y);
            cars.StepRiders();
        } else {
            PlaceRider(cars, 2, target.x - 2000, target.y - 2000);
        }
        PlaceRider(cars, 3, target.x + c.dx, target.y + c.dy, c.speed);
        cars.LaneOffset[3] = c.lane;
        cars.StepRiders();
        EXPECT_NEAR(cars.Heading[3], c.turn, kEps);
        EXPECT_NEAR(cars.LaneOffset[3], c.lane + c.shift, kEps);
        EXPECT_EQ(cars.Avoiding[3], c.shift != 0);
    }
}

TEST(Rivals, SwervingEndsTwoHundredMillisecondsAfterTheLastContact) {
    RivalRig rig(2);
    rig.PassLevelStart();
    TCar& cars = rig.Rivals();
    rig.Steady(3);
    const QuadPoint bike = BikeCentre(rig);
    PlaceRider(cars, 2, bike.x - 2000, bike.y - 2000);
    PlaceRider(cars, 3, bike.x + 20, bike.y + 20);
    cars.StepRiders();
    ASSERT_TRUE(cars.Avoiding[3]);
    PlaceRider(cars, 3, bike.x - 1000, bike.y - 1000);
    cars.Avoiding[3] = true;
    cars.AvoidTimer[3] = 200;
    int ms = 0;
    while (cars.Avoiding[3] && ms < 1000) {
        cars.StepRiders();
        ms += rig.Game().FrameMs;
    }
    EXPECT_GE(ms, 200);
    EXPECT_LE(ms, 200 + 2 * rig.Game().FrameMs);
}

TEST(Rivals, HeadingStaysWithinSixteenOfItsRowsDirection) {
    const struct {
        int kind;
        double before, after;
    } cases[] = {{1, 40, 16},          {1, -40, -16},       {2, 30, 16},
                 {5, -30, -16},        {3, 0, -18.89 + 16}, {3, -40, -18.89 - 16},
                 {3, 10, -18.89 + 16}, {4, 40, 18.89 + 16}, {4, -10, 18.89 - 16}};
    RivalRig rig(1);
    rig.PassLevelStart();
    TCar& cars = rig.Rivals();
    rig.Steady(1);
    RaceState& race = rig.State();
    for (const auto& c : cases) {
        // A standing rider neither moves nor turns: only the limit acts.
        cars.Speed[1] = 0;
        cars.GroundSpeed[1] = 0;
        cars.Heading[1] = c.before;
        const int row = RoundHalfEven(cars.CentreY[1]) / 72 - 1;
        race.RowSectionKind[static_cast<std::size_t>(row + 2)] = static_cast<std::uint8_t>(c.kind);
        cars.StepRiders();
        EXPECT_NEAR(cars.Heading[1], c.after, 1e-9) << "kind " << c.kind << " from " << c.before;
    }
}

TEST(Rivals, RiderNearTheTopOfTheMapAimsAtColumnZero) {
    // Above row 5 the aim row falls off the map; its road counts as lying at x 0.
    RivalRig rig(1);
    rig.PassLevelStart();
    TCar& cars = rig.Rivals();
    rig.Steady(1);
    RaceState& race = rig.State();
    race.RowRoadX.fill(3000);
    const struct {
        double centreY;
        bool aimsLeft;
    } cases[] = {{72.0 * 30, false}, {72.0 * 4, true}, {72.0 * 1.5, true}, {10, true}};
    for (const auto& c : cases) {
        PlaceRider(cars, 1, 3000, c.centreY, 60);
        cars.LaneOffset[1] = 0;
        cars.StepRiders();
        if (c.aimsLeft) {
            EXPECT_LT(cars.Heading[1], -0.5) << c.centreY;
        } else {
            EXPECT_NEAR(cars.Heading[1], 0, 0.5) << c.centreY;
        }
    }
}

TEST(Rivals, WreckSlidesToAStopWaitsASecondAndIsPutBesideTheRoad) {
    for (const int fps : {85, 60}) {
        SCOPED_TRACE(fps);
        RivalRig rig(1, fps);
        rig.PassLevelStart();
        TCar& cars = rig.Rivals();
        rig.Steady(1);
        const int model = cars.Model[1];
        const int sounds = rig.Starts(20);
        cars.Speed[1] = 100;
        cars.Crash(1);
        EXPECT_EQ(rig.Starts(20), sounds + 1);
        EXPECT_TRUE(cars.Crashed[1]);
        EXPECT_EQ(cars.RiderPicture[1], BikeModelOf(model).crashPicture);
        EXPECT_EQ(cars.RespawnTimer[1], 1000);
        const double sf = rig.Game().SpeedFactor;
        // The slide: 0.8 of engine speed a frame, straight on.
        double speed = cars.Speed[1];
        const double x = cars.PosX[1];
        while (cars.Speed[1] > 0) {
            rig.Frames(1);
            ASSERT_TRUE(cars.Crashed[1]);
            EXPECT_NEAR(cars.Speed[1], speed - 0.8 * sf, 1e-9);
            EXPECT_DOUBLE_EQ(cars.PosX[1], x);
            // Slow enough at the start of the step: the wreck holds its last frame.
            if (speed <= 10) {
                EXPECT_EQ(cars.RiderFrame[1], BikeModelOf(model).crashFrames - 1);
            }
            speed = cars.Speed[1];
        }
        // The step after the speed went below 0 stops the wreck and starts the wait.
        rig.Frames(1);
        int ms = rig.Game().FrameMs;
        EXPECT_EQ(cars.Speed[1], 0);
        EXPECT_EQ(cars.GroundSpeed[1], 0);
        const double stoppedY = cars.CentreY[1];
        while (cars.Crashed[1] && ms < 3000) {
            rig.Frames(1);
            ms += rig.Game().FrameMs;
        }
        EXPECT_GE(ms, 1000);
        EXPECT_LE(ms, 1000 + 3 * rig.Game().FrameMs);
        EXPECT_EQ(cars.HitCount[1], 0);
        EXPECT_EQ(cars.RiderPicture[1], BikeModelOf(model).uprightPicture);
        // Put back on the last of the three rows up to its own: the start is straight, so
        // every row has its place and the last one wins.
        const int b = TruncToInt(stoppedY / 72);
        EXPECT_DOUBLE_EQ(cars.PosY[1], 72.0 * (b + 1));
        const int column = TruncToInt(cars.PosX[1] / 72) + 2;
        const int tile = rig.State().TileAt(b, column);
        const int left = rig.State().TileAt(b, column - 1);
        EXPECT_TRUE(tile == 23 || (tile == 0 && (left == 12 || left == 24))) << tile;
        EXPECT_DOUBLE_EQ(cars.Heading[1], 0);
    }
}

TEST(Rivals, RespawnFollowsTheTileBesideTheRoad) {
    const struct {
        int tile;
        double heading;
    } cases[] = {{23, 0}, {47, 18.89}, {29, -18.89}, {0, 0}};
    RivalRig rig(1);
    TCar& cars = rig.Rivals();
    RaceState& race = rig.State();
    const int row = 700;
    for (const auto& c : cases) {
        for (int q = row - 3; q <= row + 1; ++q) {
            for (int col = 0; col < kMapColumns; ++col) race.SetTile(q, col, 49);
        }
        race.SetTile(row, 300, static_cast<std::uint8_t>(c.tile));
        race.SetTile(row, 299, 12);
        race.SetTile(row, 250, 23);  // further left: the search from the right stops before
        cars.PosX[1] = 0;
        cars.PosY[1] = 0;
        cars.CentreY[1] = 72.0 * (row + 1) + 30;  // b = row + 1: rows row - 1 .. row + 1
        cars.Heading[1] = 5;
        cars.Respawn(1);
        EXPECT_DOUBLE_EQ(cars.PosY[1], 72.0 * (row + 1)) << c.tile;
        EXPECT_DOUBLE_EQ(cars.PosX[1], 72.0 * 298) << c.tile;
        EXPECT_DOUBLE_EQ(cars.Heading[1], c.heading) << c.tile;
    }
    // Places in two rows: the later (lower) row wins.
    race.SetTile(row + 1, 200, 23);
    cars.Respawn(1);
    EXPECT_DOUBLE_EQ(cars.PosY[1], 72.0 * (row + 2));
    EXPECT_DOUBLE_EQ(cars.PosX[1], 72.0 * 198);
    // Nowhere to go (off the map): the rider stays where it is.
    cars.PosX[1] = 123;
    cars.PosY[1] = -5000;
    cars.CentreY[1] = -5000;
    cars.Crashed[1] = true;
    cars.Respawn(1);
    EXPECT_FALSE(cars.Crashed[1]);
    EXPECT_DOUBLE_EQ(cars.PosX[1], 123);
    EXPECT_DOUBLE_EQ(cars.PosY[1], -5000);
}

TEST(Rivals, RidersFollowTheRoadWithinTheirLimits) {
    for (const int level : {3, 5, 9}) {
        SCOPED_TRACE(level);
        RivalRig rig(level, 85, 100 + level);
        rig.PassLevelStart();
        TCar& cars = rig.Rivals();
        const RaceState& race = rig.State();
        PerRider<double> startY = cars.CentreY;
        int wrecks = 0;
        int riding = 0;
        for (int frame = 0; frame < 85 * 25; ++frame) {
            rig.Frames(1);
            for (int r = 1; r <= 5; ++r) {
                const auto i = static_cast<std::size_t>(r);
                if (!cars.Active[i]) continue;
                ASSERT_LE(cars.LaneOffset[i], 90);
                ASSERT_GE(cars.LaneOffset[i], -80);
                const int row = RoundHalfEven(cars.CentreY[i]) / 72 - 1;
                const int kind = race.SectionKindEntry(row + 2);
                const double c = kind == 3 ? -18.89 : (kind == 4 ? 18.89 : 0.0);
                ASSERT_LE(std::fabs(cars.Heading[i] - c), 16 + kEps);
                const double top = 160 * (BikeModelOf(cars.Model[i]).topSpeed / 110.0 + 0.9);
                ASSERT_LE(cars.Speed[i], top * 1.05 + 10);
                ++riding;
                if (cars.Crashed[i]) ++wrecks;
            }
        }
        for (int r = 1; r <= 5; ++r) {
            const auto i = static_cast<std::size_t>(r);
            if (!cars.Active[i]) continue;
            // 25 seconds of riding take every rider far up the track.
            EXPECT_LT(cars.CentreY[i], startY[i] - 72.0 * 60) << "rider " << r;
            // ... and keep to the road.
            if (cars.Crashed[i]) continue;
            const int column = TruncToInt(cars.CentreX[i] / 72) - 1;
            const int row = TruncToInt(cars.CentreY[i] / 72) - 1;
            EXPECT_LE(std::abs(column * 72 + 72 + 36 - race.RoadXAt(row)), 72 * 3) << r;
        }
        // Down for less than a fifth of the ride.
        EXPECT_LT(wrecks * 5, riding);
    }
}

TEST(Rivals, RoadObstacleAndTwoKnocksFromTheBikeWreckARider) {
    RivalRig rig(1);
    rig.PassLevelStart();
    TCar& cars = rig.Rivals();
    rig.Steady(1);
    RaceState& race = rig.State();
    // Onto the left verge (solid) beside the start: the road's contact test wrecks it.
    const int row = TruncToInt(cars.CentreY[1] / 72) - 1;
    int verge = -1;
    for (int c = 0; c < kMapColumns && verge < 0; ++c) {
        if (race.TileAt(row, c) == 10) verge = c - 2;
    }
    ASSERT_GE(verge, 0);
    race.SetTile(row, verge, 1);
    const int sounds = rig.Starts(20);
    PlaceRider(cars, 1, 72.0 * (verge + 1) + 55, cars.CentreY[1]);
    cars.StepRiders();
    rig.Frames(1);
    EXPECT_TRUE(cars.Crashed[1]);
    EXPECT_EQ(cars.HitCount[1], 2);
    EXPECT_EQ(rig.Starts(20), sounds + 1);

    // Two separate knocks from the bike.
    RivalRig other(1);
    other.PassLevelStart();
    TCar& riders = other.Rivals();
    other.Steady(1);
    for (int knock = 1; knock <= 2; ++knock) {
        const QuadPoint bike = BikeCentre(other);
        PlaceRider(riders, 1, bike.x + 10, bike.y + 3);
        riders.StepRiders();
        other.Frames(1);
        EXPECT_EQ(riders.HitCount[1], knock);
        EXPECT_EQ(riders.Crashed[1], knock == 2);
        PlaceRider(riders, 1, bike.x + 400, bike.y - 300);
        riders.StepRiders();
        other.Frames(1);
        EXPECT_FALSE(riders.Touching[1]);
    }
}

TEST(Rivals, RacerCountAndPlaceCountTheRidersAhead) {
    const struct {
        int level;
        int ahead;  // riders put ahead of the bike; the others behind
        int place;
    } cases[] = {{1, 0, 1}, {1, 1, 2}, {2, 1, 2}, {3, 3, 4}, {5, 0, 1}, {5, 2, 3}, {5, 5, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " ahead " + std::to_string(c.ahead));
        RivalRig rig(c.level);
        rig.PassLevelStart();
        TCar& cars = rig.Rivals();
        const QuadPoint bike = BikeCentre(rig);
        int active = 0;
        int placed = 0;
        for (int r = 1; r <= 5; ++r) {
            const auto i = static_cast<std::size_t>(r);
            if (!cars.Active[i]) continue;
            ++active;
            rig.Steady(r);
            // Ahead well up the track, behind well down it, apart from each other.
            const double y =
                placed < c.ahead ? bike.y - 250 - 100 * placed : bike.y + 250 + 100 * placed;
            PlaceRider(cars, r, bike.x - 150 + 75 * (placed % 2), y);
            ++placed;
        }
        cars.StepRiders();
        rig.Frames(1);
        EXPECT_EQ(rig.State().RacerCount, active + 1);
        EXPECT_EQ(rig.State().Place, c.place);
    }
}

TEST(Rivals, BikeDrawsRidersAndWrecksAtTheirCentres) {
    RivalRig rig(1);
    rig.PassLevelStart();
    TCar& cars = rig.Rivals();
    rig.Steady(1);
    const int model = cars.Model[1];
    const BikeModel& m = BikeModelOf(model);
    const RivalModel& box = RivalModelOf(model);
    // Standing: the step before the frame does not turn it, the frame's step barely.
    PlaceRider(cars, 1, rig.WorldX(250), rig.WorldY(250));
    cars.StepRiders();
    rig.Frames(1);
    const int x = RoundHalfEven(rig.ScreenX(cars.CentreX[1]));
    const int y = RoundHalfEven(rig.ScreenY(cars.CentreY[1]));
    EXPECT_EQ(rig.Pixel(x, y), PatternPixel(m.uprightPicture, 0));
    EXPECT_EQ(rig.Pixel(x, y + box.boxHeight / 2 - 4), PatternPixel(m.uprightPicture, 0));
    EXPECT_NE(rig.Pixel(x, y + box.boxHeight / 2 + 4), PatternPixel(m.uprightPicture, 0));

    // A wreck hangs half its box above its centre, on its last frame once slow. A frame is
    // drawn before its move, so the second frame shows the first one's step.
    cars.Crash(1);
    cars.Speed[1] = 5;
    rig.Frames(2);
    const int wx = RoundHalfEven(rig.ScreenX(cars.CentreX[1]));
    const int wy = RoundHalfEven(rig.ScreenY(cars.CentreY[1]) - box.crashHeight / 2.0);
    const std::uint16_t wreck = PatternPixel(m.crashPicture, m.crashFrames - 1);
    EXPECT_EQ(rig.Pixel(wx, wy), wreck);
    EXPECT_EQ(rig.Pixel(wx, wy - box.crashHeight / 2 + 4), wreck);
    EXPECT_NE(rig.Pixel(wx, wy + box.crashHeight / 2 + 4), wreck);

    // Out of the window: not drawn, and not in view for the bike.
    PlaceRider(cars, 1, rig.WorldX(250), rig.WorldY(-400));
    cars.Crashed[1] = false;
    cars.StepRiders();
    rig.Frames(1);
    EXPECT_FALSE(cars.OnScreen[1]);
    EXPECT_FALSE(cars.Rider(1).onScreen);
}

}  // namespace
}  // namespace vrumbal::test
