// The check text of the high-score table.
#include "save/high_score_check.h"

#include <algorithm>

namespace vrumbal {

std::string ComputeHighScoreCheck(const HighScoreTable& table) {
    std::size_t longest = 0;
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        longest = std::max(longest, table.HighScores[k].name.size());
    }
    std::string check(longest, ' ');
    const auto mix = [](char into, char with) {
        const unsigned sum = static_cast<unsigned char>(into) + static_cast<unsigned char>(with);
        return static_cast<char>(sum % 224 + 32);
    };
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        const std::string& name = table.HighScores[k].name;
        for (std::size_t j = 0; j < name.size(); ++j) check[j] = mix(check[j], name[j]);
        // Digits beyond the longest name take no part.
        const std::string digits = std::to_string(table.HighScores[k].score);
        for (std::size_t j = 0; j < digits.size() && j < longest; ++j) {
            check[j] = mix(check[j], digits[j]);
        }
    }
    return check;
}

bool HighScoreCheckMatches(const HighScoreTable& table, const std::string& highScoreCheck) {
    return highScoreCheck == ComputeHighScoreCheck(table);
}

}  // namespace vrumbal
