// Tyre marks, contacts with rivals and obstacles, falls, crashes and the restart on the road.
#include <gtest/gtest.h>

#include <cmath>

#include "bike_rig.h"
#include "engine/picture_collection.h"

namespace vrumbal::test {
namespace {

std::uint16_t Rgb565(std::uint32_t rgb) {
    return static_cast<std::uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                      ((rgb >> 3) & 0x1F));
}

TEST(TyreMarks, PoolFillsCullsAtTheAreaEdgeAndFreesTheLowestSlot) {
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    const struct {
        double x, y;
        bool kept;
    } edges[] = {{0, 300, true},   {-0.1, 300, false},  {700, 300, true}, {700.1, 300, false},
                 {300, -14, true}, {300, -14.1, false}, {300, 600, true}, {300, 600.1, false}};
    for (const auto& e : edges) bike.AddSkidMark(e.x, e.y);
    bike.CullSkidMarks();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(bike.Mark(i + 1).used, edges[i].kept) << edges[i].x << ", " << edges[i].y;
    }
    // Scrolled far down, every mark goes.
    rig.State().BikeVelY = 2000;
    bike.ScrollSkidMarks();
    bike.CullSkidMarks();
    EXPECT_EQ(bike.MarksInUse(), 0);
    // Full: no new mark until one leaves.
    for (int i = 0; i < 100; ++i) bike.AddSkidMark(350, 590);
    EXPECT_EQ(bike.MarksInUse(), 100);
    EXPECT_EQ(bike.LastMark, 100);
    bike.AddSkidMark(10, 10);
    EXPECT_EQ(bike.LastMark, 100);
    EXPECT_EQ(bike.Mark(2).x, 350.0);
    rig.State().BikeVelY = 10;  // 5 pixels a frame at 85 frames per second
    bike.ScrollSkidMarks();
    bike.CullSkidMarks();
    EXPECT_EQ(bike.MarksInUse(), 100);  // at 595: still inside
    bike.ScrollSkidMarks();
    bike.ScrollSkidMarks();
    bike.CullSkidMarks();
    EXPECT_EQ(bike.MarksInUse(), 0);
    bike.AddSkidMark(10, 10);
    EXPECT_EQ(bike.LastMark, 1);
}

TEST(TyreMarks, MarksAndTheBikeAreDrawnWhereTheyLie) {
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    bike.AddSkidMark(200, 300);
    rig.Frames(1);
    const Surface& back = rig.Form().MDXDraw.BackSurface();
    EXPECT_EQ(back.Row(300)[200], Rgb565(0x101010));  // the mark
    EXPECT_EQ(back.Row(300)[230], Rgb565(0x606060));  // the road beside it
    EXPECT_EQ(back.Row(440)[420], Rgb565(0x2040C0));  // the bike's middle
}

TEST(TyreMarks, HandBrakeLaysSpacedMarksOnlyWhileMoving) {
    BikeRig rig;
    rig.PassLevelStart();
    TPlayer& bike = rig.Bike();
    rig.KeyDown(kKeyUp);
    rig.Frames(150);
    rig.KeyUp(kKeyUp);
    rig.KeyDown(kKeySpace);
    int lastCount = 0;
    for (int i = 0; i < 200 && bike.Speed > 0; ++i) {
        const int previous = bike.LastMark;
        const double gap = 12 - bike.GroundSpeed * 0.5 * rig.Game().SpeedFactor;
        rig.Frames(1);
        EXPECT_LE(bike.MarksInUse(), lastCount + 1);  // one mark a frame at most
        if (bike.MarksInUse() > lastCount && lastCount > 0) {
            // Spaced from the newest mark (measured from the probe, a pixel or two aside).
            const SkidMark& a = bike.Mark(previous);
            const SkidMark& b = bike.Mark(bike.LastMark);
            EXPECT_GE(std::hypot(a.x - b.x, a.y - b.y), gap - 2.5) << i;
        }
        lastCount = bike.MarksInUse();
    }
    EXPECT_EQ(bike.Speed, 0.0);
    EXPECT_GT(lastCount, 3);
    EXPECT_FALSE(bike.Crashed);
    rig.Frames(20);
    EXPECT_EQ(bike.MarksInUse(), lastCount);  // standing: no more marks
    EXPECT_EQ(bike.EngineSound, EngineSoundState::Idle);
}

