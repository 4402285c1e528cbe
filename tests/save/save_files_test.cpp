// The save files on disk: start-up loading, the orderly-exit writes and their safety.
#include "save/save_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "game/high_scores.h"
#include "platform/codepage.h"
#include "save/atomic_write.h"
#include "save/high_score_check.h"
#include "save/high_score_file.h"
#include "save/options_file.h"
#include "save/save_paths.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteRaw(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Files in the save folder other than the two save files (leftover temporaries).
int StrayFiles(const fs::path& root) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(root / "Data" / "Save")) {
        const auto name = entry.path().filename();
        if (name != "options" && name != "hs" && name != "hs-replays") ++count;
    }
    return count;
}

bool IsDefaultTable(const GameState& state) {
    for (int k = 1; k <= 10; ++k) {
        if (state.HighScores[k].name != kDefaultHighScoreName ||
            state.HighScores[k].score != 11000 - 1000 * k) {
            return false;
        }
    }
    return true;
}

// A state far from every default.
GameState PlayedState() {
    GameState state;
    state.FullScreen = 1;
    state.MusicOn = 0;
    state.SoundOn = 1;
    state.Country = Utf8ToCp1251("Беларусь");
    state.HotKeyShift = 1;
    state.HotKeyCode = 0x7B;
    DefaultHighScores(state);
    state.PlayerName = Utf8ToCp1251("Вася Пупкин");
    InsertHighScore(state, state.PlayerName, 8500);
    state.PlayerName = "Bob";
    InsertHighScore(state, state.PlayerName, 8500);
    return state;
}

TEST(SaveFilesTest, NoFilesGiveDefaults) {
    test::TempDir dir;
    GameState state;
    state.FullScreen = 1;
    state.HotKeyCode = 0;
    for (int k = 1; k <= 10; ++k) state.HighScores[k] = {"x", 1};
    LoadSaveFiles(state, dir.Path());
    EXPECT_EQ(state.FullScreen, 0);
    EXPECT_EQ(state.MusicOn, 1);
    EXPECT_EQ(state.SoundOn, 1);
    EXPECT_EQ(state.Country, "_______");
    EXPECT_EQ(state.HotKeyShift, 2);
    EXPECT_EQ(state.HotKeyCode, 0x78);
    EXPECT_TRUE(IsDefaultTable(state));
}

TEST(SaveFilesTest, DefaultPairWrittenByteForByte) {
    test::TempDir dir;
    GameState state;
    LoadSaveFiles(state, dir.Path());  // creates nothing
    EXPECT_FALSE(fs::exists(dir.Path() / "Data"));
    ASSERT_TRUE(WriteSaveFiles(state, dir.Path()).ok);
    EXPECT_EQ(ReadAll(OptionsFilePath(dir.Path())),
              "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n4\xDE\x98\xAC\r\n");
    std::string hs;
    for (int score = 10000; score >= 1000; score -= 1000) {
        hs += "\xC7\xF3\xEC\xEE\r\n" + std::to_string(score) + "\r\n";
    }
    EXPECT_EQ(ReadAll(HighScoreFilePath(dir.Path())), hs);
    // No row of the default table has a replay.
    std::string index;
    for (int k = 1; k <= 10; ++k) index += "\r\n";
    EXPECT_EQ(ReadAll(dir.Path() / "Data" / "Save" / "hs-replays"), index);
    EXPECT_EQ(StrayFiles(dir.Path()), 0);
}

TEST(SaveFilesTest, EverythingRoundTrips) {
    test::TempDir dir;
    const GameState played = PlayedState();
    ASSERT_TRUE(WriteSaveFiles(played, dir.Path()).ok);
    GameState read;
    LoadSaveFiles(read, dir.Path());
    EXPECT_EQ(read.FullScreen, 1);
    EXPECT_EQ(read.MusicOn, 0);
    EXPECT_EQ(read.SoundOn, 1);
    EXPECT_EQ(Cp1251ToUtf8(read.Country), "Беларусь");
    EXPECT_EQ(read.HotKeyShift, 1);
    EXPECT_EQ(read.HotKeyCode, 0x7B);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(read.HighScores[k].name, played.HighScores[k].name) << k;
        EXPECT_EQ(read.HighScores[k].score, played.HighScores[k].score) << k;
    }
    EXPECT_EQ(Cp1251ToUtf8(read.HighScores[3].name), "Вася Пупкин");
    EXPECT_EQ(read.HighScores[4].name, "Bob");
}

TEST(SaveFilesTest, TableOfTenAWithCheckEightIsKept) {
    test::TempDir dir;
    std::string hs;
    for (int score = 10000; score >= 1000; score -= 1000) {
        hs += "A\r\n" + std::to_string(score) + "\r\n";
    }
    WriteRaw(HighScoreFilePath(dir.Path()), hs);
    WriteRaw(OptionsFilePath(dir.Path()), "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n8\r\n");
    GameState state;
    LoadSaveFiles(state, dir.Path());
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(state.HighScores[k].name, "A") << k;
}

