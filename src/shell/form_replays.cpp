// The form's replays: every game recorded from the start of its race to its result, the
// replays of the table's rows kept beside the saves, and a recorded game played back, watched
// in the window or checked without drawing.

#include "engine/dx_draw.h"
#include "game/build_info.h"
#include "game/high_scores.h"
#include "platform/codepage.h"
#include "race/race_screen.h"
#include "save/replay_files.h"
#include "screens/high_scores_screen.h"
#include "screens/main_menu.h"
#include "shell/form_outside_call.h"
#include "shell/game_recorder.h"
#include "shell/main_form.h"
#include "shell/replay_check.h"
#include "ui/font_slots.h"

namespace vrumbal {
namespace {

// The mark over a replay being watched: small, at the top of the road.
constexpr int kReplayMarkSlot = 17;
constexpr int kReplayMarkX = 400, kReplayMarkY = 16;

}  // namespace

bool TMForm::RecordsCall() const {
    return recorder_ != nullptr && !logicRunning_ && callDepth_ == 0;
}

const Digest& TMForm::ContentDigest() {
    if (!contentDigest_) {
        contentDigest_ = config_.content ? *config_.content : ContentDigestOf(config_.dataRoot);
    }
    return *contentDigest_;
}

std::string TMForm::ReplayMismatch(const Replay& replay) {
    if (replay.gameVersion != kGameVersion) {
        return "it was recorded by version " + replay.gameVersion + ", this is " + kGameVersion;
    }
    if (replay.content != ContentDigest()) return "it was recorded on other content";
    return "";
}

void TMForm::StartRecording(int level) {
    Replay start;
    start.gameVersion = kGameVersion;
    start.content = ContentDigest();
    start.random = Rng.State();
    start.bike = static_cast<std::uint8_t>(state_.SelectedBike);
    start.startLevel = static_cast<std::uint8_t>(level);
    const GameState& s = state_;
    start.keyLevels = {s.LevelUp,    s.LevelDown, s.HeldLeft, s.HeldRight,
                       s.LevelPause, s.LevelYes,  s.LevelNo,  s.LevelEscape};
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        start.tableScores[static_cast<std::size_t>(k - 1)] = s.HighScores[k].score;
    }
    recorder_ = std::make_unique<GameRecorder>(std::move(start));
}

void TMForm::FinishRecording(bool finished, const std::string& name) {
    if (!recorder_) return;
    lastReplay_ = recorder_->Finish(finished, race_.Score, race_.Level, name);
    recorder_.reset();
    const std::vector<std::uint8_t> bytes = EncodeReplay(*lastReplay_);
    lastReplayFile_.assign(bytes.begin(), bytes.end());
    if (config_.saves != SaveUse::ReadWrite) return;
    // The last game is kept whatever became of it; a failure here costs only the replay.
    WriteReplayFile(SaveFolder(), kLastReplayName, lastReplayFile_);
}

std::string TMForm::KeepReplay(std::string_view file) {
    if (config_.saves != SaveUse::ReadWrite) return "";
    const std::string name = ReplayFileName(file);
    // On the disk before the table that names it: a row never names a file not yet there.
    if (!WriteReplayFile(SaveFolder(), name, file)) return "";
    return name;
}

std::string TMForm::GameEnded(bool withName) {
    if (player_) {
        player_->MarkEnded();
        return "";
    }
    if (!recorder_) return "";
    FinishRecording(true, withName ? state_.PlayerName : "");
    // Results kept from earlier games try again now that this one has ended.
    uploads_.SendKept();
    return withName ? KeepReplay(lastReplayFile_) : "";
}

bool TMForm::NameFitsWidth(const std::string& name) {
    // A replay played back gives the answer its recording got: the font may not be there.
    if (nameFitAnswer_ != ReplayEvent::Fit::NotAsked) {
        return nameFitAnswer_ == ReplayEvent::Fit::Fits;
    }
    const bool fits =
        TextWidthInSlot(MDXDraw.Canvas(), Cp1251ToUtf8(name), kFontTypedName) <= kNameMaxWidth;
    if (recorder_) recorder_->AnswerLastChar(fits);
    return fits;
}

std::string TMForm::BeginPlayback(Replay replay, PlaybackKind kind) {
    if (std::string mismatch = ReplayMismatch(replay); !mismatch.empty()) return mismatch;
    if (player_) EndPlayback();
    if (state_.DialogKind != kDialogNone) CloseDialog();
    if (kind == PlaybackKind::Watch) watchSnapshot_ = WatchSnapshot{state_, Rng.State()};
    // A game played back from the high-score screen leaves it as the race would.
    if (state_.ScreenKind == kScreenHighScores) HighScoreScreen().Leave();
    GameState& s = state_;
    Rng.SetState(replay.random);
    s.SelectedBike = replay.bike;
    s.LevelUp = replay.keyLevels[0];
    s.LevelDown = replay.keyLevels[1];
    s.HeldLeft = replay.keyLevels[2];
    s.HeldRight = replay.keyLevels[3];
    s.LevelPause = replay.keyLevels[4];
    s.LevelYes = replay.keyLevels[5];
    s.LevelNo = replay.keyLevels[6];
    s.LevelEscape = replay.keyLevels[7];
    // Whether the result enters the table depends on the table the game met.
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        s.HighScores[k].score = replay.tableScores[static_cast<std::size_t>(k - 1)];
    }
    s.PlayerName.clear();
    const int level = replay.startLevel;
    player_ = std::make_unique<ReplayPlayer>(std::move(replay), kind);
    StartRace(level);
    return "";
}

