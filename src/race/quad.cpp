// The contact test's geometry: a point in a quad by the angles it sees, and the quads of the
// solid tiles by kind.
#include "race/quad.h"

#include <algorithm>
#include <cmath>

namespace vrumbal {
namespace {

constexpr double kDegreesPerRadian = 57.295779513082320877;

// A point that sees the four corners under at least this many degrees lies in the quad; the
// margin forgives the rounding of the arc cosines.
constexpr double kInsideDegrees = 355.0;
// The square of cos 88 degrees. Seen from a point from which every two neighbouring corners lie
// less than 88 degrees apart, the four angles add up to less than 352: well short of 355,
// whatever the rounding, so the arc cosines need not be taken (most points tested are far
// from the quad, and the arc cosines were most of a frame's logic).
constexpr double kNarrowCos2 = 0.0012179748700878838;

constexpr Quad MakeQuad(double x1, double x2, double x3, double x4, double y1, double y2, double y3,
                        double y4) {
    return Quad{QuadPoint{x1, y1}, QuadPoint{x2, y2}, QuadPoint{x3, y3}, QuadPoint{x4, y4}};
}

// The tile bytes that are solid, in kind order: kind k is the k-th key.
constexpr std::array<int, 32> kSolidKeys = {1,  2,  3,  4,  5,  6,  7,  8,  9,  13, 14,
                                            15, 16, 17, 18, 19, 20, 21, 25, 26, 29, 30,
                                            31, 35, 36, 37, 38, 41, 42, 43, 44, 48};

// The contact quad of every kind in tile pixels; entry 0 (no kind) is empty.
constexpr std::array<Quad, 33> MakeObstacleQuads() {
    std::array<Quad, 33> quads{};
    // Left verges: the right part of the tile, where the kerb meets the road.
    for (int k = 1; k <= 9; ++k) quads[k] = MakeQuad(38, 72, 38, 72, 0, 0, 72, 72);
    // Right verges: the left part of the tile.
    for (int k = 10; k <= 18; ++k) quads[k] = MakeQuad(0, 35, 0, 35, 0, 0, 72, 72);
    quads[19] = MakeQuad(38, 71, 55, 71, 0, 0, 34, 66);
    quads[20] = MakeQuad(2, 20, 2, 36, 0, 35, 71, 71);
    quads[21] = MakeQuad(71, 52, 61, 71, 0, 10, 27, 46);
    quads[22] = MakeQuad(8, 0, 17, 45, 0, 48, 71, 71);
    quads[23] = MakeQuad(2, 38, 38, 71, 0, 0, 71, 71);
    quads[24] = MakeQuad(71, 17, 45, 71, 0, 9, 63, 70);
    quads[25] = MakeQuad(0, 19, 0, 34, 0, 38, 71, 71);
    quads[26] = MakeQuad(35, 71, 1, 55, 0, 48, 67, 71);
    quads[27] = MakeQuad(0, 17, 10, 0, 0, 0, 28, 47);
    quads[28] = MakeQuad(69, 35, 71, 69, 0, 67, 68, 71);
    quads[29] = MakeQuad(0, 33, 17, 0, 0, 0, 32, 66);
    quads[30] = MakeQuad(71, 54, 37, 71, 0, 34, 68, 71);
    quads[31] = MakeQuad(0, 55, 24, 0, 0, 8, 65, 70);
    quads[32] = MakeQuad(33, 69, 0, 33, 0, 0, 71, 71);
    return quads;
}

constexpr std::array<Quad, 33> kObstacleQuads = MakeObstacleQuads();

// Kind by tile byte, so the per-frame tests of 130 cells look a kind up without a search.
constexpr std::array<signed char, 256> MakeKindTable() {
    std::array<signed char, 256> table{};
    for (auto& kind : table) kind = -1;
    for (int k = 32; k >= 1; --k) table[kSolidKeys[k - 1]] = static_cast<signed char>(k);
    return table;
}

constexpr std::array<signed char, 256> kKindByTile = MakeKindTable();

}  // namespace

bool PointInQuad(const Quad& quad, const QuadPoint& q) {
    bool narrow = true;
    for (std::size_t n = 0; n < 4 && narrow; ++n) {
        const double ax = quad[n].x - q.x, ay = quad[n].y - q.y;
        const double bx = quad[(n + 1) % 4].x - q.x, by = quad[(n + 1) % 4].y - q.y;
        const double dot = ax * bx + ay * by;
        narrow = dot > 0 && dot * dot > kNarrowCos2 * (ax * ax + ay * ay) * (bx * bx + by * by);
    }
    if (narrow) return false;
    std::array<QuadPoint, 4> dir{};
    for (std::size_t n = 0; n < 4; ++n) {
        const double dx = quad[n].x - q.x;
        const double dy = quad[n].y - q.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        // A point on a corner has no direction to it; it touches the quad, so it counts as in.
        if (length == 0.0) return true;
        dir[n] = {dx / length, dy / length};
    }
    double degrees = 0;
    for (std::size_t n = 0; n < 4; ++n) {
        const QuadPoint& a = dir[n];
        const QuadPoint& b = dir[(n + 1) % 4];
        // Rounding can push the dot product of unit vectors just past +-1, outside acos' domain.
        const double dot = std::clamp(a.x * b.x + a.y * b.y, -1.0, 1.0);
        degrees += std::acos(dot) * kDegreesPerRadian;
    }
    return degrees >= kInsideDegrees;
}

namespace {

// The box round a quad, grown on every side by its width and height together: a point outside
// it sees any two of the quad's corners less than 60 degrees apart, so it is never in the quad.
struct Reach {
    double left, top, right, bottom;
};

Reach ReachOf(const Quad& quad) {
    double left = quad[0].x, right = quad[0].x, top = quad[0].y, bottom = quad[0].y;
    for (const QuadPoint& p : quad) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const double grow = (right - left) + (bottom - top);
    return {left - grow, top - grow, right + grow, bottom + grow};
}

bool AllOutside(const Quad& quad, const Reach& reach) {
    for (const QuadPoint& p : quad) {
        if (p.x >= reach.left && p.x <= reach.right && p.y >= reach.top && p.y <= reach.bottom) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool QuadsOverlap(const Quad& a, const Quad& b) {
    // Two quads far apart need no angles: most pairs the race tests are so.
    if (AllOutside(b, ReachOf(a)) && AllOutside(a, ReachOf(b))) return false;
    for (const QuadPoint& corner : b) {
        if (PointInQuad(a, corner)) return true;
    }
    for (const QuadPoint& corner : a) {
        if (PointInQuad(b, corner)) return true;
    }
    return false;
}

int ObstacleKind(int tile) {
    if (tile < 0 || tile > 255) return -1;
    return kKindByTile[static_cast<std::size_t>(tile)];
}

const Quad& ObstacleQuad(int kind) {
    if (kind < 1 || kind > 32) return kObstacleQuads[0];
    return kObstacleQuads[static_cast<std::size_t>(kind)];
}

}  // namespace vrumbal
