// The high-score file Data/Save/hs: its lines, and the table loaded from it and saved to it.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "game/game_state.h"
#include "save/atomic_write.h"

namespace vrumbal {

// How the table was found at start-up.
enum class HighScoreLoad : std::uint8_t {
    kFromFile,  // read from the file (missing lines read as empty names and 0 points)
    kNoFile,    // no file: the default table
    kDamaged,   // a score line was no number: the default table
};

// The 20 lines of entries 1..10 (name, then score), CR LF ended, as stored in Data/Save/hs.
std::string FormatHighScoreFile(const GameState& state);
// Reads entries 1..10 from the file's bytes; a score line that is no number makes the whole
// table the default one (and gives kDamaged). Entry 11 is not touched.
HighScoreLoad ParseHighScoreFile(GameState& state, const std::string& bytes);
// Reads Data/Save/hs under the data root, or sets the default table when there is none.
HighScoreLoad LoadHighScores(GameState& state, const std::filesystem::path& dataRoot);
// Writes entries 1..10 to Data/Save/hs under the data root, safely replacing the old file.
SaveWriteResult SaveHighScores(const GameState& state, const std::filesystem::path& dataRoot);

}  // namespace vrumbal
