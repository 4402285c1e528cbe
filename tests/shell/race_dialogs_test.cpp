// The dialogs of the race: the timed notices, a whole game of a rider who never moves, the
// level tally with its counting and sounds, and the congratulation after the last level.
#include <gtest/gtest.h>

#include <vector>

#include "dialog_rig.h"
#include "engine/my_image_sprite.h"

namespace vrumbal::test {
namespace {

constexpr int kSoundClick = 3;
constexpr int kSoundTick = 18;
constexpr int kSoundFanfare = 21;

TEST(Notices, CloseWhenTheirTimeCannotBeTakenAgain) {
    const struct {
        DialogKindValue kind;
        int ms;
    } notices[] = {{kDialogLevelStart, 2000}, {kDialogTimeUp, 3000}, {kDialogGameOver, 3000}};
    for (int fps : {85, 60}) {
        for (const auto& n : notices) {
            SCOPED_TRACE(testing::Message() << "kind " << n.kind << " at " << fps);
            DialogRig rig(fps);
            rig.StartRace();
            rig.FramesWhileOpen(kDialogLevelStart);
            rig.Frames(2);
            const int frameMs = rig.Game().FrameMs;
            rig.Form().OpenDialog(n.kind);
            EXPECT_EQ(rig.Dialog().DialogPanel, nullptr);  // notices stand on the race itself
            // The timer goes down while a whole frame fits; the frame that would overdraw
            // it closes the notice.
            EXPECT_EQ(rig.FramesWhileOpen(n.kind), n.ms / frameMs + 1);
            switch (n.kind) {
                case kDialogLevelStart:
                    EXPECT_EQ(rig.Game().DialogKind, 0);
                    break;
                case kDialogTimeUp:
                    // The same level again with its full time, behind a new level start.
                    EXPECT_EQ(rig.Game().DialogKind, kDialogLevelStart);
                    EXPECT_EQ(rig.Race().TimeLeftMs, 45000);
                    EXPECT_EQ(rig.Race().Level, 1);
                    break;
                case kDialogGameOver:
                    EXPECT_EQ(rig.Game().ScreenKind, kScreenMainMenu);
                    EXPECT_FALSE(rig.Form().RaceFlow().Running());
                    break;
                default:
                    break;
            }
        }
    }
}

TEST(Notices, DrawTheirTextsAndTheRaceDisplayOverTheRace) {
    const struct {
        DialogKindValue kind;
        const char* text;
        int x, y;  // centre
        int size;
    } cases[] = {{kDialogLevelStart, "Уровень 1", 400, 300, 36},
                 {kDialogTimeUp, "Ваше время вышло,", 348, 217, 36},
                 {kDialogTimeUp, "Попробуйте ещё раз!", 348, 267, 36},
                 {kDialogPause, "Пауза", 400, 300, 36},
                 {kDialogGameOver, "Конец игры", 400, 300, 36}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DialogRig rig;
        rig.StartRace();
        rig.FramesWhileOpen(kDialogLevelStart);
        rig.Form().OpenDialog(c.kind);
        rig.Frames(1);
        const DrawnText* t = rig.Find(c.text);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->x, c.x - t->width / 2);
        EXPECT_EQ(t->y, c.y - t->height / 2);
        EXPECT_EQ(t->size, c.size);
        // The race display comes after the dialog's texts.
        const DrawnText* hud = rig.Find("УРОВЕНЬ 1 / 10");
        ASSERT_NE(hud, nullptr);
        EXPECT_GT(hud, t);
    }
}

TEST(WholeGame, ARiderWhoNeverMovesRunsOutOfTimeThreeTimes) {
    DialogRig rig(30);
    rig.StartRace();
    struct Seen {
        int dialog, lives, timeLeft, level;
    };
    std::vector<Seen> seen;
    int last = -1;
    for (int frame = 0; frame < 30 * 400 && rig.Form().RaceFlow().Running(); ++frame) {
        const int kind = rig.Game().DialogKind;
        if (kind != last && kind != 0) {
            seen.push_back({kind, rig.Race().Lives, rig.Race().TimeLeftMs, rig.Race().Level});
        }
        last = kind;
        rig.Frames(1);
    }
    const std::vector<int> kinds = {6, 3, 6, 3, 6, 7};
    ASSERT_EQ(seen.size(), kinds.size());
    const int lives[] = {3, 2, 2, 1, 1, 0};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].dialog, kinds[i]);
        EXPECT_EQ(seen[i].lives, lives[i]);
        EXPECT_EQ(seen[i].level, 1);
        // Every start of the level has its full time; the clock never goes below nothing.
        if (seen[i].dialog == kDialogLevelStart) {
            EXPECT_EQ(seen[i].timeLeft, 45000);
        }
        EXPECT_GE(seen[i].timeLeft, 0);
    }
    // No points: no name entry, straight back to the menu.
    EXPECT_EQ(rig.Game().DialogKind, 0);
    EXPECT_EQ(rig.Game().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(rig.Game().MenuSelection, 1);
}

