// The four-cornered figures contacts are tested with, and the obstacle quads of the solid tiles.
#pragma once
#include <array>

namespace vrumbal {

// A point in pixels (screen or world, as the caller says).
struct QuadPoint {
    double x = 0;  // to the right
    double y = 0;  // downward
};

// A four-cornered figure, corners in the order the contact test walks them.
using Quad = std::array<QuadPoint, 4>;

// True when q lies in the quad: the four angles seen from q between consecutive corners add
// up to at least 355 degrees.
bool PointInQuad(const Quad& quad, const QuadPoint& q);

// True when a corner of either quad lies in the other. Edges that cross without a corner
// inside do not count.
bool QuadsOverlap(const Quad& a, const Quad& b);

// The obstacle kind 1..32 of a solid tile number, -1 for tiles that are not solid.
int ObstacleKind(int tile);

// The corners of an obstacle kind 1..32 in tile-local pixels (0..72).
const Quad& ObstacleQuad(int kind);

}  // namespace vrumbal
