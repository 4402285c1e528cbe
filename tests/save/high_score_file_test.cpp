#include "save/high_score_file.h"

#include <gtest/gtest.h>

#include <string>

#include "game/high_scores.h"
#include "platform/codepage.h"

namespace vrumbal {
namespace {

TEST(HighScoreFileTest, DefaultFileByteForByte) {
    GameState state;
    DefaultHighScores(state);
    std::string expected;
    for (int score = 10000; score >= 1000; score -= 1000) {
        expected += "\xC7\xF3\xEC\xEE\r\n" + std::to_string(score) + "\r\n";
    }
    EXPECT_EQ(FormatHighScoreFile(state), expected);
}

TEST(HighScoreFileTest, ScratchEntryIsNeverWritten) {
    GameState state;
    DefaultHighScores(state);
    const std::string before = FormatHighScoreFile(state);
    state.HighScores[11] = {"hidden", 123456};
    EXPECT_EQ(FormatHighScoreFile(state), before);
}

TEST(HighScoreFileTest, EveryEntryRoundTrips) {
    GameState state;
    const char* names[] = {"Иван", "",    "Zoë?", "A B", "ёЁ Ъъ", "0123", "Long name 12345678901",
                           "Ω",    "Щит", "x"};
    const int scores[] = {2147483647, 500, 500, 0, -1, -2147483647 - 1, 77, 76, 3, 1};
    for (int k = 1; k <= 10; ++k) {
        state.HighScores[k] = {Utf8ToCp1251(names[k - 1]), scores[k - 1]};
    }
    GameState read;
    read.HighScores[11] = {"keep", 9};
    EXPECT_EQ(ParseHighScoreFile(read, FormatHighScoreFile(state)), HighScoreLoad::kFromFile);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(read.HighScores[k].name, state.HighScores[k].name) << k;
        EXPECT_EQ(read.HighScores[k].score, scores[k - 1]) << k;
    }
    EXPECT_EQ(Cp1251ToUtf8(read.HighScores[1].name), "Иван");
    EXPECT_EQ(read.HighScores[11].name, "keep");
    EXPECT_EQ(read.HighScores[11].score, 9);
}

TEST(HighScoreFileTest, MissingLinesReadAsEmptyNamesAndZero) {
    GameState state;
    DefaultHighScores(state);
    EXPECT_EQ(ParseHighScoreFile(state, "Ann\r\n300\r\nBob\r\n200\r\nCid"),
              HighScoreLoad::kFromFile);
    EXPECT_EQ(state.HighScores[1].name, "Ann");
    EXPECT_EQ(state.HighScores[1].score, 300);
    EXPECT_EQ(state.HighScores[2].name, "Bob");
    EXPECT_EQ(state.HighScores[2].score, 200);
    EXPECT_EQ(state.HighScores[3].name, "Cid");
    EXPECT_EQ(state.HighScores[3].score, 0);
    for (int k = 4; k <= 10; ++k) {
        EXPECT_EQ(state.HighScores[k].name, "") << k;
        EXPECT_EQ(state.HighScores[k].score, 0) << k;
    }
}

class DamagedHighScoreFileTest : public testing::TestWithParam<std::string> {};

TEST_P(DamagedHighScoreFileTest, GivesTheDefaultTable) {
    GameState state;
    for (int k = 1; k <= 10; ++k) state.HighScores[k] = {"old", 1};
    EXPECT_EQ(ParseHighScoreFile(state, GetParam()), HighScoreLoad::kDamaged);
    GameState defaults;
    DefaultHighScores(defaults);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(state.HighScores[k].name, defaults.HighScores[k].name) << k;
        EXPECT_EQ(state.HighScores[k].score, defaults.HighScores[k].score) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedHighScoreFileTest,
                         testing::Values("Ann\r\nlots\r\n",
                                         "Ann\r\n300\r\nBob\r\n\r\nCid\r\n100\r\n",
                                         "Ann\r\n300\r\nBob\r\n99999999999\r\n", "Ann\r\n-\r\n",
                                         std::string("Ann\r\n1\r\nBob\r\n\xC7\xF3\r\n")));

}  // namespace
}  // namespace vrumbal
