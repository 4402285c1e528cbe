#pragma once
#include <cstdint>
#include <string>

#include "shell/game_state.h"

namespace vrumbal {

// The name of every entry of the default table, "Зумо" in code page 1251.
inline constexpr char kDefaultHighScoreName[] = "\xC7\xF3\xEC\xEE";
// Entries 1..10 form the table; entry 11 takes a new result before the sort.
inline constexpr int kHighScoreTableSize = 10;
// The scratch entry that receives a new result.
inline constexpr int kNewHighScoreEntry = 11;

// Entries 1..10 become the default table: "Зумо" with 10000, 9000, ..., 1000. Entry 11 stays.
void DefaultHighScores(GameState& state);
// True when score beats at least one of entries 1..10; equalling the lowest is not enough.
bool QualifiesForHighScores(const GameState& state, std::int32_t score);
// Puts PlayerName with score into entry 11 and sorts it into the table.
void InsertHighScore(GameState& state, std::int32_t score);
// Stable descending sort of entries 1..11: an equal score never passes an older one.
void SortHighScores(GameState& state);
// The check text that ties entries 1..10 to the options file (one byte per position of the
// longest name, each 32..255); empty when every name is empty.
std::string ComputeHighScoreCheck(const GameState& state);
// True when highScoreCheck equals the table's check text byte for byte.
bool HighScoreCheckMatches(const GameState& state, const std::string& highScoreCheck);

}  // namespace vrumbal
