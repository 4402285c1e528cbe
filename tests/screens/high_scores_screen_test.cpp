// The high-score screen and the web links driven through the real frame loop.
#include "screens/high_scores_screen.h"

#include <gtest/gtest.h>

#include <cmath>

#include "online/score_submit.h"
#include "options_rig.h"
#include "platform/codepage.h"
#include "save/save_files.h"

namespace vrumbal::test {
namespace {

// "Зумо", the default table's name.
const std::string kDefaultName = "\xC7\xF3\xEC\xEE";

class HighScoresScreenTest : public testing::Test {
protected:
    void SetUp() override {
        rig_.Form().ActivateEntry(4);
        rig_.Frames(1);
        ASSERT_EQ(rig_.State().ScreenKind, kScreenHighScores);
    }

    // The table of (name, score) rows 1..10, as written in the state.
    void FillTable(const std::vector<std::pair<std::string, int>>& rows) {
        for (std::size_t k = 1; k <= rows.size(); ++k) {
            rig_.State().HighScores[k] = {rows[k - 1].first, rows[k - 1].second};
        }
    }

    // The texts drawn in the table's font whose centre lies on the given column.
    std::vector<DrawnText> Column(int centreX) {
        std::vector<DrawnText> found;
        for (const DrawnText& d : rig_.DrawnInSlot(2)) {
            const double halfWidth = FakeTextWidth(d.text, d.font.size) / 2.0;
            if (d.x == static_cast<int>(std::trunc(centreX - halfWidth))) found.push_back(d);
        }
        return found;
    }