TEST(BikeContacts, ARivalInTouchCountsOnceAndThreeCostALife) {
    BikeRig rig;
    rig.PassLevelStart();
    TPlayer& bike = rig.Bike();
    FakeRivals rivals;
    bike.SetRivals(&rivals);
    const double x = rig.WorldX(), y = rig.WorldY();
    // Ahead of the bike: the rival is sped up, the bike slowed.
    rivals.Place(1, x, y - 30);
    rivals.riders[1].heading = 10;
    rivals.riders[1].speed = 100;
    rig.Frames(5);
    EXPECT_EQ(bike.HitsLeft, 2);
    EXPECT_TRUE(rivals.riders[1].touching);
    EXPECT_EQ(rivals.riders[1].hitCount, 1);
    EXPECT_DOUBLE_EQ(rivals.riders[1].speed, 105);
    // Headings swapped: the rival takes the bike's, the bike three times the rival's.
    EXPECT_DOUBLE_EQ(rivals.riders[1].heading, 0);
    EXPECT_DOUBLE_EQ(bike.Steer, 30);
    // Apart, then together again: a second hit, and the rival is wrecked.
    rivals.Place(1, x + 500, y);
    rig.Frames(1);
    EXPECT_FALSE(rivals.riders[1].touching);
    rivals.Place(1, x, y - 30);
    rig.Frames(3);
    EXPECT_EQ(bike.HitsLeft, 1);
    EXPECT_EQ(rivals.crashes[1], 1);
    rivals.Place(2, x, y - 30);
    rig.Frames(1);
    EXPECT_TRUE(bike.Crashed);
    EXPECT_EQ(bike.HitsLeft, 3);
    EXPECT_EQ(rig.State().Lives, 2);
}

TEST(BikeContacts, HitFromBehindPushesTenForATenthOfASecond) {
    for (const int fps : {85, 60}) {
        BikeRig rig(fps);
        rig.PassLevelStart();
        TPlayer& bike = rig.Bike();
        FakeRivals rivals;
        bike.SetRivals(&rivals);
        rivals.Place(1, rig.WorldX(), rig.WorldY() + 30);
        rivals.riders[1].speed = 100;
        const int bumps = rig.Sounds().starts[17];
        rig.Frames(1);  // the bike was standing: it simply gains 10
        EXPECT_TRUE(bike.BoostActive);
        EXPECT_NEAR(bike.Speed, 10 - 0.05 * rig.Game().SpeedFactor, 1e-9);
        EXPECT_DOUBLE_EQ(rivals.riders[1].speed, 95);
        EXPECT_EQ(rig.Sounds().starts[17], bumps + 1);
        int frames = 0;
        double drop = 0;
        while (bike.BoostActive && frames < 50) {
            const double before = bike.Speed;
            rig.Frames(1);
            drop = before - bike.Speed;
            ++frames;
        }
        EXPECT_GE(drop, 9.999) << fps;
        EXPECT_LT(drop, 10.2) << fps;
        EXPECT_NEAR(frames * rig.Game().FrameMs, 100, rig.Game().FrameMs) << fps;
        EXPECT_EQ(bike.HitsLeft, 2);
    }
}

// Fills the bike's cell column under its centre, three rows high, with a solid tile whose
// solid half holds the centre.
void PlantObstacle(BikeRig& rig) {
    const int wx = static_cast<int>(rig.WorldX());
    const int wy = static_cast<int>(rig.WorldY());
    const int col = wx / 72 - 1;
    const int row = wy / 72 - 1;
    const bool rightHalf = wx - (col + 1) * 72 >= 36;
    for (int r = row - 1; r <= row + 1; ++r) rig.State().SetTile(r, col, rightHalf ? 1 : 13);
}

TEST(BikeCrash, AnObstacleCostsTheRestOfTheLifeAndMirrorsTheHeading) {
    for (const int hitsLeft : {3, 2, 1}) {
        BikeRig rig;
        rig.PassLevelStart();
        TPlayer& bike = rig.Bike();
        bike.HitsLeft = hitsLeft;
        bike.Steer = 10;
        bike.Heading = 5;
        const int sounds = rig.Sounds().starts[20];
        const auto map = rig.State().TrackMap;
        PlantObstacle(rig);
        rig.Frames(2);
        ASSERT_TRUE(bike.Crashed) << hitsLeft;
        EXPECT_EQ(bike.HitsLeft, 3);
        EXPECT_EQ(rig.State().Lives, 2);
        EXPECT_EQ(rig.Sounds().starts[20], sounds + 1);
        EXPECT_EQ(bike.RoadBendAt(rig.State().ViewRow + 4), 0);
        EXPECT_EQ(bike.Heading, -5);
        rig.State().TrackMap = map;
        // Down for 3000 ms, then standing upright on the road.
        int ms = 2 * rig.Game().FrameMs;
        while (bike.Crashed && ms < 5000) {
            rig.Frames(1);
            ms += rig.Game().FrameMs;
        }
        EXPECT_GE(ms, 3000);
        EXPECT_LE(ms, 3000 + 2 * rig.Game().FrameMs);
        EXPECT_FALSE(bike.Crashed);
        EXPECT_EQ(bike.Speed, 0.0);
        EXPECT_EQ(bike.LeanState, 0);
        rig.Frames(1);
        EXPECT_TRUE(bike.AllCornersOnRoad());
    }
}