void TMForm::ApplyReplayEvent(const ReplayEvent& event) {
    switch (event.type) {
        case ReplayEvent::Type::Char:
            nameFitAnswer_ = event.fit;
            FormKeyPress(event.ch);
            nameFitAnswer_ = ReplayEvent::Fit::NotAsked;
            break;
        case ReplayEvent::Type::Pointer:
            MDXDrawMouseMove(event.x, event.y);
            break;
        case ReplayEvent::Type::Activate:
            if (event.kind != 0) {
                ActivateEntry(event.kind);
            } else {
                ActivateEntry();
            }
            break;
        case ReplayEvent::Type::OpenDialog:
            OpenDialog(static_cast<DialogKindValue>(event.kind));
            break;
        case ReplayEvent::Type::CloseDialog:
            CloseDialog();
            break;
    }
}

void TMForm::RunPlaybackFrame() {
    if (!player_) return;
    if (player_->Done() || (player_->Ended() && player_->Kind() == PlaybackKind::Watch)) {
        EndPlayback();
        return;
    }
    if (player_->FramesDone()) {
        // What came after the last frame (an answer that ended the game) comes on its own.
        player_->TrailingHandedOver();
        for (const ReplayEvent& event : player_->TrailingEvents()) {
            ApplyReplayEvent(event);
            if (!player_) return;
        }
        return;
    }
    // A frame the surface cannot draw is not run, so its events wait for it too.
    if (config_.draw && !MDXDraw.CanDraw()) return;
    const ReplayFrame frame = player_->Next();
    for (const ReplayEvent& event : player_->EventsOf(frame)) {
        ApplyReplayEvent(event);
        if (!player_) return;
    }
    state_.FrameMs = frame.frameMs;
    state_.SpeedFactor = frame.speedFactor;
    playbackInput_ = frame.input;
    RunFrame(frame.lag);
    if (player_) player_->Advance();
}

void TMForm::DrawReplayMark() {
    TCanvas& canvas = MDXDraw.Canvas();
    SelectFont(canvas, kReplayMarkSlot);
    CentredText(canvas, Tr("ПОВТОР"), kReplayMarkX, kReplayMarkY, true, true);
}

void TMForm::StopWatching() {
    if (player_ && player_->Kind() == PlaybackKind::Watch) EndPlayback();
}

void TMForm::EndPlayback() {
    if (!player_) return;
    const PlaybackKind kind = player_->Kind();
    // A check leaves the game where the replay did, for its result to be read.
    if (kind == PlaybackKind::Check) {
        player_.reset();
        MDXInput.EndReplace();
        return;
    }
    if (state_.DialogKind != kDialogNone) CloseDialog();
    const bool raceLeft = raceScreen_->Running();
    if (raceLeft) raceScreen_->StopRaceSprites();
    player_.reset();
    MDXInput.EndReplace();
    // Keys held now (the Escape that left the replay) are no new presses for the table.
    MDXInput.Update();
    GameState& s = state_;
    s.LevelUp = MDXInput.State(kStateUp);
    s.LevelDown = MDXInput.State(kStateDown);
    s.HeldLeft = MDXInput.State(kStateLeft);
    s.HeldRight = MDXInput.State(kStateRight);
    s.LevelPause = MDXInput.State(kStatePause);
    s.LevelYes = MDXInput.State(kStateYes);
    s.LevelNo = MDXInput.State(kStateNo);
    s.LevelEscape = MDXInput.State(kStateEscape);
    if (watchSnapshot_) {
        // The screens' pieces are made again below; the rest is the player's as it was.
        const WatchSnapshot snapshot = std::move(*watchSnapshot_);
        watchSnapshot_.reset();
        static_cast<vrumbal::Options&>(state_) = snapshot.state;
        static_cast<vrumbal::HighScoreTable&>(state_) = snapshot.state;
        state_.PlayerName = snapshot.state.PlayerName;
        state_.SelectedBike = snapshot.state.SelectedBike;
        Rng.SetState(snapshot.random);
    }
    if (config_.endAfterWatching) {
        // Nothing of the player's was changed, so nothing is saved on the way out.
        terminated_ = true;
        return;
    }
    // The game may have gone back to the menu itself at its end.
    if (raceLeft || state_.ScreenKind != kScreenMainMenu) EnterMainMenu(false, kMainRecords, true);
    EnterHighScores();
}

bool TMForm::WatchTableReplay(int row) {
    if (row < 1 || row > kHighScoreTableSize || player_) return false;
    const std::string& name = state_.HighScores[row].replay;
    if (name.empty()) return false;
    std::string error;
    auto replay = ReadReplayFile(ReplayFolderPath(SaveFolder()) / name, error);
    return replay && BeginPlayback(std::move(*replay), PlaybackKind::Watch).empty();
}

}  // namespace vrumbal
