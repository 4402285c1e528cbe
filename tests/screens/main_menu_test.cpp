// The main menu driven through the real frame loop: the slide-in, keys, hover, clicks and
// double clicks, the jump between main entries while a sub-screen is open, and the music.
#include "screens/main_menu.h"

#include <gtest/gtest.h>

#include "engine/picture_collection.h"
#include "race/race_screen.h"
#include "race/scroll_background.h"
#include "screens/menu_rig.h"
#include "ui/menu_button.h"

namespace vrumbal::test {
namespace {

// A point inside main button n (1..6).
int ButtonX() {
    return 20;
}
int ButtonY(int n) {
    return kMainButtons[static_cast<std::size_t>(n - 1)].y + 20;
}

// Points of the sub-screens' own entries.
constexpr int kBackX = 700, kBackY = 560;    // back on every sub-screen
constexpr int kEmptyX = 600, kEmptyY = 100;  // on no entry at all

TEST(MainMenu, SlideInBringsTheButtonsHomeInPairsFromTheMiddle) {
    MenuRig rig;
    GameState& s = rig.State();
    EXPECT_EQ(s.MenuIntroActive, 1);
    EXPECT_EQ(rig.Sounds(0), 1);
    const struct {
        int entry;
        int startY;
        int arrivalFrame;  // first frame after which the button rests exactly in place
    } cases[] = {{3, -100, 17}, {2, -200, 35}, {1, -300, 54},
                 {4, 700, 15},  {5, 800, 31},  {6, 900, 49}};
    for (const auto& c : cases) {
        EXPECT_EQ(s.MenuEntries[c.entry].sprite->Y, c.startY) << c.entry;
    }
    std::map<int, int> arrived;
    for (int frame = 1; frame <= 60; ++frame) {
        rig.Frames(1);
        for (const auto& c : cases) {
            const double y = s.MenuEntries[c.entry].sprite->Y;
            if (y == kMainButtons[static_cast<std::size_t>(c.entry - 1)].y &&
                !arrived.count(c.entry)) {
                arrived[c.entry] = frame;
            }
        }
        if (frame == 53) {
            EXPECT_EQ(s.MenuIntroActive, 1);
        }
    }
    for (const auto& c : cases) EXPECT_EQ(arrived[c.entry], c.arrivalFrame) << c.entry;
    EXPECT_EQ(s.MenuIntroActive, 0);
    EXPECT_EQ(rig.Sounds(0), 1);
}

TEST(MainMenu, DuringTheSlideInKeysDoNothingAndTheMouseSelectsSilently) {
    MenuRig rig;
    GameState& s = rig.State();
    rig.Frames(3);
    rig.Tap(kKeyDown);
    rig.Tap(kKeyEscape);
    rig.Enter();
    rig.Frames(1);
    EXPECT_EQ(s.MenuSelection, 1);
    EXPECT_EQ(s.DialogKind, 0);
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
    EXPECT_FALSE(s.MenuEntries[1].highlighted);
    // Entry 4 has already passed y 600 on its way up by frame 5.
    rig.Frames(10);
    const auto* four = s.MenuEntries[4].sprite;
    rig.MoveMouse(20, static_cast<int>(four->Y) + 10);
    EXPECT_EQ(s.MenuSelection, 4);
    rig.Frames(1);
    EXPECT_EQ(rig.Sounds(1), 0);
    EXPECT_EQ(rig.Sounds(2), 1);  // the Enter above still clicked
    rig.PassIntro();
    rig.Frames(1);
    EXPECT_TRUE(s.MenuEntries[4].highlighted);
}

TEST(MainMenu, ArrowsWrapAroundTheSixEntries) {
    const struct {
        int from;
        int key;
        int to;
    } cases[] = {{1, kKeyUp, 6},   {6, kKeyDown, 1}, {3, kKeyUp, 2},    {3, kKeyDown, 4},
                 {0, kKeyLeft, 1}, {0, kKeyDown, 1}, {0, kKeyRight, 1}, {4, kKeyLeft, 4}};
    MenuRig rig;
    rig.PassIntro();
    for (const auto& c : cases) {
        rig.State().MenuSelection = c.from;
        rig.Frames(1);
        const int clicks = rig.Sounds(1);
        rig.Tap(c.key);
        EXPECT_EQ(rig.State().MenuSelection, c.to) << c.from << " key " << c.key;
        EXPECT_EQ(rig.Sounds(1), clicks + (c.from != c.to ? 1 : 0)) << c.from;
    }
}

TEST(MainMenu, HoverHighlightsAndRaisesOnlyTheButtonUnderThePointer) {
    MenuRig rig;
    rig.PassIntro();
    GameState& s = rig.State();
    rig.MoveMouse(ButtonX(), ButtonY(3));
    EXPECT_EQ(s.MenuSelection, 3);
    EXPECT_EQ(rig.Sounds(1), 1);
    rig.Frames(1);
    auto& pictures = rig.Form().MDXImageList1.Items();
    for (int e = 1; e <= 6; ++e) {
        const auto* sprite = s.MenuEntries[e].sprite;
        const auto& place = kMainButtons[static_cast<std::size_t>(e - 1)];
        const int picture = e == 3 ? place.highlightPicture : place.normalPicture;
        EXPECT_EQ(sprite->Image(), &pictures.Items(picture)) << e;
        EXPECT_EQ(sprite->Z(), e == 3 ? 5 : 4) << e;
    }
    // Off every button the menu keeps its selection.
    rig.MoveMouse(kEmptyX, kEmptyY);
    rig.Frames(1);
    EXPECT_EQ(s.MenuSelection, 3);
    EXPECT_EQ(rig.Sounds(1), 1);
    // The lower edge of a button still hits it; one pixel below is the gap.
    rig.MoveMouse(ButtonX(), kMainButtons[4].y + 52);
    EXPECT_EQ(s.MenuSelection, 5);
    rig.MoveMouse(ButtonX(), kMainButtons[4].y + 53);
    EXPECT_EQ(s.MenuSelection, 5);
    rig.Frames(1);
    EXPECT_EQ(s.MenuEntries[3].sprite->Z(), 4);
    EXPECT_TRUE(s.MenuEntries[5].highlighted);
}

TEST(MainMenu, ClickOpensTheEntryUnderThePointer) {
    const struct {
        int entry;
        int screen;
        int dialog;
        int selection;
    } cases[] = {{1, kScreenBikeChoice, 0, 9},
                 {2, kScreenHelp, 0, 9},
                 {5, kScreenMainMenu, 0, 5},
                 {6, kScreenMainMenu, 1, 12}};
    for (const auto& c : cases) {
        MenuRig rig;
        rig.PassIntro();
        rig.Click(ButtonX(), ButtonY(c.entry));
        EXPECT_EQ(rig.State().ScreenKind, c.screen) << c.entry;
        EXPECT_EQ(rig.State().DialogKind, c.dialog) << c.entry;
        EXPECT_EQ(rig.State().MenuSelection, c.selection) << c.entry;
        EXPECT_EQ(rig.Sounds(2), 1) << c.entry;
        rig.Frames(2);
        const bool opensLink = c.entry == 5;
        ASSERT_EQ(rig.Log().opened.size(), opensLink ? 1u : 0u);
        if (opensLink) {
            // The desktop gets the shortcut of the game's folder.
            EXPECT_EQ(std::filesystem::path(rig.Log().opened[0]).filename(), "moregames.url");
        }
    }
}

TEST(MainMenu, DoubleClickActivatesTwice) {
    const struct {
        int entry;
        int screen;     // where the second activation leaves the game
        int selection;  // and the selection there
    } cases[] = {
        {1, kScreenRace, 0},      // bike choice opens with start selected: a race at once
        {2, kScreenMainMenu, 2},  // help opens with back selected: back in the menu
        {6, kScreenMainMenu, 6},  // the quit question opens on No: answered No
    };
    for (const auto& c : cases) {
        MenuRig rig;
        rig.PassIntro();
        rig.DoubleClick(ButtonX(), ButtonY(c.entry));
        EXPECT_EQ(rig.State().ScreenKind, c.screen) << c.entry;
        EXPECT_EQ(rig.State().DialogKind, c.entry == 1 ? 6 : 0) << c.entry;  // level start
        if (c.screen != kScreenRace) {
            EXPECT_EQ(rig.State().MenuSelection, c.selection);
        }
        EXPECT_FALSE(rig.Form().Terminated());
        EXPECT_EQ(rig.Sounds(2), 2) << c.entry;
    }
}

TEST(MainMenu, EscapeAsksToQuitAndNoKeepsTheSelection) {
    MenuRig rig;
    rig.PassIntro();
    rig.State().MenuSelection = 4;
    rig.Frames(1);
    rig.Tap(kKeyEscape);
    EXPECT_EQ(rig.State().DialogKind, 1);
    rig.Tap(kKeyNo);
    EXPECT_EQ(rig.State().DialogKind, 0);
    EXPECT_EQ(rig.State().MenuSelection, 4);
    EXPECT_EQ(rig.State().ScreenKind, kScreenMainMenu);
    EXPECT_FALSE(rig.Form().Terminated());
}

// One live menu background and the six buttons, whatever the way back to the menu was.
void ExpectOneMenu(MenuRig& rig, const char* where) {
    EXPECT_EQ(rig.Live<TScrollBackground>().size(), 1u) << where;
    EXPECT_EQ(rig.Live<TMenuButton>().size() >= 6, true) << where;
    for (int e = 1; e <= 6; ++e) {
        ASSERT_NE(rig.State().MenuEntries[e].sprite, nullptr) << where;
        EXPECT_FALSE(rig.State().MenuEntries[e].sprite->Killed()) << where;
    }
}

TEST(MainMenu, MainButtonsJumpBetweenSubScreens) {
    const struct {
        int from;        // main entry opened first
        int clicked;     // main button clicked while it is open
        int screen;      // the screen shown afterwards
        int subEntries;  // live buttons beyond the six main ones
    } cases[] = {
        {2, 1, kScreenBikeChoice, 4},   // help -> bike choice
        {1, 2, kScreenHelp, 3},         // bike choice -> help
        {2, 2, kScreenHelp, 3},         // help's own button: nothing happens
        {1, 1, kScreenBikeChoice, 4},   // bike choice's own button: nothing happens
        {2, 5, kScreenMainMenu, 0},     // help -> the more-games link, the menu stays
        {1, 6, kScreenMainMenu, 0},     // bike choice -> the quit question over the menu
        {2, 3, kScreenOptions, -1},     // help -> options
        {3, 2, kScreenHelp, 3},         // options -> help
        {4, 1, kScreenBikeChoice, 4},   // high scores -> bike choice
        {1, 4, kScreenHighScores, -1},  // bike choice -> high scores
    };
    for (const auto& c : cases) {
        MenuRig rig;
        rig.PassIntro();
        rig.Click(ButtonX(), ButtonY(c.from));
        rig.Frames(2);
        rig.Click(ButtonX(), ButtonY(c.clicked));
        rig.Frames(2);
        GameState& s = rig.State();
        EXPECT_EQ(s.ScreenKind, c.screen) << c.from << "->" << c.clicked;
        EXPECT_EQ(s.DialogKind, c.clicked == 6 ? 1 : 0);
        if (c.subEntries >= 0) {
            EXPECT_EQ(rig.Live<TMenuButton>().size(), 6u + c.subEntries + (c.clicked == 6 ? 2 : 0))
                << c.from << "->" << c.clicked;
        }
        ExpectOneMenu(rig, "after the jump");
        if (c.from != c.clicked && c.screen != kScreenMainMenu) {
            // The button of the screen left shows its normal look, the new one is lit.
            EXPECT_FALSE(s.MenuEntries[c.from].highlighted);
            EXPECT_TRUE(s.MenuEntries[c.clicked].highlighted);
        }
        EXPECT_EQ(rig.Log().opened.size(), c.clicked == 5 ? 1u : 0u);
    }
}

TEST(MainMenu, ClickOnEmptySpaceOfASubScreenOnlyClicks) {
    MenuRig rig;
    rig.PassIntro();
    rig.Click(ButtonX(), ButtonY(2));
    rig.Frames(1);
    const int clicks = rig.Sounds(2);
    rig.Click(kEmptyX, kEmptyY);
    rig.Frames(1);
    EXPECT_EQ(rig.State().ScreenKind, kScreenHelp);
    EXPECT_EQ(rig.State().MenuSelection, 0);
    EXPECT_EQ(rig.Sounds(2), clicks + 1);
    // Back leaves help for the menu with help's entry selected.
    rig.Click(kBackX, kBackY);
    rig.Frames(1);
    EXPECT_EQ(rig.State().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(rig.State().MenuSelection, 2);
    ExpectOneMenu(rig, "back from help");
}

TEST(MainMenu, MenuSongStartsWithAFullBuildOnly) {
    MenuRig rig;
    ASSERT_EQ(rig.Log().songs.size(), 1u);
    EXPECT_NE(rig.Log().songs[0].find("Menu.xm"), std::string::npos);
    rig.PassIntro();
    // In and out of the sub-screens: the song plays on.
    rig.Click(ButtonX(), ButtonY(2));
    rig.Frames(2);
    rig.Click(ButtonX(), ButtonY(1));
    rig.Frames(2);
    rig.Tap(kKeyEscape);
    rig.Frames(2);
    EXPECT_EQ(rig.State().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(rig.State().MenuSelection, 1);
    EXPECT_EQ(rig.Log().songs.size(), 1u);
    EXPECT_EQ(rig.Log().songsFreed, 0);
    // A race brings its own song; the menu built again afterwards brings the menu's back.
    rig.Enter();
    rig.Frames(1);
    rig.Enter();
    rig.Frames(1);
    ASSERT_EQ(rig.State().ScreenKind, kScreenRace);
    ASSERT_EQ(rig.Log().songs.size(), 2u);
    EXPECT_NE(rig.Log().songs[1].find("Race.xm"), std::string::npos);
    rig.Form().EnterMainMenu(false, 1, true);
    ASSERT_EQ(rig.Log().songs.size(), 3u);
    EXPECT_NE(rig.Log().songs[2].find("Menu.xm"), std::string::npos);
}

TEST(MainMenu, ARaceLeavesNoMenuSpritesBehindAndAFullBuildBringsThemBack) {
    MenuRig rig;
    rig.PassIntro();
    rig.Enter();  // bike choice
    rig.Frames(1);
    rig.Enter();  // start
    rig.Frames(2);
    GameState& s = rig.State();
    ASSERT_EQ(s.ScreenKind, kScreenRace);
    EXPECT_TRUE(rig.Live<TMenuButton>().size() <= 2u);  // at most a dialog's two buttons
    for (int e = 1; e <= 10; ++e) EXPECT_EQ(s.MenuEntries[e].sprite, nullptr) << e;
    // The road is the only background left.
    ASSERT_EQ(rig.Live<TScrollBackground>().size(), 1u);
    EXPECT_EQ(rig.Live<TScrollBackground>()[0]->ImageList, 2);
    rig.Form().RaceFlow().StopRaceSprites();
    rig.Form().EnterMainMenu(false, 4, true);
    rig.Frames(1);
    EXPECT_EQ(s.MenuIntroActive, 0);
    EXPECT_EQ(s.MenuSelection, 4);
    ExpectOneMenu(rig, "after the race");
}

}  // namespace
}  // namespace vrumbal::test
