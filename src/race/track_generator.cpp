// The track generator: the start block, the road grown row by row by each section's rules, the
// finish line, scenery on the empty cells, then grass, ground and lanes.
#include "race/track_generator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "engine/background_sprite.h"
#include "race/track_steps.h"

namespace vrumbal {
namespace track {
namespace {

// Rows of each section kind 1..5: straight, widen, shift left, shift right, back to straight.
constexpr std::array<int, 6> kSectionRows = {0, 8, 10, 6, 6, 4};

// Chips of the window the road sprite shows, across and down.
constexpr int kWindowColumns = 13;
constexpr int kWindowRows = 10;

bool IsLeftVerge(int tile) {
    return tile >= 1 && tile <= 9;
}

// Mostly the plain kerb, now and then one of its eight variants.
std::uint8_t NewLeftVerge(Random& rng) {
    return static_cast<std::uint8_t>(rng.Next(4) != 0 ? 1 : 2 + rng.Next(8));
}
std::uint8_t NewRightVerge(Random& rng) {
    return static_cast<std::uint8_t>(rng.Next(4) != 0 ? 13 : 14 + rng.Next(8));
}

// The track's length in rows, held to what the map can take so that row sums cannot overflow.
int TrackLength(const RaceState& race) {
    return std::clamp(race.TrackRows, 0, 2 * kMapRows);
}

std::uint8_t* RowOf(RaceState& race, int row) {
    return race.TrackMap.data() + static_cast<std::size_t>(row) * kMapColumns;
}

// The section that follows one that has run out. Near the top the road is steered back to
// straight so that the finish line lies on a straight stretch.
int NextSectionKind(int kind, bool nearTop, Random& rng) {
    if (nearTop) {
        static constexpr std::array<int, 6> kBackToStraight = {1, 1, 1, 5, 5, 1};
        return kBackToStraight[static_cast<std::size_t>(kind)];
    }
    const bool second = rng.Next(2) != 0;
    switch (kind) {
        case 1:
            return second ? 2 : 1;
        case 2:
            return second ? 4 : 3;
        case 3:
            return second ? 5 : 3;
        case 4:
            return second ? 5 : 4;
        default:
            return 1;
    }
}

// What one source tile makes in the row above it: up to three writes, each a column offset
// (-1, 0, +1) and a tile, where kNewLeftVerge and kNewRightVerge stand for a fresh random
// verge of that side.
constexpr int kNewLeftVerge = 256;
constexpr int kNewRightVerge = 257;
struct GrowRule {
    int count = 0;                // writes, 0..3
    std::array<int, 3> offset{};  // column offsets
    std::array<int, 3> tile{};    // tiles written
};
using RuleTable = std::array<std::array<GrowRule, 256>, 6>;

constexpr void Add(RuleTable& t, int kind, std::initializer_list<int> sources,
                   std::initializer_list<std::array<int, 2>> writes) {
    for (int source : sources) {
        GrowRule& rule = t[static_cast<std::size_t>(kind)][static_cast<std::size_t>(source)];
        rule.count = 0;
        for (const auto& w : writes) {
            rule.offset[static_cast<std::size_t>(rule.count)] = w[0];
            rule.tile[static_cast<std::size_t>(rule.count)] = w[1];
            ++rule.count;
        }
    }
}

constexpr std::initializer_list<int> kLeftVerges = {1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr std::initializer_list<int> kRightVerges = {13, 14, 15, 16, 17, 18, 19, 20, 21};

// The growth rules of the five section kinds. Two rules depend on the neighbours and are
// decided in GrowRow: a widening's ground tile, and a right shift's lane tile.
constexpr RuleTable MakeRules() {
    RuleTable t{};
    // 1: straight.
    Add(t, 1, {0, 22, 23}, {{0, 0}});
    for (int v : {10, 11, 12}) Add(t, 1, {v}, {{0, v}});
    Add(t, 1, kLeftVerges, {{0, kNewLeftVerge}});
    Add(t, 1, kRightVerges, {{0, kNewRightVerge}});
    // 2: widen; shoulders grow out of the ground beside the edges.
    for (int v : {22, 10, 11, 12, 23}) Add(t, 2, {v}, {{0, v}});
    Add(t, 2, kLeftVerges, {{0, kNewLeftVerge}});
    Add(t, 2, kRightVerges, {{0, kNewRightVerge}});
    // 3: shift left by one column every two rows.
    Add(t, 3, {10, 27}, {{0, 33}});
    Add(t, 3, {11}, {{0, 11}});
    Add(t, 3, {12, 28}, {{0, 34}});
    Add(t, 3, {22, 26}, {{0, 32}});
    Add(t, 3, {23, 29}, {{0, 35}});
    Add(t, 3, {25}, {{0, 31}});
    Add(t, 3, {31}, {{-1, 25}});
    Add(t, 3, {32}, {{-1, 26}});
    Add(t, 3, {33}, {{0, 11}, {-1, 27}, {1, 11}});
    Add(t, 3, {34}, {{-1, 28}});
    Add(t, 3, {35}, {{-1, 29}});
    Add(t, 3, {36}, {{-1, 30}});
    Add(t, 3, {30}, {{0, 36}});
    Add(t, 3, kRightVerges, {{0, 36}});
    Add(t, 3, kLeftVerges, {{0, 31}});
    // 4: shift right by one column every two rows.
    Add(t, 4, {10, 39}, {{0, 45}});
    Add(t, 4, {12, 40}, {{0, 46}});
    Add(t, 4, {22, 38}, {{0, 44}});
    Add(t, 4, {23, 41}, {{0, 47}});
    Add(t, 4, {37}, {{0, 43}});
    Add(t, 4, {43}, {{1, 37}});
    Add(t, 4, {44}, {{1, 38}});
    Add(t, 4, {45}, {{1, 39}});
    Add(t, 4, {46}, {{0, 11}, {-1, 11}, {1, 40}});
    Add(t, 4, {47}, {{1, 41}});
    Add(t, 4, {48}, {{1, 42}});
    Add(t, 4, {42}, {{0, 48}});
    Add(t, 4, kRightVerges, {{0, 48}});
    Add(t, 4, kLeftVerges, {{0, 43}});
    // 5: back to straight.
    Add(t, 5, {10, 27, 39}, {{0, 10}});
    Add(t, 5, {11}, {{0, 11}});
    Add(t, 5, {12, 28, 40}, {{0, 12}});
    Add(t, 5, {22, 26, 38}, {{0, 22}});
    Add(t, 5, {23, 29, 41}, {{0, 23}});
    Add(t, 5, {25, 37}, {{0, kNewLeftVerge}});
    Add(t, 5, kLeftVerges, {{0, kNewLeftVerge}});
    Add(t, 5, {30, 42}, {{0, kNewRightVerge}});
    Add(t, 5, kRightVerges, {{0, kNewRightVerge}});
    return t;
}

constexpr RuleTable kGrowRules = MakeRules();

// Builds one map row from the row below it (src) by the rules of the section kind. Writes
// outside the map's columns are dropped; columns go left to right, so a later column's write
// may overwrite an earlier one's.
void GrowRow(int kind, const std::uint8_t* src, std::uint8_t* dst, Random& rng) {
    const auto& rules = kGrowRules[static_cast<std::size_t>(kind)];
    auto put = [dst](int column, int tile) {
        if (column >= 0 && column < kMapColumns) dst[column] = static_cast<std::uint8_t>(tile);
    };
    for (int c = 0; c < kMapColumns; ++c) {
        const int v = src[c];
        // No rule reads an empty cell, and most of the row is empty.
        if (v == kEmptyCell) continue;
        const int left = c > 0 ? src[c - 1] : -1;
        if (kind == 2 && v == kGround) {
            if (left == kRoadRightEdge) {
                put(c, kShoulderRight);
            } else if (IsLeftVerge(left)) {
                put(c, kShoulderLeft);
            }
            continue;
        }
        if (kind == 4 && v == kRoadLane) {
            // Only the lane beside an edge carries on; the other is made by the 46 beside it.
            const int right = c + 1 < kMapColumns ? src[c + 1] : -1;
            if (left == 10 || left == 39 || right == 12 || right == 40) put(c, kRoadLane);
            continue;
        }
        const GrowRule& rule = rules[static_cast<std::size_t>(v)];
        for (int n = 0; n < rule.count; ++n) {
            int tile = rule.tile[static_cast<std::size_t>(n)];
            if (tile == kNewLeftVerge) {
                tile = NewLeftVerge(rng);
            } else if (tile == kNewRightVerge) {
                tile = NewRightVerge(rng);
            }
            put(c + rule.offset[static_cast<std::size_t>(n)], tile);
        }
    }
}

// An object of w x h tiles, rows top to bottom.
struct SceneryObject {
    int size;                            // tiles per side
    std::array<std::uint8_t, 16> tiles;  // row-major, size x size used
};

// The objects by the draw that picks them (0..3 of a draw below 12; 4..11 place nothing).
constexpr std::array<SceneryObject, 4> kSceneryObjects = {{
    {4, {0, 55, 55, 55, 56, 60, 61, 59, 56, 63, 64, 59, 56, 57, 57, 58}},
    {3, {65, 66, 67, 68, 69, 70, 71, 72, 73}},
    {2, {60, 61, 63, 64}},
    {2, {52, 0, 53, 54}},
}};

// The four cells of a row from column on, as one word (the caller keeps them in the map).
std::uint32_t FourCells(const std::uint8_t* row, int column) {
    std::uint32_t word;
    std::memcpy(&word, row + column, sizeof word);
    return word;
}

// Places the object with its top-left at (row, column) when every cell it covers is empty.
// The caller keeps four columns and the object's rows inside the map. The cells are tested a
// row at a time, as words, since this runs for a third of all cells beside the road.
void TryPlace(RaceState& race, const SceneryObject& object, int row, int column) {
    std::array<std::uint8_t, 4> maskBytes{};
    for (int x = 0; x < object.size; ++x) maskBytes[static_cast<std::size_t>(x)] = 0xFF;
    std::uint32_t covered;
    std::memcpy(&covered, maskBytes.data(), sizeof covered);
    std::uint32_t empty = ~0u;
    for (int y = 0; y < object.size; ++y) {
        empty &= FourCells(RowOf(race, row + y), column) | ~covered;
    }
    if (empty != ~0u) return;
    for (int y = 0; y < object.size; ++y) {
        std::memcpy(RowOf(race, row + y) + column,
                    &object.tiles[static_cast<std::size_t>(y * object.size)],
                    static_cast<std::size_t>(object.size));
    }
}

}  // namespace

void LayStartBlock(RaceState& race, Random& rng) {
    race.ViewColumn = kStartColumn;
    race.ViewRow = kStartRow;
    std::fill(race.TrackMap.begin(), race.TrackMap.end(), kEmptyCell);
    for (int i = 1; i <= 40; ++i) {
        const int r = 1499 - i;
        std::uint8_t* row = RowOf(race, r) + kStartColumn;
        row[0] = NewLeftVerge(rng);
        row[1] = kGround;
        const bool startLine = r == kStartRow;
        row[2] = startLine ? kStartFinish : kRoadLeftEdge;
        row[3] = startLine ? kStartFinish : kRoadLane;
        row[4] = startLine ? kStartFinish : kRoadLane;
        row[5] = startLine ? kStartFinish : kRoadRightEdge;
        row[6] = kGround;
        row[7] = NewRightVerge(rng);
        race.RowSectionKind[static_cast<std::size_t>(r + 2)] = 1;
    }
}

void GrowRoad(RaceState& race, Random& rng) {
    int kind = 1;
    int rowsLeft = kSectionRows[1];
    // Row i - 2 is built from row i - 1, so i stops at 2 however long a track is asked for.
    const int rows = TrackLength(race);
    const int last = std::max(1500 - rows, 1);
    for (int i = 1460; i > last; --i) {
        if (rowsLeft == 0) {
            kind = NextSectionKind(kind, i < 1600 - rows, rng);
            rowsLeft = kSectionRows[static_cast<std::size_t>(kind)];
        }
        GrowRow(kind, RowOf(race, i - 1), RowOf(race, i - 2), rng);
        race.RowSectionKind[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(kind);
        --rowsLeft;
    }
}

void PaintFinishLine(RaceState& race) {
    const int row = FinishRow(TrackLength(race));
    for (int c = 0; c < kMapColumns; ++c) {
        if (race.TileAt(row, c) != kRoadLane) continue;
        for (int k = -1; k <= 2; ++k) race.SetTile(row, c + k, kStartFinish);
        return;
    }
}

void PlaceScenery(RaceState& race, Random& generator) {
    // The generator's state is worked on in a local copy and handed back at the end: writes
    // to the map through byte pointers would otherwise force it through memory on every draw.
    Random rng = generator;
    const int last = std::max(1499 - TrackLength(race), 0);
    for (int i = 1498; i > last; --i) {
        const std::uint8_t* probe = RowOf(race, i - 1);
        for (int j = 3; j <= 645; ++j) {
            if (probe[j - 2] != kEmptyCell) continue;
            // Each object stays above the map's last row. The cases are spelled out so that
            // each placement is compiled for its object's size.
            switch (rng.Next(12)) {
                case 0:
                    if (i < 1496) TryPlace(race, kSceneryObjects[0], i, j - 1);
                    break;
                case 1:
                    if (i < 1497) TryPlace(race, kSceneryObjects[1], i, j - 1);
                    break;
                case 2:
                    if (i < 1498) TryPlace(race, kSceneryObjects[2], i, j - 1);
                    break;
                case 3:
                    if (i < 1498) TryPlace(race, kSceneryObjects[3], i, j - 1);
                    break;
                default:  // 4..11: nothing
                    break;
            }
        }
    }
    generator = rng;
}

void FillGroundAndLanes(RaceState& race, Random& generator) {
    Random rng = generator;  // worked on locally, as in PlaceScenery
    for (int r = 0; r < kMapRows; ++r) {
        std::uint8_t* row = RowOf(race, r);
        std::int32_t roadX = race.RowRoadX[static_cast<std::size_t>(r)];
        for (int c = 0; c < kMapColumns; ++c) {
            std::uint8_t& cell = row[c];
            if (cell == kEmptyCell) {
                // Half of the free ground is grass of one of three kinds.
                cell = rng.Next(2) == 0 ? static_cast<std::uint8_t>(kFirstGrass + rng.Next(3))
                                        : kGround;
                continue;
            }
            if (cell == kRoadLane && c > 0) {
                // The centre line is the first lane's right edge; on shifting rows it lies 20
                // pixels toward the shift.
                const int left = row[c - 1];
                if (left == kRoadLeftEdge) {
                    roadX = 72 * c + 144;
                } else if (left == 27 || left == 45) {
                    roadX = 72 * c + 164;
                } else if (left == 33 || left == 39) {
                    roadX = 72 * c + 124;
                }
            } else if (cell == kStartFinish) {
                // The last line tile is the right edge, so its left side is again the centre.
                roadX = 72 * c;
            }
        }
        race.RowRoadX[static_cast<std::size_t>(r)] = roadX;
    }
    generator = rng;
}

}  // namespace track

void GenerateTrack(RaceState& race, Random& rng, TBackgroundSprite* road) {
    track::LayStartBlock(race, rng);
    track::GrowRoad(race, rng);
    track::PaintFinishLine(race);
    track::PlaceScenery(race, rng);
    track::FillGroundAndLanes(race, rng);
    if (road != nullptr) DrawTrackWindow(race, *road);
}

void DrawTrackWindow(const RaceState& race, TBackgroundSprite& road) {
    for (int y = 0; y < track::kWindowRows; ++y) {
        for (int x = 0; x < track::kWindowColumns; ++x) {
            // Cells beyond the map's edge give -1, an empty chip that draws nothing.
            road.SetChip(x, y, race.TileAt(race.ViewRow + y - 1, race.ViewColumn + x - 1));
        }
    }
}

}  // namespace vrumbal
