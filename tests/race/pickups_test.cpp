// The pickups: where a level's pickups lie, when the bike touches one, what each gives and
// sounds, their animation and drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "race/track_generator.h"
#include "rival_rig.h"

namespace vrumbal::test {
namespace {

// Puts a single pickup of the given kind at screen point (x, y) by choosing its tile and the
// road's scroll offset (which stays within -72 .. 0).
void PutPickup(RivalRig& rig, int kind, int x, int y, double frame = 0) {
    TBonus& pickups = rig.Pickups();
    pickups.Present.fill(false);
    const int across = static_cast<int>(std::ceil((x - 19) / 72.0));
    const int down = static_cast<int>(std::ceil((y - 19) / 72.0));
    rig.Race().Road()->X = x - 19 - 72 * across;
    rig.Race().Road()->Y = y - 19 - 72 * down;
    pickups.Present[1] = true;
    pickups.PickupColumn[1] = rig.State().ViewColumn + across;
    pickups.PickupRow[1] = rig.State().ViewRow + down;
    pickups.PickupKind[1] = static_cast<std::uint8_t>(kind);
    pickups.PickupFrame[1] = frame;
}

TEST(Pickups, LieOnStraightRowsWithAtMostOneLifePerLevel) {
    for (const int level : {1, 5, 10}) {
        RivalRig rig(level);
        RaceState& race = rig.State();
        TBonus& pickups = rig.Pickups();
        int levelsWithLife = 0;
        int placed = 0;
        for (std::uint64_t seed = 1; seed <= 25; ++seed) {
            SCOPED_TRACE("level " + std::to_string(level) + " seed " + std::to_string(seed));
            rig.Form().Rng.Seed(seed);
            GenerateTrack(race, rig.Form().Rng);
            pickups.PlacePickups();
            EXPECT_LE(pickups.PresentCount(), race.BonusCount);
            int lives = 0;
            for (int s = 1; s <= TBonus::kSlots; ++s) {
                const auto i = static_cast<std::size_t>(s);
                if (!pickups.Present[i]) continue;
                ++placed;
                ASSERT_LE(s, race.BonusCount);
                const int row = pickups.PickupRow[i];
                ASSERT_GE(row, 1549 - race.TrackRows);
                ASSERT_LE(row, 1494);
                // On the last straight left edge of its map row, or one of the three tiles
                // after it.
                int lastEdge = -1;
                for (int c = 0; c < kMapColumns; ++c) {
                    if (race.TileAt(row - 1, c) == 10) lastEdge = c;
                }
                ASSERT_GE(lastEdge, 0);
                const int lane = pickups.PickupColumn[i] - 1 - lastEdge;
                EXPECT_GE(lane, 0);
                EXPECT_LE(lane, 3);
                const int tile = race.TileAt(row - 1, pickups.PickupColumn[i] - 1);
                EXPECT_TRUE(tile == 10 || tile == 11 || tile == 12) << tile;
                const int kind = pickups.PickupKind[i];
                EXPECT_GE(kind, 1);
                EXPECT_LE(kind, 5);
                if (kind == 5) ++lives;
                const double frame = pickups.PickupFrame[i];
                EXPECT_GE(frame, 0);
                EXPECT_LE(frame, 3.9);
                EXPECT_NEAR(frame * 10, std::round(frame * 10), 1e-9);
            }
            EXPECT_LE(lives, 1);
            if (lives == 1) ++levelsWithLife;
        }
        // Not a rule, but with 25 tracks a level without any life pickup would be suspicious.
        EXPECT_GT(levelsWithLife, 0) << "level " << level;
        EXPECT_GT(placed, 25 * race.BonusCount / 2) << "level " << level;
    }
}

TEST(Pickups, OnlyTheLevelsCountOfSlotsIsFilled) {
    RivalRig rig(3);
    TBonus& pickups = rig.Pickups();
    // More pickups than slots asked for: the slots end at 400.
    rig.State().BonusCount = 1000;
    pickups.PlacePickups();
    EXPECT_LE(pickups.PresentCount(), TBonus::kSlots);
    rig.State().BonusCount = 0;
    pickups.PlacePickups();
    EXPECT_EQ(pickups.PresentCount(), 0);
}

TEST(Pickups, TouchTestStaysInsideTheWindowAndUsesTheFourCorners) {
    const struct {
        const char* name;
        int x, y;          // the pickup's top-left point on the screen
        int bikeX, bikeY;  // the bike's top-left corner (its hit square is Width wide)
        bool collected;
    } cases[] = {
        {"right edge of the window", 720, 300, 700, 290, true},
        {"past the right edge", 721, 300, 700, 290, false},
        {"left edge of the window", -20, 300, -40, 290, true},
        {"past the left edge", -21, 300, -40, 290, false},
        {"bottom edge of the window", 300, 620, 290, 600, true},
        {"past the bottom edge", 300, 621, 290, 600, false},
        {"top edge of the window", 300, -20, 290, -40, true},
        {"past the top edge", 300, -21, 290, -40, false},
        {"only the bottom-right corner", 300, 300, 335, 334, true},
        {"only the top-right corner", 300, 300, 335, 300 - 63, true},
        {"only the bottom-left corner", 300, 300, 300 - 63, 334, true},
        {"just beside the box", 300, 300, 336, 334, false},
        {"just below the box", 300, 300, 335, 335, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RivalRig rig(1);
        rig.PassLevelStart();
        TPlayer& bike = rig.Bike();
        ASSERT_EQ(bike.Width, 63);
        PutPickup(rig, 1, c.x, c.y);
        ASSERT_EQ(rig.Pickups().ScreenX(1), c.x);
        ASSERT_EQ(rig.Pickups().ScreenY(1), c.y);
        // Keep the rider away from the bike's new place.
        rig.Rivals().PosX[1] = -100000;
        bike.X = c.bikeX;
        bike.Y = c.bikeY;
        const int score = rig.State().Score;
        // The move pass alone: the bike's drawing would put it back at (400, 400).
        rig.Form().MDXSpriteEngine.Move(1);
        EXPECT_EQ(!rig.Pickups().Present[1], c.collected);
        EXPECT_EQ(rig.State().Score - score, c.collected ? 10 : 0);
    }
}

TEST(Pickups, EachKindGivesItsPointsLifeAndSound) {
    const struct {
        int kind, livesBefore;
        int points, livesAfter, sound;
    } cases[] = {
        {1, 3, 10, 3, 14}, {2, 3, 20, 3, 14}, {3, 2, 50, 2, 14}, {4, 1, 100, 1, 14},
        {5, 2, 50, 3, 15}, {5, 3, 50, 3, 15}, {5, 1, 50, 2, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " lives " + std::to_string(c.livesBefore));
        RivalRig rig(1);
        rig.PassLevelStart();
        rig.State().Lives = c.livesBefore;
        rig.State().Score = 1000;
        // Under the bike, which stands at (400, 400).
        PutPickup(rig, c.kind, 390, 390);
        const int points = rig.Starts(14);
        const int life = rig.Starts(15);
        rig.Frames(1);
        EXPECT_FALSE(rig.Pickups().Present[1]);
        EXPECT_EQ(rig.State().Score, 1000 + c.points);
        EXPECT_EQ(rig.State().Lives, c.livesAfter);
        EXPECT_EQ(rig.Starts(14) - points, c.sound == 14 ? 1 : 0);
        EXPECT_EQ(rig.Starts(15) - life, c.sound == 15 ? 1 : 0);
        // Collected once only.
        rig.Frames(5);
        EXPECT_EQ(rig.State().Score, 1000 + c.points);
    }
}

TEST(Pickups, AnimationWrapsAfterFourAndDrawsTheTruncatedFrame) {
    const struct {
        int fps;
        double before, after;
        int pattern;  // drawn by the next frame
    } cases[] = {
        {85, 1.85, 1.95, 1},
        {85, 3.85, 3.95, 3},
        {85, 3.95, 0, 0},
        {85, 0, 0.1, 0},
        {60, 2.5, 2.5 + 0.1 * 85 / 60.0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        RivalRig rig(1, c.fps);
        rig.PassLevelStart();
        const int kind = 3;
        PutPickup(rig, kind, 200, 150, c.before);
        const double sf = rig.Game().SpeedFactor;
        rig.Frames(1);
        ASSERT_TRUE(rig.Pickups().Present[1]);
        EXPECT_NEAR(rig.Pickups().PickupFrame[1], c.before == 3.95 ? 0 : c.before + 0.1 * sf, 1e-9);
        EXPECT_NEAR(rig.Pickups().PickupFrame[1], c.after, 1e-3);
        // The road does not move while the bike stands: the pickup stays where it was put.
        rig.Frames(1);
        EXPECT_EQ(rig.Pixel(200 + 17, 150 + 17), PatternPixel(TBonus::PictureOf(kind), c.pattern));
        EXPECT_EQ(rig.Pixel(200 + 34, 150 + 33), PatternPixel(TBonus::PictureOf(kind), c.pattern));
        EXPECT_NE(rig.Pixel(200 + 36, 150 + 17), PatternPixel(TBonus::PictureOf(kind), c.pattern));
    }
}

TEST(Pickups, ANewLevelLaysFreshPickups) {
    RivalRig rig(1);
    rig.PassLevelStart();
    TBonus& pickups = rig.Pickups();
    pickups.Present.fill(false);
    rig.Bike().StartLevelRun(true);
    EXPECT_EQ(rig.State().BonusCount, 20);
    EXPECT_GT(pickups.PresentCount(), 10);
    EXPECT_LE(pickups.PresentCount(), 20);
    for (int s = 1; s <= 20; ++s) {
        const auto i = static_cast<std::size_t>(s);
        if (pickups.Present[i]) {
            EXPECT_GE(pickups.PickupRow[i], 1549 - 500);
        }
    }
}

}  // namespace
}  // namespace vrumbal::test
