// The race pictures as the content build makes them: every item the race draws is there with
// the size and pattern count the race code relies on, the crash walls cover the contact quads
// of the solid tiles, the lanes show no wall, and the road tiles join without seams in every
// arrangement the track generator lays.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/picture_collection.h"
#include "engine/random.h"
#include "game/level_tables.h"
#include "game/race_state.h"
#include "race/quad.h"
#include "race/track_generator.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

constexpr std::uint32_t kKey = 0xFF00FF;
constexpr int kTile = 72;

// The race pictures the build made, read once for the whole suite.
class RaceArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The build's own content: every test program depends on the content target.
        pictures_ = std::make_unique<TPictureCollection>();
        const auto library = std::filesystem::path(VRUMBAL_BUILD_DIR) / "Data/Res/Res2.dxg";
        loaded_ = std::filesystem::exists(library);
        if (loaded_) pictures_->LoadFromFile(library.string());
    }
    static void TearDownTestSuite() { pictures_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(loaded_) << "the content is not built";
        ASSERT_GE(pictures_->Count(), 43);
    }
    static const PictureItemData& Item(int index) { return pictures_->Items(index).Data(); }
    // Pixel (x, y) of road tile n.
    static std::uint32_t TilePixel(int n, int x, int y) {
        return Item(1).picture.At((n % 10) * kTile + x, (n / 10) * kTile + y);
    }

    static std::unique_ptr<TPictureCollection> pictures_;
    static bool loaded_;
};

std::unique_ptr<TPictureCollection> RaceArt::pictures_;
bool RaceArt::loaded_ = false;

int Red(std::uint32_t c) {
    return (c >> 16) & 0xFF;
}
int Green(std::uint32_t c) {
    return (c >> 8) & 0xFF;
}
int Blue(std::uint32_t c) {
    return c & 0xFF;
}

// The crash walls are red and white blocks, and where two blocks meet a blend of the two;
// nothing else on the road is any of these.
bool IsWall(std::uint32_t c) {
    const int r = Red(c), g = Green(c), b = Blue(c);
    const bool red = r >= 120 && r - g >= 70 && r - b >= 60;
    const int lo = std::min({r, g, b}), hi = std::max({r, g, b});
    const bool white = lo >= 170 && hi - lo <= 30;
    const bool blend = r >= 150 && r - std::max(g, b) >= 20 && std::abs(g - b) <= 15;
    return red || white || blend;
}

struct Expect {
    int index;
    int width;
    int height;
    int patterns;
};

TEST_F(RaceArt, EveryItemHasTheSizeAndPatternsTheRaceDrawsItWith) {
    const std::vector<Expect> expected = {
        {2, 174, 600, 1}, {3, 174, 600, 1}, {4, 101, 14, 1},  {5, 63, 68, 1},   {6, 60, 67, 1},
        {7, 68, 69, 1},   {8, 60, 62, 1},   {9, 56, 68, 1},   {10, 10, 14, 1},  {11, 35, 34, 5},
        {12, 35, 34, 5},  {13, 35, 34, 5},  {14, 35, 34, 5},  {15, 35, 34, 5},  {23, 64, 152, 5},
        {24, 63, 68, 6},  {25, 63, 68, 6},  {26, 72, 158, 7}, {27, 60, 67, 6},  {28, 60, 67, 6},
        {29, 88, 204, 5}, {30, 68, 69, 6},  {31, 68, 69, 6},  {32, 86, 154, 5}, {33, 60, 62, 6},
        {34, 60, 62, 6},  {35, 68, 184, 5}, {36, 56, 68, 6},  {37, 56, 68, 6},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE("item " + std::to_string(e.index));
        TPictureCollectionItem& item = pictures_->Items(e.index);
        EXPECT_EQ(item.Width(), e.width);
        EXPECT_EQ(item.Height(), e.height);
        EXPECT_EQ(item.PatternCount(), e.patterns);
        // Every pattern shows something.
        for (int p = 0; p < e.patterns; ++p) {
            const Picture& pic = item.Data().picture;
            const int cols = pic.width / e.width;
            int drawn = 0;
            for (int y = 0; y < e.height; ++y) {
                for (int x = 0; x < e.width; ++x) {
                    drawn += pic.At((p % cols) * e.width + x, (p / cols) * e.height + y) != kKey;
                }
            }
            EXPECT_GT(drawn, e.width * e.height / 20) << "pattern " << p;
        }
    }
}

TEST_F(RaceArt, RoadTilesAreOneOpaqueSheetOfPatterns) {
    TPictureCollectionItem& road = pictures_->Items(1);
    EXPECT_EQ(road.Width(), kTile);
    EXPECT_EQ(road.Height(), kTile);
    EXPECT_GE(road.PatternCount(), 74);
    EXPECT_TRUE(road.Data().systemMemory);
    EXPECT_FALSE(road.Data().transparent);
    for (std::uint32_t c : road.Data().picture.pixels) ASSERT_NE(c, kKey);
}

