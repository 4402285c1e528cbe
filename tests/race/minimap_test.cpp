#include "race/minimap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/sprite.h"
#include "game/race_state.h"
#include "race/player.h"

namespace vrumbal {
namespace {

constexpr int kViewRow = 100;
constexpr int kViewColumn = 200;

// A race whose view window starts at (kViewRow, kViewColumn) on an empty map.
std::unique_ptr<RaceState> EmptyRace() {
    auto race = std::make_unique<RaceState>();
    race->ViewRow = kViewRow;
    race->ViewColumn = kViewColumn;
    return race;
}

// Puts tiles into window row i from window column j on.
void PutTiles(RaceState& race, int i, int j, std::initializer_list<int> tiles) {
    int column = race.ViewColumn + j - 1;
    for (const int t : tiles) race.SetTile(race.ViewRow + i - 1, column++, t);
}

// A straight road (10 11 11 12) in every window row, its left edge at window column j.
void StraightRoad(RaceState& race, int j) {
    for (int i = 1; i <= kMinimapRows; ++i) PutTiles(race, i, j, {10, 11, 11, 12});
}

struct MarkCase {
    const char* name;
    std::initializer_list<int> tiles;  // from window column 4 on
    int codes[3];                      // codes expected in window columns 4, 5, 6
};

TEST(MinimapGrid, TheTileLeftOfTheFirstLaneTileChoosesTheMarks) {
    const MarkCase cases[] = {
        {"straight", {10, 11, 11, 12}, {0, 6, 0}},    {"bend right", {33, 11, 11}, {20, 10, 0}},
        {"diagonal left", {27, 11, 11}, {0, 40, 30}}, {"diagonal right", {45, 11, 11}, {0, 1, 2}},
        {"bend left", {39, 11, 11}, {3, 4, 0}},       {"start line", {24, 24, 24, 24}, {0, 7, 0}},
        {"other edge", {12, 11, 11}, {0, 0, 0}},      {"no lane", {10, 12, 13}, {0, 0, 0}},
    };
    for (const MarkCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto race = EmptyRace();
        PutTiles(*race, 6, 4, c.tiles);
        const MinimapGrid grid = BuildMinimapGrid(*race);
        for (int j = 1; j <= kMinimapColumns; ++j) {
            const int want = j >= 4 && j <= 6 ? c.codes[j - 4] : 0;
            EXPECT_EQ(grid.At(j, 6), want) << "column " << j;
        }
        for (int i = 1; i <= kMinimapRows; ++i) {
            if (i != 6) {
                EXPECT_EQ(grid.FirstMarkedColumn(i), 0) << "row " << i;
            }
        }
    }
}

TEST(MinimapGrid, OnlyTheFirstLaneTileOfARowCounts) {
    auto race = EmptyRace();
    // A lane tile with a plain edge first: the row stays empty although a good piece follows.
    PutTiles(*race, 3, 2, {12, 11, 0, 0, 10, 11});
    PutTiles(*race, 4, 2, {24, 0, 0, 10, 11});
    const MinimapGrid grid = BuildMinimapGrid(*race);
    EXPECT_EQ(grid.FirstMarkedColumn(3), 0);
    EXPECT_EQ(grid.FirstMarkedColumn(4), 3);
    EXPECT_EQ(grid.At(3, 4), 7);
    EXPECT_EQ(grid.At(6, 4), 0);
}

TEST(MinimapGrid, MarksBeyondTheWindowEdgesAreDropped) {
    auto race = EmptyRace();
    PutTiles(*race, 2, 0, {33, 11});   // bend right with its lane tile in column 1
    PutTiles(*race, 3, 15, {27, 11});  // diagonal left with its lane tile in column 16
    PutTiles(*race, 4, 16, {24});      // start line in the last column
    const MinimapGrid grid = BuildMinimapGrid(*race);
    EXPECT_EQ(grid.At(1, 2), 10);
    EXPECT_EQ(grid.At(16, 3), 40);
    EXPECT_EQ(grid.FirstMarkedColumn(4), 0);
    EXPECT_EQ(grid.At(0, 2), 0);
    EXPECT_EQ(grid.At(17, 3), 0);
}

TEST(MinimapGrid, NeverReadsPastTheMapsEdges) {
    // Rows are stored one after another, so a read left of column 0 or right of column 649
    // would land in the neighbouring row: such cells must count as off the map.
    auto race = EmptyRace();
    race->ViewColumn = 0;
    race->SetTile(kViewRow + 5, 0, 11);
    race->SetTile(kViewRow + 4, kMapColumns - 1, 10);
    MinimapGrid grid = BuildMinimapGrid(*race);
    EXPECT_EQ(grid.FirstMarkedColumn(6), 0) << "the lane tile's left neighbour is off the map";

    race = EmptyRace();
    race->ViewColumn = kMapColumns - 10;
    race->SetTile(kViewRow + 6, 2, 10);
    race->SetTile(kViewRow + 6, 3, 11);
    grid = BuildMinimapGrid(*race);
    EXPECT_EQ(grid.FirstMarkedColumn(6), 0) << "columns past 649 are off the map";

    // Windows reaching over the top and the bottom of the map.
    for (const int viewRow : {-5, kMapRows - 7, kMapRows - 1, kMapRows + 3}) {
        SCOPED_TRACE(viewRow);
        race = EmptyRace();
        race->ViewRow = viewRow;
        for (int row = 0; row < kMapRows; ++row) {
            race->SetTile(row, kViewColumn + 2, 10);
            race->SetTile(row, kViewColumn + 3, 11);
        }
        grid = BuildMinimapGrid(*race);
        for (int i = 1; i <= kMinimapRows; ++i) {
            const int row = viewRow + i - 1;
            const bool onMap = row >= 0 && row < kMapRows;
            EXPECT_EQ(grid.At(4, i), onMap ? 6 : 0) << "window row " << i;
        }
        // Drawing such a window works too.
        EXPECT_GE(MinimapMarks(*race, 0, nullptr).size(), 3u);
    }
}

// The mark of one picture in one window row (its y is known from the scroll).
std::vector<MinimapMark> MarksInRow(const std::vector<MinimapMark>& all, int y) {
    std::vector<MinimapMark> row;
    std::copy_if(all.begin(), all.end(), std::back_inserter(row),
                 [y](const MinimapMark& m) { return m.picture <= 9 && m.y == y; });
    return row;
}

TEST(MinimapMarks, AStraightRoadIsDrawnAtX713WhateverItsColumnAndScroll) {
    for (const int j : {1, 5, 13}) {
        for (const double roadY : {0.0, -10.0, -36.0, -71.0}) {
            SCOPED_TRACE("column " + std::to_string(j) + " roadY " + std::to_string(roadY));
            auto race = EmptyRace();
            StraightRoad(*race, j);
            const std::vector<MinimapMark> marks = MinimapMarks(*race, roadY, nullptr);
            const int scroll = RoundHalfEven(roadY / 72 * 15);
            int drawnRows = 0;
            for (int i = 1; i <= kMinimapRows; ++i) {
                const std::vector<MinimapMark> row = MarksInRow(marks, scroll + 15 * i + 31);
                if (i == kMinimapRows) {
                    EXPECT_TRUE(row.empty()) << "row 12 is built but not drawn";
                    continue;
                }
                ASSERT_EQ(row.size(), 1u) << "row " << i;
                EXPECT_EQ(row[0].picture, 4);
                EXPECT_EQ(row[0].x, 713);
                ++drawnRows;
            }
            EXPECT_EQ(drawnRows, 11);
        }
    }
}

TEST(MinimapMarks, DiagonalReferencesSlideSidewaysWithTheScroll) {
    const struct {
        int edge;      // tile left of the lane
        int code;      // its reference code
        double f0;     // offset at no scroll
        double slope;  // offset change per panel pixel of scroll
    } cases[] = {
        {45, 1, 9, 0.36208},   {39, 3, 14, 0.36208}, {33, 20, 8, -0.36208},
        {27, 40, 3, -0.36208}, {10, 6, 4, 0},
    };
    for (const auto& c : cases) {
        for (const double roadY : {0.0, -36.0, -60.0}) {
            SCOPED_TRACE("code " + std::to_string(c.code) + " roadY " + std::to_string(roadY));
            auto race = EmptyRace();
            PutTiles(*race, 6, 6, {c.edge, 11, 11});
            const MinimapGrid grid = BuildMinimapGrid(*race);
            const int jr = grid.FirstMarkedColumn(6);
            ASSERT_EQ(grid.At(jr, 6), c.code);
            const double s = roadY / 72 * 15;
            const double f = c.f0 + c.slope * s;
            EXPECT_NEAR(MinimapShiftX(grid, roadY), 717 - (631 + 10 * (jr - 1) + f), 1e-9);
            const int scroll = RoundHalfEven(s);
            const std::vector<MinimapMark> row =
                MarksInRow(MinimapMarks(*race, roadY, nullptr), scroll + 15 * 6 + 31);
            ASSERT_FALSE(row.empty());
            EXPECT_EQ(row[0].x, RoundHalfEven(717 - f)) << "the reference stays under the bike";
        }
    }
}

TEST(MinimapMarks, WithoutARoadMarkInRowSixTheNearestRowServes) {
    auto race = EmptyRace();
    PutTiles(*race, 4, 9, {10, 11, 11});
    PutTiles(*race, 10, 2, {10, 11, 11});
    const std::vector<MinimapMark> marks = MinimapMarks(*race, 0, nullptr);
    const std::vector<MinimapMark> row4 = MarksInRow(marks, 15 * 4 + 31);
    ASSERT_EQ(row4.size(), 1u);
    EXPECT_EQ(row4[0].x, 713);

    race = EmptyRace();
    const std::vector<MinimapMark> none = MinimapMarks(*race, -20, nullptr);
    ASSERT_EQ(none.size(), 3u) << "an empty window shows only the fixed pictures";
}

TEST(MinimapMarks, FixedPicturesComeLastAtTheirPlaces) {
    auto race = EmptyRace();
    StraightRoad(*race, 4);
    const std::vector<MinimapMark> marks = MinimapMarks(*race, -30, nullptr);
    ASSERT_GE(marks.size(), 3u);
    const MinimapMark* last = &marks[marks.size() - 3];
    EXPECT_EQ(last[0].picture, 12);
    EXPECT_EQ(last[0].x, 626);
    EXPECT_EQ(last[0].y, 0);
    EXPECT_EQ(last[1].picture, 13);
    EXPECT_EQ(last[1].x, 626);
    EXPECT_EQ(last[1].y, 195);
    EXPECT_EQ(last[2].picture, 11);
    EXPECT_EQ(last[2].x, 708);
    EXPECT_EQ(last[2].y, 116);
}

// Riders for the minimap: only what it reads is filled in.
class FakeRivals final : public BikeRivals {
public:
    RivalInfo riders[6];
    RivalInfo Rider(int r) const override { return riders[r]; }
    void SetRiderTouching(int, bool) override {}
    void SetRiderSpeed(int, double) override {}
    void SetRiderHeading(int, double) override {}
    void SetRiderHitCount(int, int) override {}
    void CrashRider(int) override {}
};

// A rider in view whose centre is rel panel pixels below the window's top map row.
RivalInfo RiderAt(double relPanel) {
    RivalInfo r;
    r.active = true;
    r.onScreen = true;
    r.centreY = 72.0 * kViewRow + relPanel / 15 * 72;
    return r;
}

std::vector<MinimapMark> RivalMarks(const std::vector<MinimapMark>& all) {
    std::vector<MinimapMark> found;
    std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                 [](const MinimapMark& m) { return m.picture == 10; });
    return found;
}

TEST(MinimapRivals, MarkersFollowTheRoadOfTheirRow) {
    const struct {
        const char* name;
        double rel;  // panel pixels below the top row
        double roadY;
        bool drawn;
        int x, y;  // when drawn
    } cases[] = {
        // yy = 75 - 14 + 32 = 93: row 6, straight: x = 0 + 631 + 717 - 635 - 15 - 10 = 708
        {"row 6", 75, 0, true, 708, 46 + 61},
        {"scrolled", 75, -36, true, 708, -8 + 46 + 61},
        {"row 11", 150, 0, true, 708, 46 + 136},
        // yy = 188: row 12, but y = 46 + 156 = 202 lies below the window
        {"below the window", 170, 0, false, 0, 0},
        // yy = -15 + 18 = 3: row 0
        {"above the window", -15, 0, false, 0, 0},
        {"far above", -200, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto race = EmptyRace();
        StraightRoad(*race, 5);
        FakeRivals rivals;
        rivals.riders[3] = RiderAt(c.rel);
        const std::vector<MinimapMark> found = RivalMarks(MinimapMarks(*race, c.roadY, &rivals));
        ASSERT_EQ(found.size(), c.drawn ? 1u : 0u);
        if (!c.drawn) continue;
        EXPECT_EQ(found[0].x, c.x);
        EXPECT_EQ(found[0].y, c.y);
    }
}

TEST(MinimapRivals, OnlyActiveRidersInViewOnARoadRowAreMarked) {
    auto race = EmptyRace();
    // Road only in rows 1..5; row 6 and below are empty.
    for (int i = 1; i <= 5; ++i) PutTiles(*race, i, 5, {10, 11, 11});
    FakeRivals rivals;
    rivals.riders[1] = RiderAt(30);  // row 3: marked
    rivals.riders[2] = RiderAt(30);
    rivals.riders[2].active = false;
    rivals.riders[3] = RiderAt(30);
    rivals.riders[3].onScreen = false;
    rivals.riders[4] = RiderAt(105);  // row 8 has no road mark
    rivals.riders[5] = RiderAt(45);   // row 4: marked
    const std::vector<MinimapMark> found = RivalMarks(MinimapMarks(*race, 0, &rivals));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].y, 46 + 16);
    EXPECT_EQ(found[1].y, 46 + 31);
}

TEST(MinimapRivals, DiagonalRowsShiftTheMarkerByItsHeightInTheRow) {
    const struct {
        int edge, code;
        double u0, slope;
    } cases[] = {
        {45, 1, 9, -0.36208},  {39, 3, 14, -0.36208}, {33, 20, 4, 0.36208},
        {27, 40, -1, 0.36208}, {10, 6, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        auto race = EmptyRace();
        for (int i = 1; i <= kMinimapRows; ++i) PutTiles(*race, i, 6, {c.edge, 11, 11});
        FakeRivals rivals;
        rivals.riders[1] = RiderAt(80);  // yy = 98: row 6, 8 pixels into it
        const MinimapGrid grid = BuildMinimapGrid(*race);
        const int l = grid.FirstMarkedColumn(6);
        const double shiftX = MinimapShiftX(grid, 0);
        const double u = c.u0 + c.slope * 8;
        const std::vector<MinimapMark> found = RivalMarks(MinimapMarks(*race, 0, &rivals));
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].x, RoundHalfEven(u + 10 * l + 631 + shiftX - 15));
    }
}

}  // namespace
}  // namespace vrumbal
