// The name entry after a good game, the question whether to send the result, and the sending
// notice with the request in the frame after it is shown.
#include <gtest/gtest.h>

#include "dialog_rig.h"
#include "game/replay.h"
#include "save/outbox.h"
#include "ui/menu_cursor.h"

namespace vrumbal::test {
namespace {

// A race whose game has just ended with the given score, the name entry open.
void EndWithScore(DialogRig& rig, int score) {
    rig.StartRace();
    rig.FramesWhileOpen(kDialogLevelStart);
    rig.Race().Score = score;
    rig.Form().EndGame();
    ASSERT_EQ(rig.Game().DialogKind, kDialogNameEntry);
    rig.Frames(1);
}

TEST(NameEntry, TakesNameCharactersOnly) {
    const struct {
        std::uint8_t ch;
        bool taken;
    } cases[] = {{'0', true},   {'9', true},  {'A', true},   {'Z', true},  {'a', true},
                 {'z', true},   {' ', true},  {0xC0, true},  {0xDF, true}, {0xFF, true},
                 {0xA8, true},  {0xB8, true}, {0xBF, false}, {'!', false}, {'-', false},
                 {'_', false},  {'@', false}, {'[', false},  {'`', false}, {'{', false},
                 {0x7F, false}, {9, false},   {27, false}};
    DialogRig rig;
    EndWithScore(rig, 5000);
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.ch});
        EXPECT_EQ(IsNameChar(c.ch), c.taken);
        rig.Game().PlayerName.clear();
        rig.Type(c.ch);
        EXPECT_EQ(rig.Game().PlayerName.size(), c.taken ? 1u : 0u);
        EXPECT_EQ(rig.Dialog().NameEntryKey, c.ch);  // every key is seen by the dialog
    }
}

TEST(NameEntry, StopsAtTwelveCharactersOrTheWidthLimit) {
    const struct {
        int charWidth;       // pixels per character
        std::size_t length;  // characters taken from a long run of letters
    } cases[] = {
        {10, 12},  // the count limit comes first
        {20, 12},  // 11 characters are 220 pixels: the twelfth still fits
        {25, 10},  // 9 characters are 225 pixels: a tenth is taken, then 250 stops it
        {30, 9},   // 8 characters are exactly 240 pixels: a ninth is taken
        {241, 1},  // one character already passes the limit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charWidth);
        TextMetrics metrics;
        metrics.charWidth = c.charWidth;
        DialogRig rig(85, metrics);
        EndWithScore(rig, 5000);
        rig.Game().PlayerName.clear();
        rig.Type("ABCDEFGHIJKLMNOPQRST");
        EXPECT_EQ(rig.Game().PlayerName, std::string("ABCDEFGHIJKLMNOPQRST").substr(0, c.length));
        // Backspace takes the last character off, and nothing off an empty name.
        rig.Type(8);
        EXPECT_EQ(rig.Game().PlayerName.size(), c.length - 1);
        for (int i = 0; i < 20; ++i) rig.Type(8);
        EXPECT_EQ(rig.Game().PlayerName, "");
    }
}

TEST(NameEntry, TypingOutsideTheNameEntryChangesNothing) {
    DialogRig rig;
    rig.Game().PlayerName = "Ann";
    rig.Type('B');
    rig.Type(8);
    rig.StartRace();
    rig.Frames(2);
    rig.Type('C');
    EXPECT_EQ(rig.Game().PlayerName, "Ann");
}

TEST(NameEntry, ShowsScoreNameAndCursorThenEnterPutsTheResultInTheTable) {
    DialogRig rig;
    EndWithScore(rig, 5500);
    rig.Game().PlayerName.clear();
    rig.Type("Ann");
    rig.Frames(1);
    const TMyCursor* cursor = rig.Dialog().NameCursor;
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->Y, 314);
    EXPECT_EQ(cursor->Z(), 15);
    EXPECT_TRUE(cursor->Blinking);
    EXPECT_EQ(cursor->X, 30 / 2.0 + 384);  // just right of the centred name
    const DrawnText* name = rig.Find("Ann");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x, 382 - 15);
    EXPECT_EQ(name->size, 26);
    EXPECT_NE(rig.Find("Набрано очков: 5500"), nullptr);
    EXPECT_NE(rig.Find("Введите ваше имя: "), nullptr);
    // The cursor blinks in turns of 600 ms.
    bool shown = false, hidden = false;
    for (int i = 0; i < 120; ++i) {
        rig.Frames(1);
        (cursor->Visible ? shown : hidden) = true;
    }
    EXPECT_TRUE(shown && hidden);

    // Enter is seen by the dialog in the next frame.
    rig.Type(13);
    EXPECT_EQ(rig.Game().DialogKind, kDialogNameEntry);
    rig.Frames(1);
    EXPECT_EQ(rig.Game().DialogKind, kDialogUpload);
    EXPECT_EQ(rig.Game().MenuSelection, kEntryYes);
    EXPECT_EQ(rig.Dialog().NameCursor, nullptr);
    EXPECT_EQ(rig.Dialog().NameEntryKey, 0);
    const auto& table = rig.Game().HighScores;
    EXPECT_EQ(table[5].score, 6000);
    EXPECT_EQ(table[6].name, "Ann");
    EXPECT_EQ(table[6].score, 5500);
    EXPECT_EQ(table[7].score, 5000);
    EXPECT_EQ(table[10].score, 2000);  // 1000 has dropped out
    EXPECT_EQ(table[11].score, 1000);
}

