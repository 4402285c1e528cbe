// What changes from level to level: the time limit, the track's length, the pickups on it, the
// bonus for a place at the finish, and the tally's points.
#pragma once
#include <cstdint>

namespace vrumbal {

// Levels a game runs through.
inline constexpr int kLevelCount = 10;
// The tally's points for every whole second left on the clock at the finish.
inline constexpr std::int32_t kPointsPerSecondLeft = 5;
// The most a single pickup is worth (the 100-point kind; the extra life brings 50).
inline constexpr std::int32_t kMostPickupPoints = 100;

// Time limit of a level in seconds (levels outside 1..10 take the nearest level's).
std::int32_t TimeLimitSeconds(int level);
// Track length of a level in map rows: 200 x level + 100 up to level 5, 1300 from level 6 on.
std::int32_t TrackRowsForLevel(int level);
// Pickups placed on the track of a level: 10 x level.
std::int32_t BonusCountForLevel(int level);
// Points for finishing in a place 1..6; 0 for any other place (not yet known, or further back).
std::int32_t PlaceBonus(int place);

}  // namespace vrumbal