    ScreenRig rig_;
};

TEST(HighScoreRowTest, RowsAreAThirdOfAHundredApartRoundedToEven) {
    const int expected[] = {196, 230, 263, 297, 331, 364, 398, 432, 466, 499};
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(HighScoreRowY(k), expected[k - 1]) << k;
}

TEST_F(HighScoresScreenTest, TableIsDrawnInOrderOnItsRows) {
    // Cyrillic and Latin names; entry 11 is scratch and never shown.
    const std::vector<std::pair<std::string, int>> rows = {
        {"\xC8\xE2\xE0\xED", 9100},
        {"Anna", 8800},
        {"\xCF\xB8\xF2\xF0", 7700},
        {"Bob1", 7600},
        {"Q", 5000},
        {"Zx", 4200},
        {"\xDF", 3300},
        {"Mi Ka", 2100},
        {"\xCE\xEB\xFF", 1900},
        {"Last", -5},
    };
    FillTable(rows);
    rig_.State().HighScores[11] = {"Scratch", 999999};
    rig_.ClearDrawn();
    rig_.Frames(1);
    const std::vector<DrawnText> names = Column(578);
    const std::vector<DrawnText> scores = Column(732);
    ASSERT_EQ(names.size(), 10u);
    ASSERT_EQ(scores.size(), 10u);
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE(k);
        const auto& row = rows[static_cast<std::size_t>(k - 1)];
        // 18 points high, so each line starts 9 pixels above its row's centre.
        EXPECT_EQ(names[k - 1].text, Cp1251ToUtf8(row.first));
        EXPECT_EQ(names[k - 1].y, HighScoreRowY(k) - 9);
        EXPECT_EQ(scores[k - 1].text, std::to_string(row.second));
        EXPECT_EQ(scores[k - 1].y, HighScoreRowY(k) - 9);
    }
}

TEST_F(HighScoresScreenTest, LeftAndRightStepWithoutWrapping) {
    const struct {
        int from;
        int key;
        int to;
    } cases[] = {
        {7, kKeyLeft, 7}, {9, kKeyRight, 9}, {7, kKeyRight, 8}, {8, kKeyRight, 9},
        {9, kKeyLeft, 8}, {8, kKeyLeft, 7},  {8, kKeyUp, 8},    {8, kKeyDown, 8},
        {0, kKeyLeft, 7}, {0, kKeyRight, 8}, {0, kKeyUp, 7},    {0, kKeyDown, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << c.key);
        rig_.State().MenuSelection = c.from;
        rig_.Frames(1);
        rig_.Tap(c.key);
        EXPECT_EQ(rig_.State().MenuSelection, c.to);
    }
}

TEST_F(HighScoresScreenTest, EscapeGoesBackEvenWithThePointerOnClear) {
    rig_.MoveMouse(370, 540);
    rig_.Frames(1);
    ASSERT_EQ(rig_.State().MenuSelection, 7);
    rig_.Tap(kKeyEscape);
    const GameState& s = rig_.State();
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
    EXPECT_EQ(s.MenuSelection, 4);
    for (int entry : {7, 8, 9, 16, 17}) EXPECT_EQ(s.MenuEntries[entry].sprite, nullptr);
}

TEST_F(HighScoresScreenTest, ClearingAsksFirst) {
    const struct {
        int answer;
        bool cleared;
    } cases[] = {{kKeyNo, false}, {kKeyYes, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cleared);
        FillTable({{"Anna", 500}, {"Bob", 400}});
        rig_.Form().ActivateEntry(7);
        ASSERT_EQ(rig_.State().DialogKind, 4);
        // The question covers the table.
        rig_.ClearDrawn();
        rig_.Frames(1);
        EXPECT_TRUE(Column(732).empty());
        rig_.Tap(c.answer);
        EXPECT_EQ(rig_.State().DialogKind, 0);
        EXPECT_EQ(rig_.State().ScreenKind, kScreenHighScores);
        EXPECT_EQ(rig_.State().MenuSelection, 7);
        // The table is shown again at once, cleared or not.
        rig_.ClearDrawn();
        rig_.Frames(1);
        const std::vector<DrawnText> names = Column(578);
        ASSERT_EQ(names.size(), 10u);
        EXPECT_EQ(names[0].text, Cp1251ToUtf8(c.cleared ? kDefaultName : "Anna"));
        EXPECT_EQ(rig_.State().HighScores[1].score, c.cleared ? 10000 : 500);
        EXPECT_EQ(rig_.State().HighScores[10].score, 1000);
        // Declining leaves the disk alone; a cleared table is kept at once, a game cut off
        // after it must not bring the old table back.
        const auto hs = rig_.Root() / "Data" / "Save" / "hs";
        EXPECT_EQ(std::filesystem::exists(hs), c.cleared);
        if (c.cleared) {
            GameState reread;
            LoadSaveFiles(reread, rig_.Root());
            EXPECT_EQ(reread.HighScores[1].score, 10000);
            EXPECT_EQ(reread.HighScores[1].name, kDefaultName);
        }
    }
}

TEST_F(HighScoresScreenTest, WorldTableOpensInTheBrowser) {
    rig_.Form().ActivateEntry(8);
    rig_.Frames(1);
    ASSERT_EQ(rig_.Log().opened.size(), 1u);
    const std::string& opened = rig_.Log().opened[0];
    EXPECT_EQ(opened, WorldTableAddress());
    EXPECT_EQ(opened.rfind("http://", 0), 0u);
    const std::string page = "/cgi/version.pl?prg=Drovix&show&type=0";
    ASSERT_GE(opened.size(), page.size());
    EXPECT_EQ(opened.substr(opened.size() - page.size()), page);
    EXPECT_EQ(rig_.State().ScreenKind, kScreenHighScores);
    EXPECT_EQ(rig_.State().MenuSelection, 8);
}

TEST(MoreGamesTest, MainEntryFiveOpensTheShortcutAndStaysOnTheMenu) {
    ScreenRig rig;
    rig.Form().ActivateEntry(5);
    rig.Frames(1);
    ASSERT_EQ(rig.Log().opened.size(), 1u);
    EXPECT_EQ(rig.Log().opened[0], "moregames.url");
    EXPECT_EQ(rig.State().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(rig.State().MenuSelection, 5);
}

}  // namespace
}  // namespace vrumbal::test
