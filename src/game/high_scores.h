// The local table of the ten best results and its rules: the default table, which results
// qualify, and how a new one is sorted in.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace vrumbal {

// The name of every entry of the default table, "Зумо" in code page 1251.
inline constexpr char kDefaultHighScoreName[] = "\xC7\xF3\xEC\xEE";
// Entries 1..10 form the table; entry 11 takes a new result before the sort.
inline constexpr int kHighScoreTableSize = 10;
// The scratch entry that receives a new result.
inline constexpr int kNewHighScoreEntry = 11;

// One line of the high-score table.
struct HighScoreEntry {
    std::string name;         // player name, code page 1251
    std::int32_t score = 0;   // points
    std::string replay = {};  // the file its game's replay is kept in, or empty (not in hs)
};

// The high-score table: entries 1..10 are the table, 11 takes a new result before sorting.
struct HighScoreTable {
    std::array<HighScoreEntry, 12> HighScores;  // entry 0 is never used
};

// Entries 1..10 become the default table: "Зумо" with 10000, 9000, ..., 1000, no replays.
// Entry 11 stays.
void DefaultHighScores(HighScoreTable& table);
// True when score beats at least one of entries 1..10; equalling the lowest is not enough.
bool QualifiesForHighScores(const HighScoreTable& table, std::int32_t score);
// Puts name with score (and the file of its replay, if kept) into entry 11 and sorts it into
// the table.
void InsertHighScore(HighScoreTable& table, const std::string& name, std::int32_t score,
                     const std::string& replay = "");
// Stable descending sort of entries 1..11: an equal score never passes an older one.
void SortHighScores(HighScoreTable& table);

}  // namespace vrumbal
