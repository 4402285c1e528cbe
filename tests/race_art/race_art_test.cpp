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
#include <string>
#include <vector>

#include "engine/picture_collection.h"
#include "race/quad.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

constexpr std::uint32_t kKey = 0xFF00FF;
constexpr int kTile = 72;

// Builds the race pictures once for the whole suite with the content tool beside the play tool.
class RaceArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<test::TempDir>();
        const auto tool =
            std::filesystem::path(VRUMBAL_TOOL_PATH).parent_path() / "vrumbal-content";
        std::string output;
        status_ = test::RunCommand(
            "\"" + tool.string() + "\" \"" + dir_->Path().string() + "\" 2>&1", &output);
        pictures_ = std::make_unique<TPictureCollection>();
        if (status_ == 0) {
            pictures_->LoadFromFile((dir_->Path() / "Data/Res/Res2.dxg").string());
        }
    }
    static void TearDownTestSuite() {
        pictures_.reset();
        dir_.reset();
    }
    void SetUp() override {
        ASSERT_EQ(status_, 0) << "vrumbal-content failed";
        ASSERT_GE(pictures_->Count(), 43);
    }
    static const PictureItemData& Item(int index) { return pictures_->Items(index).Data(); }
    // Pixel (x, y) of road tile n.
    static std::uint32_t TilePixel(int n, int x, int y) {
        return Item(1).picture.At((n % 10) * kTile + x, (n / 10) * kTile + y);
    }

    static std::unique_ptr<test::TempDir> dir_;
    static std::unique_ptr<TPictureCollection> pictures_;
    static int status_;
};

std::unique_ptr<test::TempDir> RaceArt::dir_;
std::unique_ptr<TPictureCollection> RaceArt::pictures_;
int RaceArt::status_ = -1;

int Red(std::uint32_t c) {
    return (c >> 16) & 0xFF;
}
int Green(std::uint32_t c) {
    return (c >> 8) & 0xFF;
}
int Blue(std::uint32_t c) {
    return c & 0xFF;
}

// The crash walls are red and white blocks; nothing else on the road is either.
bool IsWall(std::uint32_t c) {
    const int r = Red(c), g = Green(c), b = Blue(c);
    const bool red = r >= 120 && r - g >= 70 && r - b >= 60;
    const int lo = std::min({r, g, b}), hi = std::max({r, g, b});
    const bool white = lo >= 170 && hi - lo <= 30;
    return red || white;
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

// Tiles as the track generator lays them: the straight row, and the upper and lower rows of
// the sections that shift the road left and right.
const std::array<int, 8> kStraight = {1, 22, 10, 11, 11, 12, 23, 13};
const std::array<int, 8> kNarrow = {1, 0, 10, 11, 11, 12, 0, 13};
const std::array<int, 8> kLeftUpper = {25, 26, 27, 11, 11, 28, 29, 30};
const std::array<int, 8> kLeftLower = {31, 32, 33, 11, 11, 34, 35, 36};
const std::array<int, 8> kRightUpper = {37, 38, 39, 11, 11, 40, 41, 42};
const std::array<int, 8> kRightLower = {43, 44, 45, 11, 11, 46, 47, 48};

struct Join {
    int first;   // the upper or left tile
    int second;  // the tile below or to the right of it
    bool below;  // second lies below first (else to its right)
};

// The pairs of neighbours the generator makes around the road across which the picture runs
// on (tile 0 stands for any ground). Straight rows are left out side by side: their walls and
// road edges lie on the tile edges themselves.
std::vector<Join> GeneratedJoins() {
    std::vector<Join> joins = {{10, 11, false}, {11, 11, false}, {11, 12, false}};
    auto across = [&](const std::array<int, 8>& row) {
        joins.push_back({0, row[0], false});
        for (int i = 0; i + 1 < 8; ++i) joins.push_back({row[i], row[i + 1], false});
        joins.push_back({row[7], 0, false});
    };
    for (const auto* row : {&kLeftUpper, &kLeftLower, &kRightUpper, &kRightLower}) across(*row);
    auto over = [&](const std::array<int, 8>& top, const std::array<int, 8>& bottom, int shift) {
        // bottom[i] stands under top[i + shift]; cells without a partner meet ground.
        for (int i = -1; i <= 8; ++i) {
            const int t = i + shift;
            const int a = t >= 0 && t < 8 ? top[t] : 0;
            const int b = i >= 0 && i < 8 ? bottom[i] : 0;
            if (a != 0 || b != 0) joins.push_back({a, b, true});
        }
    };
    over(kStraight, kStraight, 0);
    over(kNarrow, kNarrow, 0);
    // Going up, a left shift stands each upper row one column left of the lower row below it
    // and each lower row straight above an upper row; a right shift the mirror.
    over(kStraight, kLeftUpper, 0);
    over(kLeftUpper, kLeftLower, 1);
    over(kLeftLower, kLeftUpper, 0);
    over(kLeftLower, kStraight, 0);
    over(kStraight, kRightUpper, 0);
    over(kRightUpper, kRightLower, -1);
    over(kRightLower, kRightUpper, 0);
    over(kRightLower, kStraight, 0);
    return joins;
}

TEST_F(RaceArt, RoadTilesJoinWithoutSeams) {
    // Mean colour step across a pair of pixel rows (or columns) of one or two tiles. Where a
    // contact quad ends on the tile edge the wall ends there too: such pixels are left out.
    auto step = [&](int a, int b, bool below, int lastOfA, int firstOfB) {
        double sum = 0;
        int counted = 0;
        for (int i = 0; i < kTile; ++i) {
            const int ax = below ? i : lastOfA, ay = below ? lastOfA : i;
            const int bx = below ? i : firstOfB, by = below ? firstOfB : i;
            const std::uint32_t p = TilePixel(a, ax, ay);
            const std::uint32_t q = TilePixel(b, bx, by);
            auto inQuad = [](int tile, int x, int y) {
                const int kind = ObstacleKind(tile);
                return kind > 0 && PointInQuad(ObstacleQuad(kind), QuadPoint{x + 0.5, y + 0.5});
            };
            if (IsWall(p) != IsWall(q) && (IsWall(p) ? inQuad(a, ax, ay) : inQuad(b, bx, by))) {
                continue;
            }
            sum += std::abs(Red(p) - Red(q)) + std::abs(Green(p) - Green(q)) +
                   std::abs(Blue(p) - Blue(q));
            ++counted;
        }
        return counted ? sum / (3.0 * counted) : 0.0;
    };
    auto seam = [&](const Join& j) {
        const double across = step(j.first, j.second, j.below, kTile - 1, 0);
        // The texture's own step between neighbouring rows inside either tile.
        const double inside = std::max(step(j.first, j.first, j.below, kTile - 2, kTile - 1),
                                       step(j.second, j.second, j.below, 0, 1));
        return across - inside;
    };
    for (const Join& j : GeneratedJoins()) {
        EXPECT_LT(seam(j), 6.0) << j.first << (j.below ? " above " : " left of ") << j.second;
    }
    // The measure does see a seam: a lower row laid straight under an upper row of the left
    // shift puts the walls and the road edge in the wrong places.
    EXPECT_GT(seam({25, 31, true}) + seam({27, 33, true}) + seam({30, 36, true}), 30.0);
}

}  // namespace
}  // namespace vrumbal
