#include "game/high_scores.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "platform/codepage.h"
#include "save/high_score_check.h"

namespace vrumbal {
namespace {

// A state whose entries 1..10 hold the given names and scores.
GameState TableOf(const std::vector<std::string>& names, const std::vector<int>& scores) {
    GameState state;
    for (int k = 1; k <= 10; ++k) {
        state.HighScores[k] = {names[k - 1], scores[k - 1]};
    }
    return state;
}

const std::vector<int> kDefaultScores = {10000, 9000, 8000, 7000, 6000,
                                         5000,  4000, 3000, 2000, 1000};

TEST(DefaultHighScoresTest, TenZumoEntriesAndScratchEntryKept) {
    GameState state;
    state.HighScores[11] = {"x", 5};
    DefaultHighScores(state);
    EXPECT_EQ(std::string(kDefaultHighScoreName), Utf8ToCp1251("Зумо"));
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(state.HighScores[k].name, Utf8ToCp1251("Зумо")) << k;
        EXPECT_EQ(state.HighScores[k].score, kDefaultScores[k - 1]) << k;
    }
    EXPECT_EQ(state.HighScores[11].name, "x");
    EXPECT_EQ(state.HighScores[11].score, 5);
}

struct CheckCase {
    const char* what;
    std::vector<std::string> names;
    std::vector<int> scores;
    std::string expected;
};

class CheckTextTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckTextTest, MatchesWorkedValue) {
    const CheckCase& c = GetParam();
    const GameState state = TableOf(c.names, c.scores);
    EXPECT_EQ(ComputeHighScoreCheck(state), c.expected);
    EXPECT_TRUE(HighScoreCheckMatches(state, c.expected));
}

// Values worked out by hand from the mixing rule (sum of byte codes mod 224, plus 32).
INSTANTIATE_TEST_SUITE_P(
    Tables, CheckTextTest,
    testing::Values(CheckCase{"default table", std::vector<std::string>(10, "\xC7\xF3\xEC\xEE"),
                              kDefaultScores, "4\xDE\x98\xAC"},
                    CheckCase{"ten A", std::vector<std::string>(10, "A"), kDefaultScores, "8"},
                    CheckCase{"all names empty", std::vector<std::string>(10, ""), kDefaultScores,
                              ""},
                    // Only the first name is one byte long, so of 7777 only the first digit counts.
                    CheckCase{"digits beyond the longest name",
                              {"B", "", "", "", "", "", "", "", "", ""},
                              {7777, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              ")"},
                    CheckCase{"negative score uses its minus sign",
                              {"AB", "", "", "", "", "", "", "", "", ""},
                              {-5, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              std::string("\xFE\xD7")}),
    [](const testing::TestParamInfo<CheckCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

TEST(CheckTextTest, AnyChangedDigitOrNameBreaksTheMatch) {
    GameState state;
    DefaultHighScores(state);
    const std::string check = ComputeHighScoreCheck(state);
    GameState digit = state;
    digit.HighScores[4].score = 7001;
    EXPECT_FALSE(HighScoreCheckMatches(digit, check));
    GameState name = state;
    name.HighScores[10].name = "Zumo";
    EXPECT_FALSE(HighScoreCheckMatches(name, check));
    EXPECT_FALSE(HighScoreCheckMatches(state, check + " "));
    EXPECT_FALSE(HighScoreCheckMatches(state, ""));
    // The scratch entry takes no part.
    GameState scratch = state;
    scratch.HighScores[11] = {"anything", 99999};
    EXPECT_TRUE(HighScoreCheckMatches(scratch, check));
}

struct QualifyCase {
    int score;
    bool qualifies;
};

class QualifyTest : public testing::TestWithParam<QualifyCase> {};

TEST_P(QualifyTest, AgainstDefaultTable) {
    GameState state;
    DefaultHighScores(state);
    EXPECT_EQ(QualifiesForHighScores(state, GetParam().score), GetParam().qualifies);
}

INSTANTIATE_TEST_SUITE_P(Scores, QualifyTest,
                         testing::Values(QualifyCase{1000, false}, QualifyCase{1001, true},
                                         QualifyCase{999, false}, QualifyCase{0, false},
                                         QualifyCase{-5, false}, QualifyCase{10000, true},
                                         QualifyCase{20000, true}));

TEST(QualifyTest, OnlyEntriesOneToTenCount) {
    GameState state;
    DefaultHighScores(state);
    state.HighScores[11].score = -100;  // a low scratch score must not let 500 in
    EXPECT_FALSE(QualifiesForHighScores(state, 500));
    state.HighScores[7].score = 400;  // an unsorted table: any lower entry lets it in
    EXPECT_TRUE(QualifiesForHighScores(state, 500));
}

TEST(InsertHighScoreTest, NewResultDropsTheLowest) {
    GameState state;
    DefaultHighScores(state);
    state.PlayerName = Utf8ToCp1251("Петя");
    InsertHighScore(state, state.PlayerName, 1001);
    EXPECT_EQ(state.HighScores[9].score, 2000);
    EXPECT_EQ(state.HighScores[10].score, 1001);
    EXPECT_EQ(state.HighScores[10].name, Utf8ToCp1251("Петя"));
    EXPECT_EQ(state.HighScores[11].score, 1000);
}

TEST(InsertHighScoreTest, TopResultMovesAllDown) {
    GameState state;
    DefaultHighScores(state);
    state.PlayerName = "Ace";
    InsertHighScore(state, state.PlayerName, 50000);
    EXPECT_EQ(state.HighScores[1].name, "Ace");
    for (int k = 2; k <= 11; ++k) EXPECT_EQ(state.HighScores[k].score, kDefaultScores[k - 2]);
}

TEST(InsertHighScoreTest, EqualScoreEndsBelowOlderOnes) {
    GameState state;
    state.HighScores[1] = {"first", 500};
    state.HighScores[2] = {"second", 500};
    for (int k = 3; k <= 10; ++k) state.HighScores[k] = {"low", 100};
    state.PlayerName = "new";
    InsertHighScore(state, state.PlayerName, 500);
    EXPECT_EQ(state.HighScores[1].name, "first");
    EXPECT_EQ(state.HighScores[2].name, "second");
    EXPECT_EQ(state.HighScores[3].name, "new");
    EXPECT_EQ(state.HighScores[11].name, "low");
}

TEST(SortHighScoresTest, StableDescendingOverElevenEntries) {
    GameState state;
    const std::vector<int> scores = {3, 9, 3, 1, 9, 7, 3, 0, 7, -2, 9};
    for (int k = 1; k <= 11; ++k) state.HighScores[k] = {std::to_string(k), scores[k - 1]};
    SortHighScores(state);
    const std::vector<std::string> expectedNames = {"2", "5", "11", "6", "9", "1",
                                                    "3", "7", "4",  "8", "10"};
    for (int k = 1; k <= 11; ++k) EXPECT_EQ(state.HighScores[k].name, expectedNames[k - 1]) << k;
}

}  // namespace
}  // namespace vrumbal
