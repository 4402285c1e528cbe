#include "race/scroll_background.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/library_data.h"
#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"
#include "race/quad.h"

namespace vrumbal {
namespace {

PictureItemData Item(int width, int height, int patternWidth, int patternHeight) {
    PictureItemData data;
    data.patternWidth = patternWidth;
    data.patternHeight = patternHeight;
    data.picture.width = width;
    data.picture.height = height;
    data.picture.pixels.assign(static_cast<std::size_t>(width) * height, 0x404040);
    return data;
}

// A sprite tree with a menu picture in list 1 (item 1, 800 x 600) and road tiles in list 2
// (item 1, 72 x 72 patterns), and the race and game state a road needs.
struct RoadRig {
    TSpriteEngine root;
    TPictureCollection list1, list2;
    SpriteContext context;
    RaceState race;
    GameState game;

    RoadRig() {
        list1.Add(Item(8, 8, 0, 0));
        list1.Add(Item(800, 600, 0, 0));
        list2.Add(Item(8, 8, 0, 0));
        list2.Add(Item(72 * 8, 72 * 10, 72, 72));
        context.engine = &root;
        context.imageList1 = &list1;
        context.imageList2 = &list2;
        game.ScreenKind = kScreenRace;
        game.SpeedFactor = 1.0;
    }
    TScrollBackground* Road() {
        return TScrollBackground::Create(context, race, game, 2, 1, 13, 10);
    }
};

TEST(ScrollBackground, CreateSetsUpTheRoadAndTheMenuBackground) {
    RoadRig rig;
    rig.race.BikeVelX = 3;
    rig.race.BikeVelY = -4;
    TScrollBackground* road = rig.Road();
    EXPECT_EQ(road->Z(), 2);
    EXPECT_EQ(road->MapWidth(), 13);
    EXPECT_EQ(road->MapHeight(), 10);
    EXPECT_EQ(road->Chip(12, 9), 0);
    EXPECT_EQ(road->Width, 72);  // one chip, what the scroll wraps by
    EXPECT_EQ(road->Height, 72);
    EXPECT_EQ(road->BoundsRect().right, 13 * 72);
    EXPECT_EQ(rig.race.BikeVelX, 0);
    EXPECT_EQ(rig.race.BikeVelY, 0);
    EXPECT_FALSE(road->Dying());

    TScrollBackground* menu =
        TScrollBackground::Create(rig.context, rig.race, rig.game, 1, 1, 1, 1);
    EXPECT_EQ(menu->Width, 800);
    EXPECT_EQ(menu->Image(), &rig.list1.Items(1));
    menu->SetPictureFrom(1, 2);
    EXPECT_EQ(menu->ImageList, 2);
    EXPECT_EQ(menu->Width, 72);
    menu->SetPicture(99);  // no such picture: no picture rather than a fault
    EXPECT_EQ(menu->Image(), nullptr);
    EXPECT_EQ(menu->Width, 0);

    road->KillOnce();
    road->KillOnce();
    EXPECT_TRUE(road->Dying());
    EXPECT_EQ(rig.root.KillList().size(), 1u);
}

TEST(ScrollBackground, ScrollsAndStepsTheWindowByWholeTiles) {
    struct Frame {
        double x, y;
        int viewColumn, viewRow;
    };
    struct Case {
        const char* name;
        double velX, velY, speedFactor;
        double startX, startY;
        int viewColumn, viewRow;
        std::vector<Frame> frames;  // after each move
    };
    const std::vector<Case> cases = {
        {"down at 10 passes 0 and steps a row up the map",
         0,
         10,
         1,
         0,
         -12,
         318,
         1478,
         {{0, -7, 318, 1478}, {0, -2, 318, 1478}, {0, -69, 318, 1477}, {0, -64, 318, 1477}}},
        {"at the top row the scroll wraps but the row stays",
         0,
         10,
         1,
         0,
         -2,
         318,
         0,
         {{0, -69, 318, 0}, {0, -64, 318, 0}}},
        {"no sideways speed, no sideways change",
         0,
         0,
         1,
         0,
         0,
         318,
         1478,
         {{0, 0, 318, 1478}, {0, 0, 318, 1478}}},
        {"riding right moves the ground left and the window right",
         -10,
         0,
         1,
         -68,
         0,
         318,
         1478,
         {{-1, 0, 319, 1478}, {-6, 0, 319, 1478}}},
        {"at the right edge the window stays", -10, 0, 1, -70, 0, 637, 1478, {{-3, 0, 637, 1478}}},
        {"riding left at column 0 stays", 10, 0, 1, -2, 0, 0, 1478, {{-69, 0, 0, 1478}}},
        {"riding left steps a column", 10, 0, 1, -2, 0, 5, 1478, {{-69, 0, 4, 1478}}},
        {"backward at the bottom edge the row stays",
         0,
         -10,
         1,
         0,
         -70,
         318,
         1490,
         {{0, -3, 318, 1490}}},
        {"backward steps a row down", 0, -10, 1, 0, -70, 318, 1400, {{0, -3, 318, 1401}}},
        {"a slow frame rate moves twice as far",
         0,
         10,
         2,
         0,
         -12,
         318,
         1478,
         {{0, -2, 318, 1478}, {0, -64, 318, 1477}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RoadRig rig;
        TScrollBackground* road = rig.Road();
        rig.race.BikeVelX = c.velX;
        rig.race.BikeVelY = c.velY;
        rig.game.SpeedFactor = c.speedFactor;
        rig.race.ViewColumn = c.viewColumn;
        rig.race.ViewRow = c.viewRow;
        road->X = c.startX;
        road->Y = c.startY;
        for (const Frame& f : c.frames) {
            rig.root.Move(1);
            EXPECT_DOUBLE_EQ(road->X, f.x);
            EXPECT_DOUBLE_EQ(road->Y, f.y);
            EXPECT_EQ(rig.race.ViewColumn, f.viewColumn);
            EXPECT_EQ(rig.race.ViewRow, f.viewRow);
        }
    }
}

// A bike that records its hits.
class FakeBike final : public BikeContactTarget {
public:
    Quad corners{};
    bool canHit = true;
    int hits = 0;
    Quad ScreenCorners() const override { return corners; }
    bool CanHitObstacle() const override { return canHit; }
    void HitObstacle() override { ++hits; }
};

Quad Box(double l, double t, double r, double b) {
    return Quad{QuadPoint{l, t}, QuadPoint{r, t}, QuadPoint{r, b}, QuadPoint{l, b}};
}

TEST(ScrollBackground, HitsTheBikeWhenItsCornersMeetASolidTile) {
    // Window chip (j, i) = (6, 5) shows cell (ViewRow + 4, ViewColumn + 5) at screen
    // (432, 360); a left kerb's solid part is its right half, x 470..504 on the screen.
    struct Case {
        const char* name;
        int tile;
        Quad bike;
        bool canHit;
        std::uint8_t screen;
        double roadX;
        int hits;
    };
    const std::vector<Case> cases = {
        {"bike on the kerb", 1, Box(480, 380, 490, 390), true, kScreenRace, 0, 1},
        {"bike on the kerb but already down", 1, Box(480, 380, 490, 390), false, kScreenRace, 0, 0},
        {"bike on the tile's free half", 1, Box(440, 380, 460, 390), true, kScreenRace, 0, 0},
        {"the scroll brings the kerb under the bike", 1, Box(440, 380, 460, 390), true, kScreenRace,
         -25, 1},
        {"a right kerb's left half", 13, Box(440, 380, 460, 390), true, kScreenRace, 0, 1},
        {"road is not solid", 11, Box(430, 350, 510, 440), true, kScreenRace, 0, 0},
        {"the start line is not solid", 24, Box(430, 350, 510, 440), true, kScreenRace, 0, 0},
        {"no contacts off the race screen", 1, Box(480, 380, 490, 390), true, kScreenMainMenu, 0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RoadRig rig;
        rig.game.ScreenKind = c.screen;
        TScrollBackground* road = rig.Road();
        FakeBike bike;
        bike.corners = c.bike;
        bike.canHit = c.canHit;
        road->SetBikeTarget(&bike);
        rig.race.ViewRow = 700;
        rig.race.ViewColumn = 300;
        rig.race.SetTile(704, 305, static_cast<std::uint8_t>(c.tile));
        road->X = c.roadX;
        rig.root.Move(1);
        EXPECT_EQ(bike.hits, c.hits);
    }
}

TEST(ScrollBackground, TestsEveryWindowCellAgainstTheBike) {
    // A bike covering the whole screen meets every solid cell of the window, and only those.
    RoadRig rig;
    TScrollBackground* road = rig.Road();
    FakeBike bike;
    bike.corners = Box(-1000, -1000, 2000, 2000);
    road->SetBikeTarget(&bike);
    rig.race.ViewRow = 100;
    rig.race.ViewColumn = 100;
    std::fill(rig.race.TrackMap.begin(), rig.race.TrackMap.end(), 1);
    rig.root.Move(1);
    EXPECT_EQ(bike.hits, 130);
}

// Riders 1..5 with positions in world pixels, recording their crashes.
class FakeRivals final : public RivalContactTarget {
public:
    struct Rider {
        bool active = false;
        bool crashed = false;
        QuadPoint centre;
        int hits = 0;
    };
    std::array<Rider, 6> riders;
    bool RiderActive(int r) const override { return riders[static_cast<std::size_t>(r)].active; }
    QuadPoint RiderCentre(int r) const override {
        return riders[static_cast<std::size_t>(r)].centre;
    }
    Quad RiderCorners(int r) const override {
        const QuadPoint c = riders[static_cast<std::size_t>(r)].centre;
        return Box(c.x - 8, c.y - 8, c.x + 8, c.y + 8);
    }
    bool RiderCrashed(int r) const override { return riders[static_cast<std::size_t>(r)].crashed; }
    void RiderHitObstacle(int r) override {
        auto& rider = riders[static_cast<std::size_t>(r)];
        ++rider.hits;
        rider.crashed = true;
    }
};

TEST(ScrollBackground, CrashesRidersOnSolidTilesAndNothingPastTheMapIsSolid) {
    // Cell (r, c) lies at world (72 (c + 1), 72 (r + 1)); a right kerb is solid in its left half.
    struct Case {
        const char* name;
        bool fillMap;  // every cell a right kerb, else only cell (0, 0)
        QuadPoint centre;
        bool active, crashed;
        int hits;
    };
    const std::vector<Case> cases = {
        {"on the kerb of cell 0,0", false, {90, 100}, true, false, 1},
        {"beside it on the free half", false, {125, 100}, true, false, 0},
        {"an inactive rider", false, {90, 100}, false, false, 0},
        {"a rider already down", false, {90, 100}, true, true, 0},
        {"left of and above the map", true, {20, 20}, true, false, 0},
        {"far above the map", true, {5000, -3000}, true, false, 0},
        {"below the map's last row", true, {5000, 72 * 1505 + 10}, true, false, 0},
        {"right of the last column", true, {72 * 655 + 10, 5000}, true, false, 0},
        {"on the last column's kerb", true, {72 * 650 + 10, 72 * 1500 + 10}, true, false, 1},
        {"far beyond every edge", true, {1e12, -1e12}, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RoadRig rig;
        TScrollBackground* road = rig.Road();
        if (c.fillMap) {
            std::fill(rig.race.TrackMap.begin(), rig.race.TrackMap.end(), 13);
        } else {
            rig.race.SetTile(0, 0, 13);
        }
        FakeRivals rivals;
        auto& rider = rivals.riders[3];
        rider.active = c.active;
        rider.crashed = c.crashed;
        rider.centre = c.centre;
        road->SetRivalTarget(&rivals);
        rig.root.Move(1);
        EXPECT_EQ(rider.hits, c.hits);
        for (int r : {1, 2, 4, 5}) EXPECT_EQ(rivals.riders[static_cast<std::size_t>(r)].hits, 0);
    }
}

}  // namespace
}  // namespace vrumbal
