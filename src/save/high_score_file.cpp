// The high-score file's twenty lines written and read, a damaged one giving the default table.
#include "save/high_score_file.h"

#include <array>

#include "game/high_scores.h"
#include "save/save_file_reader.h"
#include "save/save_paths.h"

namespace vrumbal {

std::string FormatHighScoreFile(const GameState& state) {
    std::string out;
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        out += state.HighScores[k].name;
        out += "\r\n";
        out += std::to_string(state.HighScores[k].score);
        out += "\r\n";
    }
    return out;
}

HighScoreLoad ParseHighScoreFile(GameState& state, const std::string& bytes) {
    SaveFileReader reader(bytes);
    // Read into a copy first so a damaged file never leaves half a table behind.
    std::array<HighScoreEntry, kHighScoreTableSize + 1> read;
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        read[k].name = reader.ReadLine();
        const NumberRead score = reader.ReadNumber();
        if (score.status == NumberStatus::kUnreadable) {
            DefaultHighScores(state);
            return HighScoreLoad::kDamaged;
        }
        read[k].score = score.value;
    }
    for (int k = 1; k <= kHighScoreTableSize; ++k) state.HighScores[k] = std::move(read[k]);
    return HighScoreLoad::kFromFile;
}

HighScoreLoad LoadHighScores(GameState& state, const std::filesystem::path& dataRoot) {
    const auto bytes = ReadSaveFile(HighScoreFilePath(dataRoot));
    if (!bytes) {
        DefaultHighScores(state);
        return HighScoreLoad::kNoFile;
    }
    return ParseHighScoreFile(state, *bytes);
}

SaveWriteResult SaveHighScores(const GameState& state, const std::filesystem::path& dataRoot) {
    return WriteFileAtomically(HighScoreFilePath(dataRoot), FormatHighScoreFile(state));
}

}  // namespace vrumbal