// The result goes with its replay in the frame after the notice is shown; the outcome stays on
// screen about two seconds, and a result the server did not answer for stays in the outbox.
TEST(Sending, HappensInTheFrameAfterTheNoticeIsShownAndTellsTheOutcome) {
    using Kind = UploadOutcome::Kind;
    const struct {
        UploadOutcome answer;
        const char* first;  // the outcome's lines (UTF-8)
        const char* second;
        std::size_t kept;  // results left in the outbox
    } cases[] = {
        {{Kind::Stored, 3, ""}, "Результат принят", "Место в мировой таблице: 3", 0},
        {{Kind::Stored, 0, ""}, "Результат отправлен", "", 0},
        {{Kind::Refused, 0, "mismatch: no"},
         "Результат не принят",
         "запись не подтвердила результат",
         0},
        {{Kind::Refused, 0, "version: 0.9"}, "Результат не принят", "другая версия игры", 0},
        {{Kind::Busy, 0, ""}, "Сервер занят", "Отправим результат позже", 1},
        {{Kind::NoAnswer, 0, ""}, "Нет связи с сервером", "Отправим результат позже", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        DialogRig rig;
        rig.answer = c.answer;
        rig.Game().Country = "Ruritania";
        EndWithScore(rig, 7777);
        rig.Game().PlayerName = "Bo";
        rig.Type(13);
        rig.Frames(1);
        ASSERT_EQ(rig.Game().DialogKind, kDialogUpload);
        rig.Tap(kKeyYes);
        ASSERT_EQ(rig.Game().DialogKind, kDialogSending);
        // First frame: the notice is drawn, nothing sent yet.
        rig.Frames(1);
        EXPECT_NE(rig.Find("Отсылка..."), nullptr);
        EXPECT_TRUE(rig.Sent().empty());
        const auto shownIn = rig.Form().FrameCount();
        // Next frame: the result goes with the game's replay.
        rig.Frames(1);
        ASSERT_EQ(rig.Sent().size(), 1u);
        EXPECT_EQ(rig.SentInFrame()[0], shownIn + 1);
        EXPECT_EQ(rig.Sent()[0].name, "Bo");
        EXPECT_EQ(rig.Sent()[0].score, 7777);
        EXPECT_EQ(rig.Sent()[0].country, "Ruritania");
        Replay replay;
        ASSERT_EQ(DecodeReplay(rig.SentReplays()[0], replay), "");
        EXPECT_EQ(replay.name, "Bo");
        EXPECT_EQ(replay.score, 7777);
        EXPECT_EQ(ReadOutbox(rig.Form().SaveFolder()).size(), c.kept);
        // The outcome, for about two seconds, then the table.
        rig.Frames(85);
        EXPECT_NE(rig.Find(c.first), nullptr);
        if (*c.second != '\0') {
            EXPECT_NE(rig.Find(c.second), nullptr);
        }
        EXPECT_EQ(rig.Game().DialogKind, kDialogSending);
        rig.Frames(100);
        EXPECT_EQ(rig.Game().DialogKind, 0);
        EXPECT_FALSE(rig.Form().RaceFlow().Running());
        EXPECT_NE(rig.Game().ScreenKind, kScreenRace);
        EXPECT_EQ(rig.Sent().size(), 1u);
    }
}

TEST(Sending, NoToTheUploadSendsNothingAndLeavesTheRace) {
    DialogRig rig;
    EndWithScore(rig, 7777);
    rig.Type(13);
    rig.Frames(1);
    ASSERT_EQ(rig.Game().DialogKind, kDialogUpload);
    rig.Tap(kKeyNo);
    rig.Frames(3);
    EXPECT_TRUE(rig.Sent().empty());
    EXPECT_EQ(rig.Game().DialogKind, 0);
    EXPECT_FALSE(rig.Form().RaceFlow().Running());
    EXPECT_NE(rig.Game().ScreenKind, kScreenRace);
}

}  // namespace
}  // namespace vrumbal::test