TEST_F(RaceArt, FillersAreInvisibleAndIconsFitTheHelpPage) {
    for (int index : {0, 16, 17, 18, 19, 20, 21, 22}) {
        const Picture& p = Item(index).picture;
        EXPECT_TRUE(std::all_of(p.pixels.begin(), p.pixels.end(),
                                [](std::uint32_t c) { return c == kKey; }))
            << "item " << index;
    }
    // The help page centres the icons 60 pixels apart with their captions 32 to the right.
    for (int index = 38; index <= 42; ++index) {
        const TPictureCollectionItem& item = pictures_->Items(index);
        EXPECT_EQ(item.PatternCount(), 1);
        EXPECT_LE(item.Width(), 60);
        EXPECT_LE(item.Height(), 58);
        EXPECT_GE(item.Width(), 30);
    }
}

TEST_F(RaceArt, TheDialIsCentredWhereTheNeedleTurns) {
    const Picture& needle = Item(4).picture;
    // The needle turns about 0.7 of its width and half its height: its hub is there, its tip
    // at the left end.
    const int hubX = static_cast<int>(0.7 * needle.width);
    const int hubY = needle.height / 2;
    EXPECT_NE(needle.At(hubX, hubY), kKey);
    EXPECT_NE(needle.At(20, hubY), kKey);
    EXPECT_EQ(needle.At(0, 0), kKey);
    // Drawn with the anchor (-10, 510), the hub lands on (width - 10, height + 510).
    const double px = needle.width - 10 + 0.7 * needle.width - hubX;
    const double py = needle.height + 510.0;
    const Picture& panel = Item(2).picture;
    auto brightness = [&](double angle, double r) {
        const std::uint32_t c = panel.At(static_cast<int>(px + r * std::cos(angle)),
                                         static_cast<int>(py + r * std::sin(angle)));
        return (Red(c) + Green(c) + Blue(c)) / 3;
    };
    // Around the pivot: a dark face inside, a bright bezel ring at the dial's rim.
    for (int step = 0; step < 8; ++step) {
        const double a = -2.8 + step * 0.3;  // the upper half, where the needle sweeps
        EXPECT_LT(brightness(a, 40), 50) << "face at angle " << a;
        int bezel = 0;
        for (double r = 74; r <= 80; r += 1) bezel = std::max(bezel, brightness(a, r));
        EXPECT_GT(bezel, 80) << "bezel at angle " << a;
    }
}

TEST_F(RaceArt, WallsCoverEverySolidQuadAndNoLane) {
    for (int kind = 1; kind <= 32; ++kind) {
        int tile = -1;
        for (int t = 0; t < 74 && tile < 0; ++t) {
            if (ObstacleKind(t) == kind) tile = t;
        }
        ASSERT_GE(tile, 0);
        const Quad& quad = ObstacleQuad(kind);
        int sampled = 0;
        for (int y = 0; y < kTile; y += 2) {
            for (int x = 0; x < kTile; x += 2) {
                // Only points well inside: every point 3 pixels around is inside as well.
                bool inside = true;
                for (int dy = -3; dy <= 3 && inside; dy += 3) {
                    for (int dx = -3; dx <= 3 && inside; dx += 3) {
                        const double qx = x + 0.5 + dx, qy = y + 0.5 + dy;
                        inside = qx > 0 && qx < kTile && qy > 0 && qy < kTile &&
                                 PointInQuad(quad, QuadPoint{qx, qy});
                    }
                }
                if (!inside) continue;
                ++sampled;
                EXPECT_TRUE(IsWall(TilePixel(tile, x, y)))
                    << "tile " << tile << " at (" << x << ", " << y << ")";
            }
        }
        EXPECT_GT(sampled, 10) << "tile " << tile;
    }
    for (int tile : {10, 11, 12}) {
        for (int y = 0; y < kTile; ++y) {
            for (int x = 0; x < kTile; ++x) {
                ASSERT_FALSE(IsWall(TilePixel(tile, x, y)))
                    << "tile " << tile << " at (" << x << ", " << y << ")";
            }
        }
    }
}

// A meeting of two tiles in a generated map: first above (or left of) second.
struct Join {
    int first;
    int second;
    bool below;  // second lies below first (else to its right)
    bool operator<(const Join& o) const {
        return std::tie(first, second, below) < std::tie(o.first, o.second, o.below);
    }
};

// Tiles whose pictures must run on into their neighbours: the verges, the straight road, the
// widened shoulders and the pieces of the shifting sections. Bare ground, the start line, the
// grass and the scenery end the road instead.
bool Judged(int tile) {
    return (tile >= 1 && tile <= 23) || (tile >= 25 && tile <= 48);
}
bool Shifting(int tile) {
    return tile >= 25 && tile <= 48;
}