// Ways a table stops matching its options file; each must give the default table.
struct MismatchCase {
    const char* what;
    bool removeOptions;  // the options file is gone
    std::string find;    // text replaced in the table file
    std::string replace;
};

class MismatchTest : public testing::TestWithParam<MismatchCase> {};

TEST_P(MismatchTest, GivesTheDefaultTable) {
    const MismatchCase& c = GetParam();
    test::TempDir dir;
    const GameState played = PlayedState();
    ASSERT_TRUE(WriteSaveFiles(played, dir.Path()).ok);
    if (c.removeOptions) fs::remove(OptionsFilePath(dir.Path()));
    if (!c.find.empty()) {
        std::string hs = ReadAll(HighScoreFilePath(dir.Path()));
        const auto at = hs.find(c.find);
        ASSERT_NE(at, std::string::npos);
        hs.replace(at, c.find.size(), c.replace);
        WriteRaw(HighScoreFilePath(dir.Path()), hs);
    }
    GameState state;
    LoadSaveFiles(state, dir.Path());
    EXPECT_TRUE(IsDefaultTable(state));
}

INSTANTIATE_TEST_SUITE_P(
    Tampering, MismatchTest,
    testing::Values(MismatchCase{"one_digit", false, "\r\n7000\r\n", "\r\n7001\r\n"},
                    MismatchCase{"a_name", false, "Bob", "Bib"},
                    MismatchCase{"unreadable_score", false, "\r\n7000\r\n", "\r\nlots\r\n"},
                    MismatchCase{"no_options_file", true, "", ""}),
    [](const testing::TestParamInfo<MismatchCase>& info) { return std::string(info.param.what); });

TEST(SaveFilesTest, FolderIsNoSaveFile) {
    test::TempDir dir;
    fs::create_directories(OptionsFilePath(dir.Path()));
    EXPECT_FALSE(SaveFileExists(OptionsFilePath(dir.Path())));
    EXPECT_FALSE(SaveFileExists(""));
    GameState state;
    state.MusicOn = 0;
    LoadOptions(state, dir.Path());
    EXPECT_EQ(state.MusicOn, 1);  // defaults, as for a missing file
}

TEST(AtomicWriteTest, ReplacesTheOldFileAndLeavesNoTemporary) {
    test::TempDir dir;
    const fs::path path = dir.Path() / "Data" / "Save" / "hs";
    WriteRaw(path, std::string(5000, 'o'));
    ASSERT_TRUE(WriteFileAtomically(path, "new\r\n").ok);
    EXPECT_EQ(ReadAll(path), "new\r\n");
    EXPECT_EQ(StrayFiles(dir.Path()), 0);
}

TEST(AtomicWriteTest, UnwritableFolderIsReported) {
    test::TempDir dir;
    // A regular file where the data root should be: the folder cannot be made, even as root.
    WriteRaw(dir.Path() / "root", "not a folder");
    const GameState state = PlayedState();
    const SaveWriteResult options = SaveOptions(state, dir.Path() / "root");
    EXPECT_FALSE(options.ok);
    EXPECT_NE(options.message.find("root"), std::string::npos) << options.message;
    const SaveWriteResult both = WriteSaveFiles(state, dir.Path() / "root");
    EXPECT_FALSE(both.ok);
    EXPECT_FALSE(static_cast<bool>(both));
    EXPECT_NE(both.message.find("root"), std::string::npos) << both.message;
    EXPECT_EQ(ReadAll(dir.Path() / "root"), "not a folder");
}

TEST(AtomicWriteTest, FailedWriteKeepsTheOldFile) {
    test::TempDir dir;
    const fs::path path = OptionsFilePath(dir.Path());
    WriteRaw(path, "old options\r\n");
    // A folder in the temporary file's place makes the write fail, even as root.
    fs::create_directories(fs::path(path.string() + ".tmp"));
    const SaveWriteResult result = SaveOptions(PlayedState(), dir.Path());
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(ReadAll(path), "old options\r\n");
}

TEST(AtomicWriteTest, FailedRenameRemovesTheTemporary) {
    test::TempDir dir;
    // A non-empty folder where the table file should be cannot be replaced.
    WriteRaw(HighScoreFilePath(dir.Path()) / "inside", "x");
    const SaveWriteResult result = SaveHighScores(PlayedState(), dir.Path());
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(fs::exists(HighScoreFilePath(dir.Path()).string() + ".tmp"));
    EXPECT_EQ(ReadAll(HighScoreFilePath(dir.Path()) / "inside"), "x");
}

}  // namespace
}  // namespace vrumbal