TEST(WholeGame, OnlyAScoreAboveTheLowestEntryAsksForAName) {
    const struct {
        int score;
        bool nameEntry;
    } cases[] = {{0, false}, {1000, false}, {1001, true}, {12000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        DialogRig rig;
        rig.StartRace();
        rig.FramesWhileOpen(kDialogLevelStart);
        rig.Race().Score = c.score;
        rig.Race().Lives = 0;
        rig.Form().OpenDialog(kDialogGameOver);
        rig.FramesWhileOpen(kDialogGameOver);
        EXPECT_EQ(rig.Game().DialogKind, c.nameEntry ? kDialogNameEntry : 0);
        // The race stays under the name entry until the result has been dealt with.
        EXPECT_EQ(rig.Form().RaceFlow().Running(), c.nameEntry);
    }
}

TEST(Tally, CountsFivePointsPerWholeSecondAndThePlaceBonus) {
    const struct {
        int timeLeft, place;
        int points, ticks, bonus;
    } cases[] = {{20500, 2, 100, 20, 600}, {20000, 1, 100, 20, 800}, {45000, 3, 225, 45, 400},
                 {1000, 6, 5, 1, 100},     {999, 4, 0, 0, 300},      {0, 5, 0, 0, 200},
                 {7300, 0, 35, 7, 0},      {7300, 7, 35, 7, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.timeLeft << " ms, place " << c.place);
        DialogRig rig;
        rig.StartRace();
        rig.FramesWhileOpen(kDialogLevelStart);
        RaceState& race = rig.Race();
        race.Score = 1000;
        race.TimeLeftMs = c.timeLeft;
        race.Place = static_cast<std::uint8_t>(c.place);
        rig.Form().RaceFlow().LevelWon();
        ASSERT_EQ(rig.Game().DialogKind, kDialogTally);
        rig.Sounds().starts.clear();
        rig.FramesWhileOpen(kDialogTally);
        EXPECT_EQ(race.TimePoints, c.points);
        EXPECT_EQ(race.PlaceBonus, c.bonus);
        EXPECT_EQ(rig.Sounds().starts[kSoundTick], c.ticks);
        EXPECT_EQ(rig.Sounds().starts[kSoundClick], 4);  // one per line
        EXPECT_EQ(race.Score, 1000 + c.bonus + c.points);
        // The next level starts with its own time.
        EXPECT_EQ(rig.Game().DialogKind, kDialogLevelStart);
        EXPECT_EQ(race.Level, 2);
        EXPECT_EQ(race.TimeLeftMs, 55000);
    }
}

TEST(Tally, ShowsALineASecondThenDrainsAtTenTimesTheSpeed) {
    DialogRig rig;  // 85 frames a second: 11 ms a frame
    rig.StartRace();
    rig.FramesWhileOpen(kDialogLevelStart);
    RaceState& race = rig.Race();
    race.TimeLeftMs = 20500;
    race.Place = 2;
    rig.Form().RaceFlow().LevelWon();
    ASSERT_NE(rig.Dialog().DialogPanel, nullptr);
    // Frame 1 shows the place; a line follows every 1000 ms (91 frames of 11 ms, and the
    // frame that finds the step used up).
    const struct {
        int frame;  // frames run since the tally opened
        int lines;  // lines shown
    } steps[] = {{1, 1}, {92, 1}, {93, 2}, {184, 2}, {185, 3}, {277, 4}, {369, 5}};
    const char* texts[] = {"Ваше место 2", "Бонус: 600", "Осталось: 20 сек.", "За время: 0"};
    int run = 0;
    for (const auto& step : steps) {
        rig.Frames(step.frame - run);
        run = step.frame;
        SCOPED_TRACE(step.frame);
        EXPECT_EQ(race.TallyLines, step.lines);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(rig.Find(texts[i]) != nullptr, i < step.lines) << texts[i];
        }
    }
    const DrawnText* left = rig.Find("Осталось: ");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->x, 307);  // left-aligned lines start at their x
    EXPECT_EQ(left->y, 304 - left->height / 2);
    EXPECT_EQ(rig.Find("За время: ")->x, 292);
    EXPECT_EQ(rig.Find("Ваше место 2")->x, 382 - rig.Find("Ваше место 2")->width / 2);
    // From the fifth line on, every frame takes 110 ms off the time left.
    EXPECT_EQ(race.TallyTimeLeft, 20500 - 110);
    rig.Frames(10);
    EXPECT_EQ(race.TallyTimeLeft, 20500 - 11 * 110);
    EXPECT_EQ(race.TimePoints, 5);
    // Once drained the count shows no time below nothing and holds for two seconds.
    while (race.TallyTimeLeft >= 0) rig.Frames(1);
    rig.Frames(1);
    ASSERT_NE(rig.Find("Осталось: 0 сек."), nullptr);
    EXPECT_NE(rig.Find("За время: 100"), nullptr);
    EXPECT_EQ(rig.FramesWhileOpen(kDialogTally), 2000 / 11);
}