TEST(BikeCrash, FallsCostNeitherHitNorLife) {
    const struct {
        bool handBrake, brake;
        int lean;
        double framePos, speed;
        int lastMark;
        bool falls;
    } cases[] = {
        {true, false, 0, 0, 101, 11, true},   {true, false, 0, 0, 100, 11, false},
        {true, false, 0, 0, 101, 10, false},  {true, false, -1, 3.4, 50, 9, true},
        {true, false, -1, 3.5, 50, 9, false}, {true, false, -1, 3.4, 50, 8, false},
        {false, true, 1, 2.4, 50, 1, true},   {false, true, 1, 2.5, 50, 1, false},
        {false, true, 1, 3.4, 101, 1, true},  {false, true, 1, 3.4, 100, 1, false},
        {false, true, 0, 0, 150, 1, false},   {false, false, -1, 0, 150, 50, false},
    };
    for (const auto& c : cases) {
        BikeRig rig;
        TPlayer& bike = rig.Bike();
        bike.HandBrake = c.handBrake;
        bike.Brake = c.brake;
        bike.LeanState = c.lean;
        bike.FramePos = c.framePos;
        bike.Speed = c.speed;
        bike.LastMark = c.lastMark;
        bike.FallCheck();
        EXPECT_EQ(bike.Crashed, c.falls) << c.handBrake << c.brake << " lean " << c.lean << " at "
                                         << c.framePos << " speed " << c.speed;
        EXPECT_EQ(bike.HitsLeft, 3);
        EXPECT_EQ(rig.State().Lives, 3);
        if (c.falls) {
            EXPECT_TRUE(bike.CrashOriented);
            EXPECT_EQ(bike.CrashTimer, 3000);
        }
    }
}

TEST(BikeCrash, TheLastLifeEndsTheGameWhenTheCrashPauseIsOver) {
    BikeRig rig;
    rig.PassLevelStart();
    TPlayer& bike = rig.Bike();
    rig.State().Lives = 1;
    bike.HitsLeft = 1;
    bike.TakeHit();
    EXPECT_TRUE(bike.Crashed);
    EXPECT_EQ(rig.State().Lives, 0);
    int ms = 0;
    while (rig.Game().DialogKind == 0 && ms < 5000) {
        rig.Frames(1);
        ms += rig.Game().FrameMs;
    }
    EXPECT_EQ(rig.Game().DialogKind, 7);
    EXPECT_GE(ms, 3000);
    // Pickups give a life back, never more than three.
    rig.State().Lives = 2;
    bike.AddLife(1);
    bike.AddLife(1);
    bike.AddLife(0);
    EXPECT_EQ(rig.State().Lives, 3);
}

TEST(BikeCrash, ReadsOutsideTheMapFindNoRoad) {
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    RaceState& race = rig.State();
    const struct {
        int x, y;
    } outside[] = {{-100, 5000},         {5000, -100},          {10, 5000},
                   {72 * 651 + 5, 5000}, {5000, 72 * 1501 + 5}, {-1000000, -1000000}};
    for (const auto& p : outside) EXPECT_FALSE(bike.IsRoadAt(p.x, p.y)) << p.x << ", " << p.y;
    // A road tile is found where it lies.
    race.SetTile(100, 200, 10);
    EXPECT_TRUE(bike.IsRoadAt(201 * 72 + 5, 101 * 72 + 5));
    EXPECT_EQ(bike.RoadBendAt(-1), 0);
    EXPECT_EQ(bike.RoadBendAt(kMapRows), 0);
    // No road below the view: the search stops at the map's last row and the view stays.
    for (int r = 1480; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) race.SetTile(r, c, 0);
    }
    race.ViewRow = 1480;
    race.ViewColumn = 300;
    bike.FindRespawn();
    EXPECT_EQ(race.ViewRow, 1480);
    EXPECT_EQ(race.ViewColumn, 300);
    // The rightmost road edge or bend tile of the row puts the view beside it.
    const struct {
        int tile, column, viewColumn;
        double steer;
    } edges[] = {{47, 648, 641, 38}, {29, 648, 643, -38}, {10, 320, 315, 0}, {23, 400, 394, 0}};
    for (const auto& e : edges) {
        for (int c = 0; c < kMapColumns; ++c) race.SetTile(1490, c, 0);
        race.SetTile(1490, e.column, static_cast<std::uint8_t>(e.tile));
        race.ViewRow = 1480;
        bike.FindRespawn();
        EXPECT_EQ(race.ViewRow, 1487) << e.tile;
        EXPECT_EQ(race.ViewColumn, e.viewColumn) << e.tile;
        EXPECT_EQ(bike.Steer, e.steer) << e.tile;
        EXPECT_EQ(bike.Heading, RoundHalfEven(e.steer / 2)) << e.tile;
    }
}

}  // namespace
}  // namespace vrumbal::test
