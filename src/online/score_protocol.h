// The words the game and the score server share: the alphabet results travel in, the record key,
// the server's script and product code, and the longest name and country kept.
#pragma once
#include <cstddef>
#include <string_view>

namespace vrumbal {

// The 32 characters a result is written in on its way to the world table, indexed by the
// value of a five-bit group. The score server reads with the same table, so changing it
// orphans every game in the field.
inline constexpr std::string_view ScoreAlphabet = "HJZYMEC5R1V8GP7A62NWSX3FQ9DLK4BT";

// The letter every result record carries after "|key=": the server refuses records without it.
inline constexpr char kRecordKey = 'V';

// Path of the score server's one script, for results and for the world table alike.
inline constexpr std::string_view kScoreScriptPath = "/cgi/version.pl";
// Where a result goes with its replay (a POST of the replay file, the country in the query),
// and where the replays of the world table's rows are fetched ("<row>.vrr").
inline constexpr std::string_view kResultsPath = "/v2/results";
inline constexpr std::string_view kReplaysPath = "/v2/replays/";
// Product code the server files this game's results under.
inline constexpr std::string_view kProductCode = "Drovix";

// Longest name and country (in bytes) the server keeps: the game types at most 12 name
// characters and 16 country characters, the rest is slack for hand-edited options files.
inline constexpr std::size_t kMaxNameBytes = 32;
inline constexpr std::size_t kMaxCountryBytes = 32;

}  // namespace vrumbal
