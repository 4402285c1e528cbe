// The standings: the bike's place among the racers from how far up the track each one is.
#include "race/standings.h"

#include <array>
#include <utility>

#include "game/race_state.h"
#include "race/player.h"

namespace vrumbal {

void UpdateStandings(RaceState& race, const BikeRivals* rivals, double bikeWorldY) {
    std::array<double, 5> ys{};
    int count = 0;
    for (int r = 1; r <= 5; ++r) {
        const RivalInfo info = rivals != nullptr ? rivals->Rider(r) : RivalInfo{};
        if (info.active) {
            ys[static_cast<std::size_t>(r - 1)] = info.centreY;
            ++count;
        } else {
            ys[static_cast<std::size_t>(r - 1)] = 108000.0;
        }
    }
    // Four bubble passes; equal values keep their order.
    for (int pass = 0; pass < 4; ++pass) {
        for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
            if (ys[i] > ys[i + 1]) std::swap(ys[i], ys[i + 1]);
        }
    }
    const double b = bikeWorldY;
    if (b < ys[0]) {
        race.Place = 1;
    } else {
        for (int k = 1; k <= count - 1; ++k) {
            if (ys[static_cast<std::size_t>(k - 1)] < b && b < ys[static_cast<std::size_t>(k)]) {
                race.Place = static_cast<std::uint8_t>(k + 1);
                break;
            }
        }
        if (count > 0 && b > ys[static_cast<std::size_t>(count - 1)]) {
            race.Place = static_cast<std::uint8_t>(count + 1);
        }
    }
    race.RacerCount = static_cast<std::uint8_t>(count + 1);
}

}  // namespace vrumbal
