// The standings of a race: the bike's place among the racers.
#pragma once

namespace vrumbal {

class BikeRivals;
struct RaceState;

// Sets Place and RacerCount from the world y of the bike's centre against the rivals' (up
// the track is smaller y; a rider level with the bike leaves the place as it was).
void UpdateStandings(RaceState& race, const BikeRivals* rivals, double bikeWorldY);

}  // namespace vrumbal
