#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/background_sprite.h"
#include "engine/random.h"
#include "game/level_tables.h"
#include "game/race_state.h"
#include "race/track_generator.h"
#include "race/track_steps.h"

namespace vrumbal {
namespace {

constexpr int kStartRow = 1478;

std::unique_ptr<RaceState> Generate(int level, std::uint64_t seed) {
    auto race = std::make_unique<RaceState>();
    race->Level = level;
    race->TrackRows = TrackRowsForLevel(level);
    Random rng(seed);
    GenerateTrack(*race, rng);
    return race;
}

bool IsRoadPiece(int tile) {
    return (tile >= 10 && tile <= 12) || (tile >= 24 && tile <= 48);
}

// The columns of a row's two lanes: its 11 tiles, or the middle two of a start or finish line.
std::vector<int> LaneColumns(const RaceState& race, int row) {
    std::vector<int> lanes, line;
    for (int c = 0; c < kMapColumns; ++c) {
        if (race.TileAt(row, c) == 11) lanes.push_back(c);
        if (race.TileAt(row, c) == 24) line.push_back(c);
    }
    if (line.size() == 4) return {line[1], line[2]};
    return lanes;
}

struct LevelCase {
    int level;
    int trackRows;
};

class TrackInvariants : public ::testing::TestWithParam<LevelCase> {};

TEST_P(TrackInvariants, HoldForManySeeds) {
    const LevelCase lc = GetParam();
    ASSERT_EQ(TrackRowsForLevel(lc.level), lc.trackRows);
    const int finish = 1549 - lc.trackRows;
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(::testing::Message() << "level " << lc.level << " seed " << seed);
        const auto race = Generate(lc.level, seed * 7919 + lc.level);
        EXPECT_EQ(race->ViewRow, kStartRow);
        EXPECT_EQ(race->ViewColumn, 318);

        int lines = 0;
        for (std::size_t i = 0; i < race->TrackMap.size(); ++i) {
            const int tile = race->TrackMap[i];
            ASSERT_LE(tile, 73) << "cell " << i << " left unfilled or out of the tile set";
            if (tile == 24) ++lines;
        }
        EXPECT_EQ(lines, 8) << "only the start and the finish line are drawn";
        for (int c = 320; c <= 323; ++c) EXPECT_EQ(race->TileAt(kStartRow, c), 24);

        // The finish spans exactly the four tiles of the straight road below it.
        std::vector<int> finishCells;
        for (int c = 0; c < kMapColumns; ++c) {
            const int tile = race->TileAt(finish, c);
            if (tile == 24) finishCells.push_back(c);
            EXPECT_FALSE(tile != 24 && IsRoadPiece(tile)) << "road beside the finish at " << c;
        }
        ASSERT_EQ(finishCells.size(), 4u);
        const int f = finishCells[0];
        EXPECT_EQ(finishCells[3], f + 3);
        const std::array<int, 4> straight = {10, 11, 11, 12};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(race->TileAt(finish + 1, f + k), straight[k]);

        // From the start line to the finish the lanes run on without a gap: each row's two
        // lanes sit beside each other and at most one column off the row below.
        std::vector<int> below = LaneColumns(*race, kStartRow);
        for (int r = kStartRow - 1; r >= finish; --r) {
            const std::vector<int> lanes = LaneColumns(*race, r);
            ASSERT_EQ(lanes.size(), 2u) << "row " << r;
            ASSERT_EQ(lanes[1], lanes[0] + 1) << "row " << r;
            ASSERT_LE(std::abs(lanes[0] - below[0]), 1) << "row " << r;
            // The centre line lies on the lanes' boundary, or 20 pixels off it on a shift.
            const int boundary = 72 * (lanes[0] + 2);
            EXPECT_LE(std::abs(race->RowRoadX[static_cast<std::size_t>(r)] - boundary), 20)
                << "row " << r;
            below = lanes;
        }

        // Rows 1459..1498 are the straight start block; the last 30 rows before the finish
        // are straight too, and every grown row records a kind 1..5.
        for (int r = 1459; r <= 1498; ++r) EXPECT_EQ(race->SectionKindEntry(r + 2), 1);
        for (int r = finish - 1; r <= finish + 30; ++r) EXPECT_EQ(race->SectionKindEntry(r + 2), 1);
        for (int i = 1501 - lc.trackRows; i <= 1460; ++i) {
            EXPECT_GE(race->SectionKindEntry(i), 1);
            EXPECT_LE(race->SectionKindEntry(i), 5);
        }
        EXPECT_EQ(race->SectionKindEntry(1501), 0) << "row 1499 is never grown";
    }
}

INSTANTIATE_TEST_SUITE_P(AllLevels, TrackInvariants,
                         ::testing::Values(LevelCase{1, 300}, LevelCase{2, 500}, LevelCase{3, 700},
                                           LevelCase{4, 900}, LevelCase{5, 1100},
                                           LevelCase{6, 1300}, LevelCase{7, 1300},
                                           LevelCase{8, 1300}, LevelCase{9, 1300},
                                           LevelCase{10, 1300}),
                         [](const ::testing::TestParamInfo<LevelCase>& info) {
                             return "Level" + std::to_string(info.param.level);
                         });

// The scenery objects, top-left first.
struct Pattern {
    int size;
    std::vector<int> tiles;
};
const std::vector<Pattern>& Objects() {
    static const std::vector<Pattern> objects = {
        {4, {0, 55, 55, 55, 56, 60, 61, 59, 56, 63, 64, 59, 56, 57, 57, 58}},
        {3, {65, 66, 67, 68, 69, 70, 71, 72, 73}},
        {2, {60, 61, 63, 64}},
        {2, {52, 0, 53, 54}},
    };
    return objects;
}

TEST(TrackScenery, GoesOnlyOnEmptyCellsAsWholeObjects) {
    for (const int level : {1, 4, 6}) {
        for (std::uint64_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE(::testing::Message() << "level " << level << " seed " << seed);
            RaceState race;
            race.TrackRows = TrackRowsForLevel(level);
            Random rng(seed);
            track::LayStartBlock(race, rng);
            track::GrowRoad(race, rng);
            track::PaintFinishLine(race);
            const std::vector<std::uint8_t> before = race.TrackMap;
            track::PlaceScenery(race, rng);

            // Every written cell was empty; the written cells split into whole objects, read
            // top to bottom and left to right (each object's top-left cell comes first).
            std::vector<bool> claimed(before.size(), false);
            int objects = 0;
            for (int r = 0; r < kMapRows; ++r) {
                for (int c = 0; c < kMapColumns; ++c) {
                    const std::size_t at = static_cast<std::size_t>(r) * kMapColumns + c;
                    if (race.TrackMap[at] == before[at] || claimed[at]) continue;
                    ASSERT_EQ(before[at], track::kEmptyCell) << "overwrote " << r << "," << c;
                    bool matched = false;
                    for (const Pattern& p : Objects()) {
                        bool fits = true;
                        for (int k = 0; k < p.size * p.size && fits; ++k) {
                            const int rr = r + k / p.size, cc = c + k % p.size;
                            const std::size_t cell =
                                static_cast<std::size_t>(rr) * kMapColumns + cc;
                            fits = rr < kMapRows && cc < kMapColumns && !claimed[cell] &&
                                   before[cell] == track::kEmptyCell &&
                                   race.TrackMap[cell] == p.tiles[static_cast<std::size_t>(k)];
                        }
                        if (!fits) continue;
                        for (int k = 0; k < p.size * p.size; ++k) {
                            claimed[static_cast<std::size_t>(r + k / p.size) * kMapColumns + c +
                                    k % p.size] = true;
                        }
                        matched = true;
                        ++objects;
                        break;
                    }
                    ASSERT_TRUE(matched) << "a broken object at " << r << "," << c;
                }
            }
            // About one cell in twelve starts an object where there is room.
            EXPECT_GT(objects, race.TrackRows * 20);
        }
    }
}

TEST(TrackGenerator, SameSeedSameTrackAndOtherSeedsDiffer) {
    for (const int level : {1, 6, 10}) {
        const auto a = Generate(level, 42);
        const auto b = Generate(level, 42);
        const auto c = Generate(level, 43);
        EXPECT_EQ(a->TrackMap, b->TrackMap);
        EXPECT_EQ(a->RowRoadX, b->RowRoadX);
        EXPECT_EQ(a->RowSectionKind, b->RowSectionKind);
        EXPECT_NE(a->TrackMap, c->TrackMap);
    }
}

TEST(TrackGenerator, KeepsLaneAndSectionEntriesOfRowsItDoesNotGenerate) {
    RaceState race;
    Random rng(5);
    race.TrackRows = 1300;
    GenerateTrack(race, rng);
    const auto oldKinds = race.RowSectionKind;
    const std::int32_t oldRoadX = race.RowRoadX[220];
    ASSERT_NE(oldRoadX, 0);
    race.TrackRows = 300;
    GenerateTrack(race, rng);
    // Level 1 grows rows 1199 and up only: row 220's lane and entry stay from the long track.
    EXPECT_EQ(race.RowRoadX[220], oldRoadX);
    for (int i = 0; i < 1201; ++i) EXPECT_EQ(race.SectionKindEntry(i), oldKinds[i]) << i;
    EXPECT_EQ(std::count(race.TrackMap.begin() + 1249 * kMapColumns,
                         race.TrackMap.begin() + 1250 * kMapColumns, 24),
              4);
}

TEST(TrackGenerator, OddLengthsStayInsideTheMap) {
    struct Case {
        int rows;
        bool reachesTop;  // the road grows up to row 0
    };
    for (const Case c : {Case{1500, true}, Case{2000, true}, Case{INT_MAX, true}, Case{0, false},
                         Case{-5, false}, Case{INT_MIN, false}}) {
        SCOPED_TRACE(c.rows);
        RaceState race;
        race.TrackRows = c.rows;
        Random rng(3);
        GenerateTrack(race, rng);
        EXPECT_EQ(race.TileAt(kStartRow, 320), 24);
        EXPECT_EQ(LaneColumns(race, 0).empty(), !c.reachesTop);
        EXPECT_EQ(std::count(race.TrackMap.begin(), race.TrackMap.end(), 255), 0);
    }
}

TEST(TrackWindow, ShowsTheCellsAboveAndLeftOfTheViewAndNothingBeyondTheMap) {
    RaceState race;
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c)
            race.SetTile(r, c, static_cast<std::uint8_t>((r * 7 + c) % 74));
    }
    struct Case {
        int viewRow, viewColumn;
    };
    for (const Case v : {Case{1478, 318}, Case{0, 0}, Case{1490, 637}, Case{1495, 645}}) {
        race.ViewRow = v.viewRow;
        race.ViewColumn = v.viewColumn;
        TBackgroundSprite road(nullptr);
        road.SetMapSize(13, 10);
        DrawTrackWindow(race, road);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 13; ++x) {
                const int r = v.viewRow + y - 1, c = v.viewColumn + x - 1;
                const bool inside = r >= 0 && r < kMapRows && c >= 0 && c < kMapColumns;
                EXPECT_EQ(road.Chip(x, y), inside ? (r * 7 + c) % 74 : -1)
                    << v.viewRow << "," << v.viewColumn << " chip " << x << "," << y;
            }
        }
    }
}

