// The most points a game can bring, worked out from the game's own tables.
//
// A game scores in three ways, level by level (1 to 10):
//   - pickups: each level lays BonusCountForLevel(L) = 10 L of them, none worth more than
//     kMostPickupPoints (100; the extra life is worth 50), so at most 1000 L;
//   - the place bonus at the finish: PlaceBonus(1) = 800 at most;
//   - the tally: kPointsPerSecondLeft (5) for every whole second left, and no more than the
//     level's whole limit TimeLimitSeconds(L) can be left.
// Summed over the ten levels: 55,000 + 8,000 + 5 x 1,060 = 68,300.
//
// A level whose time runs out is ridden again on a new track with new pickups, at the cost
// of a life; a level lays one extra life at most and lives never pass three, so a player who
// lets the clock run out on purpose, level after level, could go past this. That takes hours
// of riding the same level without finishing it; such a result is refused with the forged
// ones, a price paid for keeping impossible scores out of the table.
#include "score_bound.h"

#include "game/level_tables.h"

namespace vrumbal::scores {

std::int32_t HighestScore() {
    std::int32_t total = 0;
    for (int level = 1; level <= kLevelCount; ++level) {
        total += BonusCountForLevel(level) * kMostPickupPoints;
        total += PlaceBonus(1);
        total += TimeLimitSeconds(level) * kPointsPerSecondLeft;
    }
    return total;
}

}  // namespace vrumbal::scores
