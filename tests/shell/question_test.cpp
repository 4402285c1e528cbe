// The questions (quit, exit, clear table, upload) and the pause: their pieces, the default
// answer, the keys, the mouse and what each answer leads to.
#include <gtest/gtest.h>

#include "dialog_rig.h"
#include "engine/my_image_sprite.h"
#include "game/high_scores.h"
#include "ui/menu_button.h"

namespace vrumbal::test {
namespace {

// Opens a question the way the game reaches it: over the menu, or over a running race.
void OpenOver(DialogRig& rig, DialogKindValue kind, bool race) {
    if (race) {
        rig.StartRace();
        rig.FramesWhileOpen(kDialogLevelStart);
        rig.Frames(3);
    }
    rig.Form().OpenDialog(kind);
    rig.Frames(1);
}

TEST(Questions, OpenWithPanelButtonsAndTheirDefaultAnswer) {
    const struct {
        DialogKindValue kind;
        bool race;
        int selection;       // the highlighted answer at first
        const char* text;    // the first line of the question
        bool raisedButtons;  // the lit button goes to the very top
    } cases[] = {
        {kDialogQuit, false, kEntryNo, "Выйти из игры?", true},
        {kDialogExit, true, kEntryNo, "Выйти в меню?", false},
        {kDialogClearTable, false, kEntryNo, "Вы хотите очистить", false},
        {kDialogUpload, true, kEntryYes, "Отправить результат", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        DialogRig rig;
        OpenOver(rig, c.kind, c.race);
        const GameState& s = rig.Game();
        ASSERT_EQ(s.DialogKind, c.kind);
        EXPECT_EQ(s.MenuFirst, kEntryYes);
        EXPECT_EQ(s.MenuLast, kEntryNo);
        EXPECT_EQ(s.MenuSelection, c.selection);
        const DialogState& d = rig.Dialog();
        ASSERT_NE(d.DialogPanel, nullptr);
        EXPECT_EQ(d.DialogPanel->X, 185);
        EXPECT_EQ(d.DialogPanel->Y, 219);
        EXPECT_EQ(d.DialogPanel->Z(), 14);
        ASSERT_NE(d.YesButton, nullptr);
        ASSERT_NE(d.NoButton, nullptr);
        EXPECT_EQ(s.MenuEntries[kEntryYes].sprite, d.YesButton);
        EXPECT_EQ(s.MenuEntries[kEntryNo].sprite, d.NoButton);
        EXPECT_EQ(d.YesButton->X, 249);
        EXPECT_EQ(d.NoButton->X, 377);
        EXPECT_EQ(d.YesButton->Y, 306);
        EXPECT_EQ(d.NoButton->Y, 306);
        // The selected answer is lit (pattern 0), the other dark (pattern 1).
        TMenuButton* lit = c.selection == kEntryYes ? d.YesButton : d.NoButton;
        TMenuButton* dark = c.selection == kEntryYes ? d.NoButton : d.YesButton;
        EXPECT_EQ(lit->FramePos, 0);
        EXPECT_EQ(dark->FramePos, 1);
        EXPECT_EQ(lit->Z(), c.raisedButtons ? 17 : 15);
        EXPECT_EQ(dark->Z(), 15);
        EXPECT_NE(rig.Find(c.text), nullptr);
        // Left lights Yes; further Left stays there; Right goes back to No and stays.
        const int steps[][2] = {{kKeyLeft, kEntryYes},
                                {kKeyLeft, kEntryYes},
                                {kKeyRight, kEntryNo},
                                {kKeyRight, kEntryNo}};
        for (const auto& step : steps) {
            rig.Tap(step[0]);
            rig.Frames(1);
            EXPECT_EQ(s.MenuSelection, step[1]);
        }
        EXPECT_EQ(d.NoButton->FramePos, 0);
        EXPECT_EQ(d.YesButton->FramePos, 1);
    }
}

// Left and Right move between the answers without wrapping; from no answer selected (or
// one of the screen's own entries left over) Left takes Yes and Right takes No.
TEST(Questions, LeftAndRightStepBetweenTheAnswersWithoutWrapping) {
    const struct {
        int selection;  // before the key
        int key;
        int after;
    } cases[] = {
        {kEntryNo, kKeyLeft, kEntryYes},  {kEntryYes, kKeyLeft, kEntryYes},
        {0, kKeyLeft, kEntryYes},         {kEntryNo + 1, kKeyLeft, kEntryYes},
        {kEntryYes, kKeyRight, kEntryNo}, {kEntryNo, kKeyRight, kEntryNo},
        {0, kKeyRight, kEntryNo},         {kEntryNo + 1, kKeyRight, kEntryNo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selection << (c.key == kKeyLeft ? " left" : " right"));
        DialogRig rig;
        OpenOver(rig, kDialogExit, true);
        rig.Game().MenuSelection = c.selection;
        rig.Tap(c.key);
        rig.Frames(1);
        EXPECT_EQ(rig.Game().DialogKind, kDialogExit);
        EXPECT_EQ(rig.Game().MenuSelection, c.after);
    }
}

TEST(Questions, YAndNAnswerWhateverIsSelected) {
    // Y and N act without the selection being moved to them first; Enter and a click answer
    // with the selected or clicked button.
    enum class Way { KeyY, KeyN, LeftThenEnter, Enter, ClickYes, ClickNo, ClickBeside };
    const struct {
        Way way;
        bool yes;       // the race ends (yes) or goes on (no)
        bool answered;  // the question closed
    } cases[] = {
        {Way::KeyY, true, true},          {Way::KeyN, false, true},
        {Way::LeftThenEnter, true, true}, {Way::Enter, false, true},
        {Way::ClickYes, true, true},      {Way::ClickNo, false, true},
        {Way::ClickBeside, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.way));
        DialogRig rig;
        OpenOver(rig, kDialogExit, true);
        if (c.way == Way::KeyN) {
            // With Yes lit, N still says no.
            rig.Tap(kKeyLeft);
            rig.Frames(1);
        }
        const int clicks = rig.Sounds().starts[2];
        switch (c.way) {
            case Way::KeyY:
                rig.Tap(kKeyYes);
                break;
            case Way::KeyN:
                rig.Tap(kKeyNo);
                break;
            case Way::LeftThenEnter:
                rig.Tap(kKeyLeft);
                rig.Type(13);
                break;
            case Way::Enter:
                rig.Type(13);
                break;
            case Way::ClickYes:
                rig.Click(300, 330);
                break;
            case Way::ClickNo:
                rig.Click(440, 330);
                break;
            case Way::ClickBeside:
                rig.Click(700, 100);
                break;
        }
        rig.Frames(1);
        EXPECT_EQ(rig.Sounds().starts[2], clicks + 1);  // every answer clicks, even a miss
        if (!c.answered) {
            EXPECT_EQ(rig.Game().DialogKind, kDialogExit);
            continue;
        }
        if (c.yes) {
            // A score of 0 does not enter the table: straight back to the menu.
            EXPECT_FALSE(rig.Form().RaceFlow().Running());
            EXPECT_EQ(rig.Game().ScreenKind, kScreenMainMenu);
            EXPECT_EQ(rig.Game().DialogKind, 0);
        } else {
            EXPECT_EQ(rig.Game().DialogKind, 0);
            EXPECT_TRUE(rig.Form().RaceFlow().Running());
            // The race's empty selection comes back.
            EXPECT_EQ(rig.Game().MenuSelection, 0);
            EXPECT_EQ(rig.Game().MenuFirst, 1);
            EXPECT_EQ(rig.Game().MenuLast, 0);
            const int clock = rig.Race().TimeLeftMs;
            rig.Frames(5);
            EXPECT_LT(rig.Race().TimeLeftMs, clock);
        }
    }
}

TEST(Questions, YesLeadsOnPerQuestionAndNoOnlyCloses) {
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        {
            DialogRig rig;
            OpenOver(rig, kDialogQuit, false);
            rig.Tap(yes ? kKeyYes : kKeyNo);
            EXPECT_EQ(rig.Form().Terminated(), yes);
            EXPECT_EQ(rig.Game().ScreenKind, yes ? kScreenNone : kScreenMainMenu);
            if (!yes) {
                EXPECT_EQ(rig.Game().MenuSelection, 1);
            }
        }
        {
            DialogRig rig;
            rig.Game().HighScores[1] = {"X", 1};
            OpenOver(rig, kDialogClearTable, false);
            rig.Tap(yes ? kKeyYes : kKeyNo);
            EXPECT_EQ(rig.Game().DialogKind, 0);
            EXPECT_EQ(rig.Game().HighScores[1].score, yes ? 10000 : 1);
        }
        {
            // A qualifying score leads from the exit question to the name entry.
            DialogRig rig;
            OpenOver(rig, kDialogExit, true);
            rig.Race().Score = 5000;
            rig.Tap(yes ? kKeyYes : kKeyNo);
            EXPECT_EQ(rig.Game().DialogKind, yes ? kDialogNameEntry : 0);
        }
    }
}

TEST(Questions, TheScreensOwnEntriesComeBackAfterwards) {
    DialogRig rig;
    GameState& s = rig.Game();
    s.MenuEntries[kEntryYes].widthOverride = 77;
    s.MenuEntries[kEntryNo].heightOverride = 66;
    s.MenuSelection = 3;
    rig.Form().OpenDialog(kDialogQuit);
    // A second dialog cannot open over the first.
    rig.Form().OpenDialog(kDialogPause);
    EXPECT_EQ(s.DialogKind, kDialogQuit);
    rig.Frames(2);
    rig.Tap(kKeyNo);
    EXPECT_EQ(s.DialogKind, 0);
    EXPECT_EQ(s.MenuSelection, 3);
    EXPECT_EQ(s.MenuFirst, 1);
    EXPECT_EQ(s.MenuLast, 6);
    EXPECT_EQ(s.MenuEntries[kEntryYes].widthOverride, 77);
    EXPECT_EQ(s.MenuEntries[kEntryNo].heightOverride, 66);
    EXPECT_EQ(rig.Dialog().YesButton, nullptr);
    EXPECT_EQ(rig.Dialog().DialogPanel, nullptr);
}

TEST(Pause, OnlyPOrEscapeResume) {
    enum class Try { Enter, Click, KeyY, KeyN, Left, P, Escape };
    const struct {
        Try input;
        bool resumes;
    } cases[] = {{Try::Enter, false}, {Try::Click, false}, {Try::KeyY, false}, {Try::KeyN, false},
                 {Try::Left, false},  {Try::P, true},      {Try::Escape, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.input));
        DialogRig rig;
        rig.StartRace();
        rig.FramesWhileOpen(kDialogLevelStart);
        rig.Tap(kKeyPause);
        ASSERT_EQ(rig.Game().DialogKind, kDialogPause);
        rig.Frames(1);
        ASSERT_NE(rig.Find("Пауза"), nullptr);
        const int clock = rig.Race().TimeLeftMs;
        switch (c.input) {
            case Try::Enter:
                rig.Type(13);
                break;
            case Try::Click:
                rig.Click(300, 330);
                break;
            case Try::KeyY:
                rig.Tap(kKeyYes);
                break;
            case Try::KeyN:
                rig.Tap(kKeyNo);
                break;
            case Try::Left:
                rig.Tap(kKeyLeft);
                break;
            case Try::P:
                rig.Tap(kKeyPause);
                break;
            case Try::Escape:
                rig.Tap(kKeyEscape);
                break;
        }
        rig.Frames(3);
        EXPECT_EQ(rig.Game().DialogKind, c.resumes ? 0 : kDialogPause);
        // The race stands still under the pause and runs on after it.
        if (c.resumes) {
            EXPECT_LT(rig.Race().TimeLeftMs, clock);
        } else {
            EXPECT_EQ(rig.Race().TimeLeftMs, clock);
        }
    }
}

TEST(Pause, EscapeWinsOverPInTheSameFrame) {
    const struct {
        bool escape, pause;
        int dialog;
    } cases[] = {
        {true, false, kDialogExit}, {false, true, kDialogPause}, {true, true, kDialogExit}};
    for (const auto& c : cases) {
        DialogRig rig;
        rig.StartRace();
        rig.FramesWhileOpen(kDialogLevelStart);
        if (c.escape) rig.KeyDown(kKeyEscape);
        if (c.pause) rig.KeyDown(kKeyPause);
        rig.Frames(1);
        EXPECT_EQ(rig.Game().DialogKind, c.dialog);
        // The keys still held do not close what they opened.
        rig.Frames(5);
        EXPECT_EQ(rig.Game().DialogKind, c.dialog);
    }
}

}  // namespace
}  // namespace vrumbal::test
