// The levels' figures: time limits, track lengths, pickup counts and the bonus for each place.
#include "game/level_tables.h"

#include <algorithm>
#include <array>

namespace vrumbal {
namespace {

constexpr std::array<std::int32_t, kLevelCount> kTimeLimits = {45,  55,  80,  100, 110,
                                                               130, 130, 130, 140, 140};
constexpr std::array<std::int32_t, kLevelCount> kTrackRows = {300,  500,  700,  900,  1100,
                                                              1300, 1300, 1300, 1300, 1300};
constexpr std::array<std::int32_t, 6> kPlaceBonus = {800, 600, 400, 300, 200, 100};

// Index 0..9 of a level; a level past either end takes the end's values.
std::size_t LevelIndex(int level) {
    return static_cast<std::size_t>(std::clamp(level, 1, kLevelCount) - 1);
}

}  // namespace

std::int32_t TimeLimitSeconds(int level) {
    return kTimeLimits[LevelIndex(level)];
}

std::int32_t TrackRowsForLevel(int level) {
    return kTrackRows[LevelIndex(level)];
}

std::int32_t BonusCountForLevel(int level) {
    return 10 * static_cast<std::int32_t>(LevelIndex(level) + 1);
}

std::int32_t PlaceBonus(int place) {
    if (place < 1 || place > static_cast<int>(kPlaceBonus.size())) return 0;
    return kPlaceBonus[static_cast<std::size_t>(place - 1)];
}

}  // namespace vrumbal
