#pragma once
#include "engine/random.h"
#include "race/race_state.h"

namespace vrumbal {

// Generates the track of a level into the race state: TrackMap, RowRoadX, RowSectionKind,
// ViewRow and ViewColumn, for race.TrackRows rows, every random choice from rng.
void GenerateTrack(RaceState& race, Random& rng);

// Copies the visible 13 x 10 window of the track map into the road sprite's chips.
class TBackgroundSprite;
void DrawTrackWindow(const RaceState& race, TBackgroundSprite& road);

}  // namespace vrumbal
