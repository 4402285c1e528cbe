// A level's track generated into the race state, and its visible window copied to the road.
#pragma once
#include "engine/random.h"
#include "game/race_state.h"

namespace vrumbal {

class TBackgroundSprite;

// Generates the track of a level into the race state: TrackMap, RowRoadX, RowSectionKind,
// ViewRow and ViewColumn, for race.TrackRows rows, every random choice from rng; then, when a
// road sprite is given, fills its chips with the starting window.
void GenerateTrack(RaceState& race, Random& rng, TBackgroundSprite* road = nullptr);

// Copies the visible 13 x 10 window of the track map into the road sprite's chips; cells
// beyond the map's edge become empty chips.
void DrawTrackWindow(const RaceState& race, TBackgroundSprite& road);

}  // namespace vrumbal