TEST(Tally, AfterTheLastLevelCongratulatesAndEndsTheGame) {
    const struct {
        int scoreBefore;
        int after;  // the dialog once the congratulation is over
    } cases[] = {{0, 0}, {20000, kDialogNameEntry}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scoreBefore);
        DialogRig rig;
        rig.StartRace(10);
        rig.FramesWhileOpen(kDialogLevelStart);
        rig.Race().Score = c.scoreBefore;
        rig.Race().TimeLeftMs = 3000;
        rig.Race().Place = 1;
        rig.Form().RaceFlow().LevelWon();
        rig.Sounds().starts.clear();
        rig.FramesWhileOpen(kDialogTally);
        ASSERT_EQ(rig.Game().DialogKind, kDialogCongratulation);
        EXPECT_EQ(rig.Sounds().starts[kSoundFanfare], 1);
        EXPECT_EQ(rig.Race().Score, c.scoreBefore + 800 + 15);
        rig.Frames(1);
        EXPECT_NE(rig.Find("ПОЗДРАВЛЯЕМ!"), nullptr);
        EXPECT_NE(rig.Find("Вы закончили гонку!"), nullptr);
        // 3200 ms in frames of 11 ms: the frame that brings it below 1 ends it (one frame of
        // it has run above).
        EXPECT_EQ(rig.FramesWhileOpen(kDialogCongratulation), 3200 / 11);
        EXPECT_EQ(rig.Game().DialogKind, c.after);
        EXPECT_EQ(rig.Game().ScreenKind, c.after == 0 ? kScreenMainMenu : kScreenRace);
    }
}

}  // namespace
}  // namespace vrumbal::test