TEST(TrackWindow, GenerationFillsAGivenRoadWithTheStartWindow) {
    RaceState race;
    race.TrackRows = 300;
    Random rng(8);
    TBackgroundSprite road(nullptr);
    road.SetMapSize(13, 10);
    GenerateTrack(race, rng, &road);
    // Chip (x, y) shows cell (1478 + y - 1, 318 + x - 1): the start line is chip row 1.
    for (int x = 3; x <= 6; ++x) EXPECT_EQ(road.Chip(x, 1), 24);
    EXPECT_EQ(road.Chip(3, 2), 10);
    EXPECT_EQ(road.Chip(6, 0), 12);
}

TEST(LevelTables, FollowTheLevels) {
    const std::array<int, 10> times = {45, 55, 80, 100, 110, 130, 130, 130, 140, 140};
    for (int level = 1; level <= 10; ++level) {
        EXPECT_EQ(TimeLimitSeconds(level), times[static_cast<std::size_t>(level - 1)]);
        EXPECT_EQ(TrackRowsForLevel(level), level <= 5 ? 200 * level + 100 : 1300);
        EXPECT_EQ(BonusCountForLevel(level), 10 * level);
    }
    const std::array<int, 8> bonus = {0, 800, 600, 400, 300, 200, 100, 0};
    for (int place = 0; place < 8; ++place)
        EXPECT_EQ(PlaceBonus(place), bonus[static_cast<std::size_t>(place)]);
}

}  // namespace
}  // namespace vrumbal
