// The rules of the high-score table.
#include "game/high_scores.h"

#include <utility>

namespace vrumbal {

void DefaultHighScores(HighScoreTable& table) {
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        table.HighScores[k].name = kDefaultHighScoreName;
        table.HighScores[k].score = 11000 - 1000 * k;
        table.HighScores[k].replay.clear();
    }
}

bool QualifiesForHighScores(const HighScoreTable& table, std::int32_t score) {
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        if (score > table.HighScores[k].score) return true;
    }
    return false;
}

void InsertHighScore(HighScoreTable& table, const std::string& name, std::int32_t score,
                     const std::string& replay) {
    table.HighScores[kNewHighScoreEntry] = {name, score, replay};
    SortHighScores(table);
}

void SortHighScores(HighScoreTable& table) {
    // Bubble passes that swap only strictly smaller scores keep equal results in the order
    // they were reached, so the older of two equal results stays above.
    for (int pass = 1; pass <= kHighScoreTableSize; ++pass) {
        for (int k = 1; k <= kNewHighScoreEntry - pass; ++k) {
            if (table.HighScores[k].score < table.HighScores[k + 1].score) {
                std::swap(table.HighScores[k], table.HighScores[k + 1]);
            }
        }
    }
}

}  // namespace vrumbal