// Every pair of judged tiles that meet one above the other, and every pair side by side of
// which one is a piece of a shifting section, in the tracks of all levels for a few seeds.
std::set<Join> GeneratedJoins() {
    std::set<Join> joins;
    for (int level = 1; level <= kLevelCount; ++level) {
        for (std::uint64_t seed : {1u, 7u, 2024u}) {
            RaceState race;
            race.Level = level;
            race.TrackRows = TrackRowsForLevel(level);
            Random rng(seed);
            GenerateTrack(race, rng);
            for (int r = 0; r + 1 < kMapRows; ++r) {
                for (int c = 0; c + 1 < kMapColumns; ++c) {
                    const int t = race.TileAt(r, c);
                    if (!Judged(t)) continue;
                    const int below = race.TileAt(r + 1, c);
                    const int right = race.TileAt(r, c + 1);
                    if (Judged(below)) joins.insert({t, below, true});
                    if (Judged(right) && (Shifting(t) || Shifting(right)))
                        joins.insert({t, right, false});
                }
            }
        }
    }
    return joins;
}

// How far the colour step across a join exceeds the steps between neighbouring pixel lines
// inside the two tiles, at the worst stretch of the edge: the largest excess of a window of
// kWindow pixels along the join. A picture that runs on across the join steps there as it
// steps inside; a kerb that stops, or restarts out of step, steps far more over a short part.
struct Seam {
    double excess = 0;  // the worst window's join step minus its inside step
    int at = 0;         // where along the edge that window begins
};
constexpr int kWindow = 6;

TEST_F(RaceArt, RoadTilesJoinWithoutSeamsInGeneratedTracks) {
    // Pixel i along line `across` of a tile (a row when the join is horizontal); the median of
    // it and its two neighbours along the line, so that a lone grain of the ground's texture
    // does not count as a step.
    auto line = [&](int tile, bool below, int across, int i) {
        std::array<std::array<int, 3>, 3> c{};
        for (int d = -1; d <= 1; ++d) {
            const int k = std::clamp(i + d, 0, kTile - 1);
            const std::uint32_t p = below ? TilePixel(tile, k, across) : TilePixel(tile, across, k);
            c[0][d + 1] = Red(p);
            c[1][d + 1] = Green(p);
            c[2][d + 1] = Blue(p);
        }
        for (auto& channel : c) std::sort(channel.begin(), channel.end());
        return std::array<int, 3>{c[0][1], c[1][1], c[2][1]};
    };
    auto step = [](const std::array<int, 3>& p, const std::array<int, 3>& q) {
        return (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2])) / 3.0;
    };
    auto seam = [&](const Join& j) {
        Seam worst{-1e9, 0};
        for (int from = 0; from + kWindow <= kTile; from += kWindow / 2) {
            // The step across the join, and between the two last lines of the first tile and
            // the two first lines of the second.
            double join = 0, insideFirst = 0, insideSecond = 0;
            for (int i = from; i < from + kWindow; ++i) {
                const auto a1 = line(j.first, j.below, kTile - 1, i);
                const auto a2 = line(j.first, j.below, kTile - 2, i);
                const auto b1 = line(j.second, j.below, 0, i);
                const auto b2 = line(j.second, j.below, 1, i);
                join += step(a1, b1);
                insideFirst += step(a2, a1);
                insideSecond += step(b1, b2);
            }
            const double excess = (join - std::max(insideFirst, insideSecond)) / kWindow;
            if (excess > worst.excess) worst = {excess, from};
        }
        return worst;
    };
    const std::set<Join> joins = GeneratedJoins();
    // The maps hold every kind of meeting: the straight rows, both shifts and their ends.
    EXPECT_GT(joins.size(), 150u);
    for (const Join& j : {Join{44, 22, true}, Join{44, 38, true}, Join{22, 38, true},
                          Join{37, 44, true}, Join{37, 38, false}, Join{29, 30, false}}) {
        EXPECT_EQ(joins.count(j), 1u) << j.first << (j.below ? " above " : " left of ") << j.second;
    }
    // Textures and the diagonal edges that cross a join leave a window up to about 9 above the
    // inside steps; kerbs that stop at an edge or restart out of step leave 12 to 90.
    for (const Join& j : joins) {
        const Seam s = seam(j);
        EXPECT_LT(s.excess, 11.0) << j.first << (j.below ? " above " : " left of ") << j.second
                                  << ": a step " << s.excess << " above the inside steps at "
                                  << s.at << ".." << s.at + kWindow;
    }
    // The measure does see a seam: a lower row of the left shift laid straight under its upper
    // row puts the kerb and the road edge in the wrong places.
    EXPECT_GT(seam({25, 31, true}).excess, 30.0);
    EXPECT_GT(seam({27, 33, true}).excess, 30.0);
    EXPECT_GT(seam({30, 36, true}).excess, 30.0);
}

}  // namespace
}  // namespace vrumbal
