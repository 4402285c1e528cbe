// The stages of a track's generation, with the tile numbers and rows they work by.
#pragma once
#include <cstdint>

#include "engine/random.h"
#include "game/race_state.h"

// The stages of a track's generation, in the order GenerateTrack runs them. They are separate
// so that each stage's promises (scenery only on empty cells, for instance) can be checked.
namespace vrumbal::track {

// Cells not yet written during generation.
inline constexpr std::uint8_t kEmptyCell = 255;
// The start line's row; the view starts on it.
inline constexpr int kStartRow = 1478;
// The view's first column at the start of a level.
inline constexpr int kStartColumn = 318;

// Tile numbers by role.
inline constexpr std::uint8_t kGround = 0;
inline constexpr std::uint8_t kRoadLeftEdge = 10;
inline constexpr std::uint8_t kRoadLane = 11;
inline constexpr std::uint8_t kRoadRightEdge = 12;
inline constexpr std::uint8_t kShoulderLeft = 22;
inline constexpr std::uint8_t kShoulderRight = 23;
inline constexpr std::uint8_t kStartFinish = 24;
inline constexpr std::uint8_t kFirstGrass = 49;
inline constexpr std::uint8_t kFirstScenery = 52;

// The finish line's row for a track of trackRows rows.
inline int FinishRow(int trackRows) {
    return 1549 - trackRows;
}

// Sets the view to the start, empties the map and lays the 40 rows of the start block.
void LayStartBlock(RaceState& race, Random& rng);
// Grows the road upward from the start block, section by section, for the track's length.
void GrowRoad(RaceState& race, Random& rng);
// Paints the finish line across the road on the finish row.
void PaintFinishLine(RaceState& race);
// Places random scenery objects on empty cells beside the track.
void PlaceScenery(RaceState& race, Random& rng);
// Turns the remaining empty cells into grass or ground and records each row's lane position.
void FillGroundAndLanes(RaceState& race, Random& rng);

}  // namespace vrumbal::track
