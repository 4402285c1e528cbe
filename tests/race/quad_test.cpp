#include "race/quad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace vrumbal {
namespace {

const Quad kSquare = {QuadPoint{0, 0}, QuadPoint{10, 0}, QuadPoint{10, 10}, QuadPoint{0, 10}};

TEST(PointInQuad, InsideOnTheEdgesAndOutside) {
    struct Case {
        QuadPoint q;
        bool inside;
    };
    const Case cases[] = {
        {{5, 5}, true},     {{20, 5}, false},   {{9.9, 9.9}, true}, {{5, 0}, true},
        {{0, 5}, true},     {{0, 0}, true},     {{10, 10}, true},   {{5, -0.1}, true},
        {{10.1, 5}, true},  {{5, -0.5}, false}, {{11, 5}, false},   {{-3, -3}, false},
        {{5, 10.5}, false}, {{1e9, 5}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointInQuad(kSquare, c.q), c.inside) << c.q.x << "," << c.q.y;
    }
}

TEST(PointInQuad, WalksTheCornersInTheirListedOrder) {
    // The kerb quads list their corners crosswise; the points inside the kerb still count.
    const Quad& kerb = ObstacleQuad(1);
    EXPECT_TRUE(PointInQuad(kerb, {55, 36}));
    EXPECT_TRUE(PointInQuad(kerb, {40, 60}));
    EXPECT_FALSE(PointInQuad(kerb, {20, 36}));
}

TEST(QuadsOverlap, NeedsACornerOfOneInsideTheOther) {
    auto box = [](double l, double t, double r, double b) {
        return Quad{QuadPoint{l, t}, QuadPoint{r, t}, QuadPoint{r, b}, QuadPoint{l, b}};
    };
    struct Case {
        Quad a, b;
        bool overlap;
    };
    const Case cases[] = {
        {box(0, 0, 10, 10), box(5, 5, 15, 15), true},     // corners inside each other
        {box(0, 0, 10, 10), box(2, 2, 4, 4), true},       // b wholly inside a
        {box(2, 2, 4, 4), box(0, 0, 10, 10), true},       // a wholly inside b
        {box(0, 0, 10, 10), box(20, 0, 30, 10), false},   // apart
        {box(0, 4, 30, 6), box(14, -10, 16, 20), false},  // a plus sign: edges cross only
        {box(0, 0, 10, 10), box(10, 0, 20, 10), true},    // sharing an edge
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuadsOverlap(c.a, c.b), c.overlap);
        EXPECT_EQ(QuadsOverlap(c.b, c.a), c.overlap);
    }
}

TEST(ObstacleKind, TheThirtyTwoKeysInOrderAndNothingElse) {
    const std::array<int, 32> keys = {1,  2,  3,  4,  5,  6,  7,  8,  9,  13, 14,
                                      15, 16, 17, 18, 19, 20, 21, 25, 26, 29, 30,
                                      31, 35, 36, 37, 38, 41, 42, 43, 44, 48};
    for (int tile = -1; tile <= 256; ++tile) {
        const auto it = std::find(keys.begin(), keys.end(), tile);
        const int expected = it == keys.end() ? -1 : static_cast<int>(it - keys.begin()) + 1;
        EXPECT_EQ(ObstacleKind(tile), expected) << tile;
    }
    // Road, road edges, shoulders, the lines and bare ground are never solid.
    for (const int tile : {0, 10, 11, 12, 22, 23, 24}) EXPECT_EQ(ObstacleKind(tile), -1);
}

TEST(ObstacleQuad, CornersStayInTheTileAndUnknownKindsAreEmpty) {
    for (int kind = 1; kind <= 32; ++kind) {
        const Quad& q = ObstacleQuad(kind);
        bool someArea = false;
        for (const QuadPoint& p : q) {
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, 72);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.y, 72);
            someArea = someArea || p.x != q[0].x || p.y != q[0].y;
        }
        EXPECT_TRUE(someArea) << kind;
    }
    for (const int kind : {-1, 0, 33}) {
        for (const QuadPoint& p : ObstacleQuad(kind)) {
            EXPECT_EQ(p.x, 0);
            EXPECT_EQ(p.y, 0);
        }
    }
}

}  // namespace
}  // namespace vrumbal
