// The check text that ties the high-score table to the options file, so that a table edited
// by hand (or one without its options file) is replaced by the default one.
#pragma once
#include <string>

#include "game/high_scores.h"

namespace vrumbal {

// The check text of entries 1..10 (one byte per position of the longest name, each 32..255);
// empty when every name is empty.
std::string ComputeHighScoreCheck(const HighScoreTable& table);
// True when highScoreCheck equals the table's check text byte for byte.
bool HighScoreCheckMatches(const HighScoreTable& table, const std::string& highScoreCheck);

}  // namespace vrumbal
