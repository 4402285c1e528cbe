#include "save/options_file.h"

#include <gtest/gtest.h>

#include <string>

#include "game/high_scores.h"
#include "platform/codepage.h"
#include "save/high_score_check.h"

namespace vrumbal {
namespace {

// A state with the default options and the default table.
GameState DefaultState() {
    GameState state;
    DefaultOptions(state);
    DefaultHighScores(state);
    return state;
}

// The check text of the default table, worked out by hand.
const std::string kDefaultCheck = "4\xDE\x98\xAC";

TEST(OptionsFileTest, DefaultFileByteForByte) {
    GameState state;
    state.FullScreen = 1;
    state.MusicOn = 0;
    state.HotKeyShift = 0;
    state.HotKeyCode = 0;
    DefaultOptions(state);
    DefaultHighScores(state);
    EXPECT_EQ(FormatOptionsFile(state),
              "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n" + kDefaultCheck + "\r\n");
}

TEST(OptionsFileTest, CheckLineFollowsTheTableWhenWritten) {
    GameState state = DefaultState();
    for (int k = 1; k <= 10; ++k) state.HighScores[k].name = "A";
    EXPECT_EQ(FormatOptionsFile(state), "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n8\r\n");
}

// One hot key: its in-memory values and its two file lines.
struct HotKeyCase {
    std::uint8_t shift;
    std::int32_t code;
    const char* line5;
    const char* line6;
};

class HotKeyLinesTest : public testing::TestWithParam<HotKeyCase> {};

TEST_P(HotKeyLinesTest, WrittenAndReadBack) {
    const HotKeyCase& c = GetParam();
    GameState state = DefaultState();
    state.HotKeyShift = c.shift;
    state.HotKeyCode = c.code;
    const std::string file = FormatOptionsFile(state);
    EXPECT_EQ(file, std::string("0\r\n1\r\n1\r\n_______\r\n") + c.line5 + "\r\n" + c.line6 +
                        "\r\n" + kDefaultCheck + "\r\n");
    GameState read;
    ParseOptionsFile(read, file);
    EXPECT_EQ(read.HotKeyShift, c.shift);
    EXPECT_EQ(read.HotKeyCode, c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HotKeyLinesTest,
    testing::Values(HotKeyCase{2, 0x78, "1", "9"}, HotKeyCase{2, 0x79, "1", "10"},
                    HotKeyCase{4, 0x70, "2", "1"}, HotKeyCase{1, 0x7B, "3", "12"},
                    HotKeyCase{0, 0x7A, "0", "11"}, HotKeyCase{0, 0x74, "0", "5"},
                    HotKeyCase{4, 0, "2", "0"}, HotKeyCase{0, 0, "0", "0"}));

// Values that do not survive a write unchanged.
struct ForeignKeyCase {
    std::uint8_t shift;
    std::int32_t code;
    const char* line5;
    const char* line6;
};

class ForeignHotKeyTest : public testing::TestWithParam<ForeignKeyCase> {};

TEST_P(ForeignHotKeyTest, WrittenAsTheirFileCode) {
    const ForeignKeyCase& c = GetParam();
    GameState state = DefaultState();
    state.HotKeyShift = c.shift;
    state.HotKeyCode = c.code;
    EXPECT_EQ(FormatOptionsFile(state), std::string("0\r\n1\r\n1\r\n_______\r\n") + c.line5 +
                                            "\r\n" + c.line6 + "\r\n" + kDefaultCheck + "\r\n");
}

// Alt wins over Ctrl, Ctrl over Shift; keys outside F1..F12 are written as 0.
INSTANTIATE_TEST_SUITE_P(
    Keys, ForeignHotKeyTest,
    testing::Values(ForeignKeyCase{7, 0x78, "1", "9"}, ForeignKeyCase{6, 0x78, "1", "9"},
                    ForeignKeyCase{5, 0x78, "2", "9"}, ForeignKeyCase{8, 0x6F, "0", "0"},
                    ForeignKeyCase{2, 0x7C, "1", "0"}, ForeignKeyCase{2, 0x41, "1", "0"}));

struct ParseCase {
    const char* what;
    std::string file;
    std::uint8_t fullScreen, musicOn, soundOn;
    std::string country;
    std::uint8_t shift;
    std::int32_t code;
    std::string check;
};

class ParseOptionsTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseOptionsTest, ReadsEveryField) {
    const ParseCase& c = GetParam();
    GameState state;  // starts from Alt+F9, which a bad code must not keep
    const std::string check = ParseOptionsFile(state, c.file);
    EXPECT_EQ(state.FullScreen, c.fullScreen);
    EXPECT_EQ(state.MusicOn, c.musicOn);
    EXPECT_EQ(state.SoundOn, c.soundOn);
    EXPECT_EQ(state.Country, c.country);
    EXPECT_EQ(state.HotKeyShift, c.shift);
    EXPECT_EQ(state.HotKeyCode, c.code);
    EXPECT_EQ(check, c.check);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseOptionsTest,
    testing::Values(
        ParseCase{"defaults", "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\nchk\r\n", 0, 1, 1, "_______", 2,
                  0x78, "chk"},
        ParseCase{"seven_is_on", "7\r\n-1\r\n0\r\nRu\r\n1\r\n10\r\n\r\n", 1, 1, 0, "Ru", 2, 0x79,
                  ""},
        ParseCase{"ctrl_f1", "1\r\n0\r\n0\r\n \r\n2\r\n1\r\n x \r\n", 1, 0, 0, " ", 4, 0x70, " x "},
        ParseCase{"shift_f12_lf_ends", "0\n0\n1\nUA\n3\n12\nz\n", 0, 0, 1, "UA", 1, 0x7B, "z"},
        ParseCase{"unknown_codes_leave_no_key", "0\r\n1\r\n1\r\nX\r\n4\r\n13\r\nc\r\n", 0, 1, 1,
                  "X", 0, 0, "c"},
        ParseCase{"negative_codes", "0\r\n1\r\n1\r\nX\r\n-1\r\n-3\r\nc\r\n", 0, 1, 1, "X", 0, 0,
                  "c"},
        ParseCase{"empty_country", "0\r\n1\r\n1\r\n\r\n1\r\n9\r\nc\r\n", 0, 1, 1, "", 2, 0x78, "c"},
        ParseCase{"long_country_kept",
                  "0\r\n1\r\n1\r\nAVeryLongCountryNameOf33Letters!!\r\n1\r\n9\r\nc\r\n", 0, 1, 1,
                  "AVeryLongCountryNameOf33Letters!!", 2, 0x78, "c"},
        // Missing lines at the end: numbers 0, texts empty.
        ParseCase{"three_lines", "1\r\n1\r\n1\r\n", 1, 1, 1, "", 0, 0, ""},
        ParseCase{"five_lines_no_last_end", "0\r\n1\r\n1\r\nDE\r\n3", 0, 1, 1, "DE", 1, 0, ""},
        ParseCase{"empty_file", "", 0, 0, 0, "", 0, 0, ""},
        // Lines that are no number read as missing ones and the rest stays in step.
        ParseCase{"garbage_flags", "yes\r\non\r\n1\r\nFR\r\n1\r\n9\r\nc\r\n", 0, 0, 1, "FR", 2,
                  0x78, "c"},
        ParseCase{"garbage_codes", "1\r\n1\r\n1\r\nFR\r\nAlt\r\nF9\r\nc\r\n", 1, 1, 1, "FR", 0, 0,
                  "c"},
        ParseCase{"overflowing_flag", "99999999999\r\n1\r\n1\r\nFR\r\n1\r\n9\r\nc\r\n", 0, 1, 1,
                  "FR", 2, 0x78, "c"},
        ParseCase{"trailing_words", "1 full\r\n0 off\r\n1\r\nFR\r\n2 ctrl\r\n5 F5\r\nc\r\n", 1, 0,
                  1, "FR", 4, 0x74, "c"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.what); });

TEST(OptionsFileTest, FullScreenSevenWrittenBackAsOne) {
    GameState state;
    DefaultHighScores(state);
    ParseOptionsFile(state, "7\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n" + kDefaultCheck + "\r\n");
    EXPECT_EQ(FormatOptionsFile(state),
              "1\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n" + kDefaultCheck + "\r\n");
}

TEST(OptionsFileTest, F13WrittenBackAsZero) {
    GameState state;
    DefaultHighScores(state);
    ParseOptionsFile(state, "0\r\n1\r\n1\r\n_______\r\n1\r\n13\r\n" + kDefaultCheck + "\r\n");
    EXPECT_EQ(state.HotKeyCode, 0);
    EXPECT_EQ(FormatOptionsFile(state),
              "0\r\n1\r\n1\r\n_______\r\n1\r\n0\r\n" + kDefaultCheck + "\r\n");
}

TEST(OptionsFileTest, EveryFieldRoundTripsWithCyrillicCountry) {
    GameState state;
    DefaultHighScores(state);
    state.FullScreen = 1;
    state.MusicOn = 0;
    state.SoundOn = 0;
    state.Country = Utf8ToCp1251("Россия ёЁ Ъ");
    state.HotKeyShift = 4;
    state.HotKeyCode = 0x7A;
    GameState read;
    const std::string check = ParseOptionsFile(read, FormatOptionsFile(state));
    EXPECT_EQ(read.FullScreen, 1);
    EXPECT_EQ(read.MusicOn, 0);
    EXPECT_EQ(read.SoundOn, 0);
    EXPECT_EQ(read.Country, state.Country);
    EXPECT_EQ(Cp1251ToUtf8(read.Country), "Россия ёЁ Ъ");
    EXPECT_EQ(read.HotKeyShift, 4);
    EXPECT_EQ(read.HotKeyCode, 0x7A);
    EXPECT_EQ(check, kDefaultCheck);
}

}  // namespace
}  // namespace vrumbal
