// Running the game on its form from start-up to the end, with the process status it ends with.
#pragma once
#include <optional>

#include "game/replay.h"

namespace vrumbal {

class TMForm;

// Runs the game on its form from start-up to the end and returns the process status: 0 after
// the quit question or the session ending, 1 when start-up failed or an error ended the game.
// An error after start-up is shown and the save files are written before the game ends.
int RunGame(TMForm& form);
// The same, but the game plays the replay in its window from start-up on (and its form ends
// with it when set up so); 2 when the replay is of another version or other content.
int RunGame(TMForm& form, Replay watch);

}  // namespace vrumbal
