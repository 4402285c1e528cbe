// The race frame around the bike: the clock, the end of a level, the dialog keys, the same
// ride at any frame rate, and the play tool riding.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "bike_rig.h"
#include "race/rivals.h"
#include "save/save_files.h"

namespace vrumbal::test {
namespace {

// Runs frames until a dialog opens (at most ten seconds); returns the milliseconds run.
int UntilDialog(BikeRig& rig) {
    int ms = 0;
    while (rig.Game().DialogKind == 0 && ms < 10000) {
        rig.Frames(1);
        ms += rig.Game().FrameMs;
    }
    return ms;
}

TEST(RaceFlow, StartingARaceSetsUpTheLevel) {
    const struct {
        int level, seconds, rows, bonuses, racers;
    } cases[] = {{1, 45, 300, 10, 2}, {3, 80, 700, 30, 4}, {7, 130, 1300, 70, 6}};
    for (const auto& c : cases) {
        BikeRig rig(85, 3, c.level);
        const RaceState& race = rig.State();
        EXPECT_EQ(race.Level, c.level);
        EXPECT_EQ(race.TimeLeftMs, c.seconds * 1000);
        EXPECT_EQ(race.TrackRows, c.rows);
        EXPECT_EQ(race.BonusCount, c.bonuses);
        EXPECT_EQ(race.Lives, 3);
        EXPECT_EQ(race.Score, 0);
        EXPECT_EQ(rig.Game().ScreenKind, kScreenRace);
        EXPECT_EQ(rig.Game().DialogKind, 6);
        EXPECT_EQ(rig.Bike().Model(), 3);
        EXPECT_EQ(rig.Race().Needle()->NeedleAngle, 28);
        // Nothing moves under the level-start notice; after it the clock runs.
        rig.Frames(20);
        EXPECT_EQ(race.TimeLeftMs, c.seconds * 1000);
        rig.PassLevelStart();
        rig.Frames(1);
        EXPECT_LT(race.TimeLeftMs, c.seconds * 1000);
        // The player and the level's rivals race; the place is one of theirs.
        EXPECT_EQ(race.RacerCount, c.racers);
        EXPECT_GE(race.Place, 1);
        EXPECT_LE(race.Place, c.racers);
    }
}

TEST(RaceFlow, ClockTicksEachSecondOfTheLastTenAndStopsAtZero) {
    const struct {
        int fps, startMs, ticks;
    } cases[] = {{85, 10000, 10}, {60, 10000, 10}, {85, 3000, 3}, {144, 10500, 10}};
    for (const auto& c : cases) {
        BikeRig rig(c.fps);
        rig.PassLevelStart();
        rig.State().TimeLeftMs = c.startMs;
        const int before = rig.Sounds().starts[18];
        int lowest = c.startMs;
        while (!rig.Bike().TimeUp) {
            rig.Frames(1);
            lowest = std::min(lowest, rig.State().TimeLeftMs);
        }
        rig.Frames(30);
        lowest = std::min(lowest, rig.State().TimeLeftMs);
        EXPECT_EQ(rig.Sounds().starts[18] - before, c.ticks) << c.fps << " " << c.startMs;
        EXPECT_GE(lowest, 0);
        EXPECT_LE(rig.State().TimeLeftMs, rig.Game().FrameMs + 1);
    }
    // A clock stopped by the finish just below a whole second stays quiet.
    BikeRig rig;
    rig.PassLevelStart();
    rig.Bike().Finished = true;
    rig.State().TimeLeftMs = 4995;
    const int before = rig.Sounds().starts[18];
    rig.Frames(100);
    EXPECT_EQ(rig.Sounds().starts[18], before);
    EXPECT_EQ(rig.State().TimeLeftMs, 4995);
}

TEST(RaceFlow, TheFinishWinsEvenWhenTheTimeRunsOutAfterIt) {
    BikeRig rig;
    rig.PassLevelStart();
    TPlayer& bike = rig.Bike();
    RaceState& race = rig.State();
    // Alone on the road, the bike finishes first.
    if (TCar* rivals = rig.Race().Rivals()) rivals->Active.fill(false);
    rig.Frames(1);                             // the place is known from the first step on
    race.ViewRow = 1550 - race.TrackRows - 8;  // the finish line lies above the bike
    // Plain road all around, so that the run-out meets nothing.
    for (int r = race.ViewRow - 2; r < race.ViewRow + 12; ++r) {
        for (int c = race.ViewColumn - 2; c < race.ViewColumn + 15; ++c) race.SetTile(r, c, 10);
    }
    bike.Speed = 30;
    rig.Frames(1);
    EXPECT_TRUE(bike.Finished);
    race.TimeLeftMs = 5;
    rig.Frames(1);
    EXPECT_TRUE(bike.TimeUp);
    const int ms = UntilDialog(rig);
    EXPECT_EQ(rig.Game().DialogKind, 11);
    EXPECT_GE(ms, 2000);  // stopped, then the 2000 ms wait
    EXPECT_EQ(bike.Speed, 0.0);
    EXPECT_EQ(race.TallyTimeLeft, race.TimeLeftMs);
    EXPECT_EQ(race.PlaceBonus, 800);
    EXPECT_EQ(race.TimePoints, 0);
    EXPECT_EQ(race.TallyLines, 0);
    EXPECT_EQ(race.TallyStepTimer, 0);
    EXPECT_EQ(race.Lives, 3);
}

TEST(RaceFlow, TimeUpCostsALifeAndRepeatsOrEndsTheGame) {
    const struct {
        int lives, hitsLeft;
        double speed;
        int livesAfter, dialog;
    } cases[] = {{1, 2, 0, 0, 7}, {2, 1, 0, 1, 3}, {3, 3, 30, 2, 3}};
    for (const auto& c : cases) {
        BikeRig rig;
        rig.PassLevelStart();
        TPlayer& bike = rig.Bike();
        RaceState& race = rig.State();
        race.Lives = c.lives;
        bike.HitsLeft = c.hitsLeft;
        bike.Speed = c.speed;
        race.TimeLeftMs = 40;
        const int ms = UntilDialog(rig);
        EXPECT_EQ(rig.Game().DialogKind, c.dialog) << c.lives;
        EXPECT_EQ(race.Lives, c.livesAfter) << c.lives;
        EXPECT_EQ(bike.HitsLeft, 3);
        if (c.speed > 0) {
            EXPECT_GE(ms, 1000);
        }
        if (c.dialog != 3) continue;
        // The notice ends in the same level again: full time, a new start.
        for (int i = 0; i < 500 && rig.Game().DialogKind == 3; ++i) rig.Frames(1);
        EXPECT_EQ(rig.Game().DialogKind, 6);
        EXPECT_EQ(race.TimeLeftMs, 45000);
        EXPECT_FALSE(bike.TimeUp);
        EXPECT_EQ(race.ViewRow, 1478);
    }
}

TEST(RaceFlow, KeysHeldThroughTheEndOfALevelNeverStallTheRunOut) {
    // Players keep the throttle (or anything else) held as the clock runs out or the line is
    // crossed; the bike must still roll to a stop and the notice or tally must come.
    const struct {
        std::vector<int> keys;
        bool finish;
        int dialog, atMostMs;
    } cases[] = {
        {{kKeyUp}, false, 3, 4000},
        {{kKeyUp, kKeyLeft}, false, 3, 4000},
        {{kKeyUp, kKeySpace}, false, 3, 4000},
        {{kKeyDown}, false, 3, 4000},
        {{kKeyUp}, true, 11, 6000},
    };
    for (const auto& c : cases) {
        BikeRig rig;
        rig.PassLevelStart();
        RaceState& race = rig.State();
        TPlayer& bike = rig.Bike();
        for (int key : c.keys) rig.KeyDown(key);
        rig.Frames(85);  // up to speed
        if (c.finish) {
            if (TCar* rivals = rig.Race().Rivals()) rivals->Active.fill(false);
            race.ViewRow = 1550 - race.TrackRows - 8;
            for (int r = race.ViewRow - 12; r < race.ViewRow + 12; ++r) {
                for (int col = race.ViewColumn - 2; col < race.ViewColumn + 15; ++col) {
                    race.SetTile(r, col, 10);
                }
            }
        } else {
            race.TimeLeftMs = 200;
        }
        const int ms = UntilDialog(rig);
        EXPECT_EQ(rig.Game().DialogKind, c.dialog) << c.keys.size() << c.finish;
        EXPECT_LE(ms, c.atMostMs) << c.keys.size() << c.finish;
        EXPECT_EQ(bike.Speed, 0.0);
    }
}

TEST(RaceFlow, EscapeAsksToLeaveAndPPauses) {
    const struct {
        bool escape, pause;
        int dialog;
    } cases[] = {{true, false, 2}, {false, true, 5}, {true, true, 2}};
    for (const auto& c : cases) {
        BikeRig rig;
        rig.PassLevelStart();
        rig.KeyDown(kKeyUp);
        rig.Frames(100);
        if (c.escape) rig.KeyDown(kKeyEscape);
        if (c.pause) rig.KeyDown(kKeyPause);
        rig.Frames(1);
        EXPECT_EQ(rig.Game().DialogKind, c.dialog);
        // The dialog silences the bike and freezes the race.
        EXPECT_FALSE(rig.Sounds().playing[9]);
        const int clock = rig.State().TimeLeftMs;
        rig.Frames(10);
        EXPECT_EQ(rig.State().TimeLeftMs, clock);
    }
    // Closing the pause starts the engine again; Yes to the question ends the race.
    BikeRig rig;
    rig.PassLevelStart();
    rig.KeyDown(kKeyUp);
    rig.Frames(100);
    rig.KeyDown(kKeyPause);
    rig.Frames(1);
    rig.KeyUp(kKeyPause);
    rig.Frames(1);
    rig.KeyDown(kKeyPause);
    rig.Frames(1);
    EXPECT_EQ(rig.Game().DialogKind, 0);
    EXPECT_TRUE(rig.Sounds().playing[12]);  // the gear sound stands for every gear
    rig.KeyDown(kKeyEscape);
    rig.Frames(1);
    rig.KeyDown('Y');
    rig.Frames(1);
    EXPECT_FALSE(rig.Race().Running());
    EXPECT_EQ(rig.Game().ScreenKind, kScreenMainMenu);
}

// Taps a key: down for one frame, then up.
void Tap(BikeRig& rig, int vk) {
    rig.KeyDown(vk);
    rig.Frames(1);
    rig.KeyUp(vk);
    rig.Frames(1);
}

TEST(RaceFlow, ThePointerIsHiddenWhileRidingAndShownByTheQuestions) {
    const struct {
        const char* what;
        int score;     // points when the race is left
        int key;       // tapped in this step (0: ride a second)
        int dialog;    // open afterwards
        bool pointer;  // the system pointer is shown afterwards
    } steps[] = {
        {"riding", 0, 0, 0, false},
        {"pause", 0, kKeyPause, 5, false},
        {"pause ends", 0, kKeyPause, 0, false},
        {"leave question", 0, kKeyEscape, 2, true},
        {"stay", 0, 'N', 0, false},
        {"leave question again", 5000, kKeyEscape, 2, true},
        {"leave with a record", 5000, 'Y', 8, true},
        {"name given", 5000, 0x0D, 9, true},
    };
    BikeRig rig;
    EXPECT_FALSE(rig.Log().pointerShown) << "a race starts without the pointer";
    rig.PassLevelStart();
    rig.KeyDown(kKeyUp);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        rig.State().Score = step.score;
        if (step.key == 0x0D) {
            // Enter comes as a typed character too, and the name entry takes it from there.
            rig.Form().HandleEvent(CharEvent(0x0D));
            rig.Frames(1);
        } else if (step.key != 0) {
            Tap(rig, step.key);
        } else {
            rig.Frames(85);
        }
        EXPECT_EQ(rig.Game().DialogKind, step.dialog);
        EXPECT_EQ(rig.Log().pointerShown, step.pointer);
    }
    // A new race hides it again.
    rig.Form().CloseDialog();
    rig.Form().StartRace(1);
    EXPECT_FALSE(rig.Log().pointerShown);
}

// A record is kept the moment it is entered: a game cut off right after (killed, the power
// gone) still has it, with the check text that keeps it at the next start.
TEST(RaceFlow, ARecordEnteredSurvivesAGameThatIsCutOff) {
    TempDir dir;
    LinkBuiltData(dir.Path());
    // A table every result beats: empty names give an empty check text.
    std::string hs;
    for (int k = 0; k < 10; ++k) hs += "\r\n-1\r\n";
    std::filesystem::create_directories(dir.Path() / "Data" / "Save");
    std::ofstream(dir.Path() / "Data" / "Save" / "hs", std::ios::binary) << hs;
    std::ofstream(dir.Path() / "Data" / "Save" / "options", std::ios::binary)
        << "0\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n\r\n";
    const auto script = dir.Path() / "record.txt";
    // Past the level-start notice, the leave question answered Yes, then the name.
    std::ofstream(script) << "200 key tap Escape\n210 key tap Y\n220 text Zed\n230 key tap Enter\n";
    const auto trace = dir.Path() / "trace.jsonl";
    // The run is killed outright once the name is in: nothing orderly happens after it.
    // Polled every 50 ms; a run that never shows the name entry fails here, not later.
    const std::string polls = std::to_string(test::Patience(std::chrono::seconds(30)).count() / 50);
    const std::string command =
        "cd " + dir.Path().string() + " && (" + VRUMBAL_TOOL_PATH + " play --data . --start-race" +
        " --frames 100000000 --script record.txt --trace trace.jsonl & pid=$!; n=0;" +
        " while ! grep -q '\"DialogKind\":9' trace.jsonl 2>/dev/null && [ $n -lt " + polls +
        " ]; do sleep 0.05; n=$((n+1)); done; kill -KILL $pid; wait $pid; [ $n -lt " + polls +
        " ])";
    ASSERT_EQ(RunCommand(command), 0) << "the name entry never showed";
    std::ifstream in(dir.Path() / "Data" / "Save" / "hs", std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Zed\r");
    // The check text of the saved table is the one the saved options carry.
    GameState state;
    LoadSaveFiles(state, dir.Path());
    EXPECT_EQ(state.HighScores[1].name, "Zed");
    EXPECT_EQ(state.HighScores[1].score, 0);
    EXPECT_EQ(state.HighScores[2].score, -1);
}

// Rides a fixed route in seconds of game time and returns the bike's world point.
QuadPoint RideRoute(int fps) {
    BikeRig rig(fps);
    rig.PassLevelStart();
    const double x0 = rig.WorldX(), y0 = rig.WorldY();
    auto seconds = [&](double s) { rig.Frames(static_cast<int>(std::lround(s * fps))); };
    rig.KeyDown(kKeyUp);
    seconds(3);
    rig.KeyDown(kKeyLeft);
    seconds(0.3);
    rig.KeyUp(kKeyLeft);
    rig.KeyDown(kKeyRight);
    seconds(0.3);
    rig.KeyUp(kKeyRight);
    seconds(1.5);
    rig.KeyUp(kKeyUp);
    seconds(1);
    EXPECT_FALSE(rig.Bike().Crashed) << fps;
    EXPECT_EQ(rig.State().Lives, 3) << fps;
    return {rig.WorldX() - x0, rig.WorldY() - y0};
}

TEST(RaceFlow, TheSameRideAtSixtyAndEightyFiveFramesEndsInTheSamePlace) {
    const QuadPoint at85 = RideRoute(85);
    const QuadPoint at60 = RideRoute(60);
    const double distance = std::hypot(at85.x, at85.y);
    EXPECT_GT(distance, 1000);  // it rode up the road
    EXPECT_LT(at85.y, -1000);
    EXPECT_NEAR(at60.x, at85.x, 0.01 * distance);
    EXPECT_NEAR(at60.y, at85.y, 0.01 * distance);
}

TEST(RaceFlow, ThePlayToolRidesAStartedRace) {
    TempDir dir;
    WriteRaceData(dir.Path());
    const auto script = dir.Path() / "ride.txt";
    std::ofstream(script) << "0 key down Up\n250 key down Left\n270 key up Left\n";
    const auto trace = dir.Path() / "trace.jsonl";
    const std::string command = std::string(VRUMBAL_TOOL_PATH) + " play --data " +
                                dir.Path().string() + " --start-race --level 3 --bike 2" +
                                " --frames 400 --script " + script.string() + " --trace " +
                                trace.string();
    ASSERT_EQ(RunCommand(command), 0);
    std::ifstream in(trace);
    std::string line, last;
    int lines = 0;
    while (std::getline(in, line)) {
        last = line;
        ++lines;
    }
    EXPECT_EQ(lines, 400);
    auto field = [&](const std::string& name) {
        const auto at = last.find("\"" + name + "\":");
        EXPECT_NE(at, std::string::npos) << name;
        return at == std::string::npos ? -1.0 : std::stod(last.substr(at + name.size() + 3));
    };
    EXPECT_EQ(field("ScreenKind"), 6);
    EXPECT_EQ(field("SystemCursor"), 0);  // no pointer over the road
    EXPECT_EQ(field("Level"), 3);
    EXPECT_EQ(field("SelectedBike"), 2);
    EXPECT_GT(field("Speed"), 30);
    EXPECT_LT(field("Steer"), 0);
    EXPECT_LT(field("ViewRow"), 1478);
    EXPECT_LT(field("TimeLeftMs"), 80000);  // the clock of level 3 runs
    EXPECT_GT(field("TimeLeftMs"), 75000);
}

}  // namespace
}  // namespace vrumbal::test
