#include "save/high_score_table.h"

#include <algorithm>
#include <utility>

namespace vrumbal {

void DefaultHighScores(GameState& state) {
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        state.HighScores[k].name = kDefaultHighScoreName;
        state.HighScores[k].score = 11000 - 1000 * k;
    }
}

bool QualifiesForHighScores(const GameState& state, std::int32_t score) {
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        if (score > state.HighScores[k].score) return true;
    }
    return false;
}

void InsertHighScore(GameState& state, std::int32_t score) {
    state.HighScores[kNewHighScoreEntry] = {state.PlayerName, score};
    SortHighScores(state);
}

void SortHighScores(GameState& state) {
    // Bubble passes that swap only strictly smaller scores keep equal results in the order
    // they were reached, so the older of two equal results stays above.
    for (int pass = 1; pass <= kHighScoreTableSize; ++pass) {
        for (int k = 1; k <= kNewHighScoreEntry - pass; ++k) {
            if (state.HighScores[k].score < state.HighScores[k + 1].score) {
                std::swap(state.HighScores[k], state.HighScores[k + 1]);
            }
        }
    }
}

std::string ComputeHighScoreCheck(const GameState& state) {
    std::size_t longest = 0;
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        longest = std::max(longest, state.HighScores[k].name.size());
    }
    std::string check(longest, ' ');
    const auto mix = [](char into, char with) {
        const unsigned sum = static_cast<unsigned char>(into) + static_cast<unsigned char>(with);
        return static_cast<char>(sum % 224 + 32);
    };
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        const std::string& name = state.HighScores[k].name;
        for (std::size_t j = 0; j < name.size(); ++j) check[j] = mix(check[j], name[j]);
        // Digits beyond the longest name take no part.
        const std::string digits = std::to_string(state.HighScores[k].score);
        for (std::size_t j = 0; j < digits.size() && j < longest; ++j) {
            check[j] = mix(check[j], digits[j]);
        }
    }
    return check;
}

bool HighScoreCheckMatches(const GameState& state, const std::string& highScoreCheck) {
    return highScoreCheck == ComputeHighScoreCheck(state);
}

}  // namespace vrumbal
