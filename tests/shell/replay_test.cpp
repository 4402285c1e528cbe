// Every game is recorded from the start of its race to its result, and its replay re-runs to
// the same result, frame for frame, with or without drawing; a changed replay does not; the
// table's replays are kept with their rows, watched from the high-score screen without
// changing anything of the player's, and go when their rows go.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "dialog_rig.h"
#include "race/scroll_background.h"
#include "save/replay_files.h"
#include "save/save_paths.h"
#include "screens/high_scores_screen.h"
#include "shell/autopilot.h"
#include "shell/replay_check.h"

namespace vrumbal::test {
namespace {

namespace fs = std::filesystem;

constexpr int kKeyP = 'P';
constexpr int kKeyR = 'R';
// Where the Yes button of a question lies.
constexpr int kYesX = 300, kYesY = 328;

// The values of a race a frame leaves, as the play tool's trace has them.
struct RaceValues {
    int screen = 0, dialog = 0, level = 0, lives = 0, score = 0, timeLeftMs = 0, place = 0;
    int viewRow = 0, viewColumn = 0, heading = 0, hitsLeft = 0;
    double speed = 0, groundSpeed = 0, steer = 0, roadX = 0, roadY = 0;
    bool finished = false, timeUp = false, crashed = false;
    bool operator==(const RaceValues&) const = default;
};

RaceValues ValuesOf(TMForm& form) {
    RaceValues v;
    v.screen = form.State().ScreenKind;
    v.dialog = form.State().DialogKind;
    const RaceState& r = form.Race();
    v.level = r.Level;
    v.lives = r.Lives;
    v.score = r.Score;
    v.timeLeftMs = r.TimeLeftMs;
    v.place = r.Place;
    v.viewRow = r.ViewRow;
    v.viewColumn = r.ViewColumn;
    if (const TPlayer* bike = form.RaceFlow().Bike()) {
        v.heading = bike->Heading;
        v.hitsLeft = bike->HitsLeft;
        v.speed = bike->Speed;
        v.groundSpeed = bike->GroundSpeed;
        v.steer = bike->Steer;
        v.finished = bike->Finished;
        v.timeUp = bike->TimeUp;
        v.crashed = bike->Crashed;
    }
    if (const TSprite* road = form.RaceFlow().Road()) {
        v.roadX = road->X;
        v.roadY = road->Y;
    }
    return v;
}

// A game played on a rig of its own: the values of every frame, and its replay.
struct PlayedGame {
    std::unique_ptr<DialogRig> rig;  // the game, still there to look at
    std::vector<RaceValues> frames;  // every frame's values, from the race's first frame
    Replay replay;                   // what the game recorded
};

// Runs frames on the rig, keeping each one's values while a race is recorded.
class Player {
public:
    explicit Player(PlayedGame& game) : game_(game) {}
    void Frames(int n) {
        for (int i = 0; i < n; ++i) Frame();
    }
    void Frame() {
        game_.rig->Frames(1);
        if (!ended_) game_.frames.push_back(ValuesOf(game_.rig->Form()));
        ended_ = game_.rig->Form().LastReplay().has_value();
    }
    // Frames while the condition holds, at most limit.
    void While(const std::function<bool()>& condition, int limit) {
        for (int i = 0; i < limit && condition(); ++i) Frame();
    }

private:
    PlayedGame& game_;
    bool ended_ = false;
};

// A scripted game from the start of its race to its end.
struct Script {
    const char* what;
    int tableScore;  // every row of the table worth this (-1: any result enters it)
    std::function<void(DialogRig&, Player&)> play;  // plays it
    bool record;                                    // it ends with a name typed into the table
};

// Holds the throttle into the verges until the lives are gone.
void CrashOut(DialogRig& rig, Player& p) {
    rig.KeyDown(kKeyUp);
    p.While(
        [&] {
            return rig.Game().ScreenKind == kScreenRace &&
                   rig.Game().DialogKind != kDialogNameEntry;
        },
        30000);
    rig.KeyUp(kKeyUp);
}

// Types a name too long and too wide, takes a letter back and keeps the record.
void TypeName(DialogRig& rig, Player& p) {
    p.Frames(5);
    rig.Type(std::string(14, '\xD8'));  // Ш: wider than the box before twelve of them
    p.Frames(1);
    rig.Type(8);
    rig.Type("Ab");
    p.Frames(1);
    rig.Enter();
    p.Frames(2);
}

const Script kScripts[] = {
    {"crashes until the game is over", 1000000, [](DialogRig& rig, Player& p) { CrashOut(rig, p); },
     false},
    {"the clock runs out, a pause from outside, then crashes and a record", -1,
     [](DialogRig& rig, Player& p) {
         p.While([&] { return rig.Game().DialogKind != kDialogTimeUp; }, 6000);
         p.While([&] { return rig.Game().DialogKind != kDialogNone; }, 600);
         // The window is minimised (a pause from outside the frame), then P resumes.
         rig.Form().HandleEvent(WindowEvent{WindowEvent::Type::Minimize});
         rig.Form().HandleEvent(WindowEvent{WindowEvent::Type::Restore});
         p.Frames(3);
         rig.KeyDown(kKeyP);
         p.Frames(1);
         rig.KeyUp(kKeyP);
         p.Frames(2);
         CrashOut(rig, p);
         TypeName(rig, p);
     },
     true},
    {"a level ridden to the finish, its tally, and the next one left by a click", 1000000,
     [](DialogRig& rig, Player& p) {
         Autopilot pilot(rig.Form());
         p.While([&] { return rig.Game().DialogKind != kDialogNone; }, 600);
         p.While(
             [&] {
                 pilot.Steer();
                 return rig.Game().DialogKind != kDialogTally;
             },
             8000);
         p.While([&] { return rig.Game().DialogKind != kDialogLevelStart; }, 3000);
         p.While([&] { return rig.Game().DialogKind != kDialogNone; }, 600);
         p.Frames(40);
         rig.KeyDown(kKeyEscape);
         p.Frames(1);
         rig.KeyUp(kKeyEscape);
         p.Frames(2);
         rig.MoveMouse(kYesX, kYesY);
         p.Frames(1);
         rig.Form().HandleEvent(PointerEvent(WindowEvent::Type::Click, kYesX, kYesY));
     },
     false},
};

PlayedGame Play(const Script& script) {
    PlayedGame game;
    game.rig = std::make_unique<DialogRig>(85, TextMetrics{true}, false, true);
    DialogRig& rig = *game.rig;
    rig.PassIntro();
    for (int k = 1; k <= 10; ++k) rig.Game().HighScores[k].score = script.tableScore;
    rig.StartRace(1);
    Player player(game);
    script.play(rig, player);
    if (rig.Form().LastReplay()) game.replay = *rig.Form().LastReplay();
    return game;
}

// Re-runs a replay on a game of its own over the rig's data, drawn or not, and keeps every
// frame's values.
std::vector<RaceValues> Rerun(const fs::path& root, const Replay& replay, bool draw) {
    PlatformLog log;
    SimulatedClock* clock = nullptr;
    FormConfig config;
    config.dataRoot = root;
    config.draw = draw;
    config.saves = SaveUse::None;
    config.record = false;
    config.refreshOverride = 85;
    TMForm form(FakePlatform(log, clock), config);
    form.FormCreate();
    form.BeginPlayback(replay, PlaybackKind::Check);
    std::vector<RaceValues> frames;
    while (!form.Playback()->Done()) {
        const std::size_t before = form.Playback()->FramesRun();
        form.RunPlaybackFrame();
        if (form.Playback()->FramesRun() != before) frames.push_back(ValuesOf(form));
    }
    return frames;
}

std::string Bytes(const Replay& replay) {
    const std::vector<std::uint8_t> bytes = EncodeReplay(replay);
    return {bytes.begin(), bytes.end()};
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Replays, ScriptedGamesReRunToTheirResultFrameForFrameDrawnOrNot) {
    for (const Script& script : kScripts) {
        SCOPED_TRACE(script.what);
        PlayedGame game = Play(script);
        const Replay& replay = game.replay;
        ASSERT_TRUE(replay.finished);
        const RaceState& race = game.rig->Form().Race();
        EXPECT_EQ(replay.score, race.Score);
        EXPECT_EQ(replay.level, race.Level);
        EXPECT_EQ(replay.name, game.rig->Game().PlayerName);
        EXPECT_EQ(replay.name.empty(), !script.record);
        ASSERT_EQ(replay.frames.size(), game.frames.size());
        // The file holds all of it.
        Replay read;
        ASSERT_EQ(DecodeReplay(Bytes(replay), read), "");
        EXPECT_TRUE(read == replay);

        const ReplayCheck check = CheckReplay(game.rig->Root(), read);
        EXPECT_EQ(check.error, "");
        EXPECT_TRUE(check.matches) << check.score << " " << check.level << " " << check.name;
        // Drawn or not, every frame comes out as it was played.
        EXPECT_TRUE(Rerun(game.rig->Root(), read, false) == game.frames);
        EXPECT_TRUE(Rerun(game.rig->Root(), read, true) == game.frames);

        // The throttle let go of from the middle on: another game.
        Replay changed = read;
        for (std::size_t f = changed.frames.size() / 2; f < changed.frames.size(); ++f) {
            changed.frames[f].input &= ~(std::uint64_t{1} << kStateUp);
        }
        EXPECT_FALSE(CheckReplay(game.rig->Root(), changed).matches);

        // Kept for the sanitizer build to re-run as well (make verify-replays).
        const fs::path kept = fs::path(VRUMBAL_BUILD_DIR) / "replays";
        fs::create_directories(kept);
        std::ofstream(kept / (std::to_string(&script - kScripts) + ".vrr"), std::ios::binary)
            << Bytes(replay);
    }
}

TEST(Replays, TheTableKeepsItsRowsReplaysWhichAreWatchedWithoutChangingAnything) {
    PlayedGame game = Play(kScripts[1]);
    DialogRig& rig = *game.rig;
    ASSERT_EQ(rig.Game().DialogKind, kDialogUpload);
    rig.Tap('N');  // not sent: on to the table
    rig.Frames(2);
    ASSERT_EQ(rig.Game().ScreenKind, kScreenHighScores);
    const fs::path save = SaveFolderPath(rig.Root());
    const std::string name = rig.Game().HighScores[1].replay;
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(ReadAll(ReplayFolderPath(save) / name), Bytes(game.replay));
    EXPECT_EQ(ReadAll(ReplayFolderPath(save) / kLastReplayName), Bytes(game.replay));
    EXPECT_EQ(ReadAll(save / kReplayIndexName).substr(0, name.size() + 2), name + "\r\n");

    // Watched: the game as it was ridden, marked, until Escape; nothing of the player's moves.
    const std::string files =
        ReadAll(save / "options") + ReadAll(save / "hs") + ReadAll(save / kReplayIndexName);
    const HighScoreTable table = rig.Game();
    rig.Tap(kKeyR);
    ASSERT_NE(rig.Form().Playback(), nullptr);
    rig.Frames(60);
    EXPECT_EQ(rig.Game().ScreenKind, kScreenRace);
    EXPECT_NE(rig.Find("ПОВТОР"), nullptr);
    EXPECT_TRUE(ValuesOf(rig.Form()) == game.frames[60]);
    rig.Tap(kKeyEscape);
    rig.Frames(1);
    EXPECT_EQ(rig.Form().Playback(), nullptr);
    EXPECT_EQ(rig.Game().ScreenKind, kScreenHighScores);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(rig.Game().HighScores[k].name, table.HighScores[k].name);
        EXPECT_EQ(rig.Game().HighScores[k].score, table.HighScores[k].score);
    }
    // Watched to its very end, it goes back to the table by itself.
    rig.Tap(kKeyR);
    for (int i = 0; i < 40000 && rig.Form().Playback() != nullptr; ++i) rig.Frames(1);
    EXPECT_EQ(rig.Form().Playback(), nullptr);
    EXPECT_EQ(rig.Game().ScreenKind, kScreenHighScores);
    EXPECT_EQ(ReadAll(save / "options") + ReadAll(save / "hs") + ReadAll(save / kReplayIndexName),
              files);
    // A row without a replay plays nothing.
    rig.MoveMouse(578, HighScoreRowY(5));
    rig.Click(578, HighScoreRowY(5));
    EXPECT_EQ(rig.Form().Playback(), nullptr);

    // Cleared, the table keeps no replay but the last game's.
    rig.Form().ActivateEntry(kHighScoresClear);
    rig.Frames(1);
    rig.Tap('Y');
    rig.Frames(1);
    EXPECT_TRUE(rig.Game().HighScores[1].replay.empty());
    EXPECT_FALSE(fs::exists(ReplayFolderPath(save) / name));
    EXPECT_TRUE(fs::exists(ReplayFolderPath(save) / kLastReplayName));
}

}  // namespace
}  // namespace vrumbal::test
