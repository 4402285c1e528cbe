// The level flow of the dialogs: the timed notices, the tally of a won level and the
// congratulation after the last, and the end of a game.
#include <algorithm>
#include <string>

#include "engine/dx_draw.h"
#include "game/high_scores.h"
#include "game/level_tables.h"
#include "game/texts.h"
#include "race/race_screen.h"
#include "shell/dialog_texts.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "ui/font_slots.h"
#include "ui/menu_model.h"

namespace vrumbal {
using namespace dialog_text;
namespace {

constexpr int kCongratulationMs = 3200;
// The tally shows a line a second and drains the time left ten times faster than real time.
constexpr int kTallyLineMs = 1000;
constexpr int kTallyDrainSpeed = 10;
constexpr int kTallyHoldMs = 2000;
constexpr int kTallyLines = 5;
constexpr int kPointsPerSecond = kPointsPerSecondLeft;

}  // namespace

void GameDialogs::RunTimedNotice(int kind) {
    if (Countdown(state_.DialogTimer, form_.State().FrameMs, 0)) return;
    Close();
    if (kind == kDialogTimeUp) {
        // The same level again, on a new track with the full time.
        if (TPlayer* bike = form_.RaceFlow().Bike()) bike->StartLevelRun(false);
    } else if (kind == kDialogGameOver) {
        EndOfGame();
    }
}

void GameDialogs::RunTally() {
    RaceState& race = form_.Race();
    const int frameMs = form_.State().FrameMs;
    if (race.TallyStepTimer < 1) {
        race.TallyStepTimer = kTallyLineMs;
        ++race.TallyLines;
        if (race.TallyLines < kTallyLines) form_.PlaySound(kSoundArrow);
    } else {
        race.TallyStepTimer -= frameMs;
    }

    TCanvas& canvas = form_.MDXDraw.Canvas();
    SelectFont(canvas, 11);
    if (race.TallyLines > 0) {
        CentredText(canvas, Filled(form_.Tr("Ваше место %d"), race.Place), 382, 244, true, true);
    }
    if (race.TallyLines > 1) {
        CentredText(canvas, Filled(form_.Tr("Бонус: %d"), race.PlaceBonus), 382, 274, true, true);
    }
    if (race.TallyLines > 2) {
        // The drain ends a little below zero; the count shows no less than nothing left.
        const int seconds = std::max(race.TallyTimeLeft, 0) / 1000;
        FromLeft(canvas, Filled(form_.Tr("Осталось: %d сек."), seconds), 307, 304);
    }
    if (race.TallyLines > 3) {
        FromLeft(canvas, Filled(form_.Tr("За время: %d"), race.TimePoints), 292, 334);
    }

    if (race.TallyLines < kTallyLines) return;
    if (race.TallyTimeLeft >= 0) {
        const int step = kTallyDrainSpeed * frameMs;
        // Five points for every whole second the drain passes.
        if ((race.TallyTimeLeft - step) / 1000 < race.TallyTimeLeft / 1000) {
            race.TimePoints += kPointsPerSecond;
            form_.PlaySound(kSoundClockTick);
        }
        race.TallyTimeLeft -= step;
        race.TallyHold = kTallyHoldMs;
        return;
    }
    race.TallyHold -= frameMs;
    if (race.TallyHold < 1) FinishTally();
}

void GameDialogs::FinishTally() {
    RaceState& race = form_.Race();
    race.Score += race.PlaceBonus + race.TimePoints;
    Close();
    if (race.Level >= kLevelCount) {
        race.TallyTimeLeft = kCongratulationMs;
        form_.PlaySound(kSoundRaceWon);
        Open(kDialogCongratulation);
        return;
    }
    if (TPlayer* bike = form_.RaceFlow().Bike()) bike->StartLevelRun(true);
}

void GameDialogs::RunCongratulation() {
    RaceState& race = form_.Race();
    race.TallyTimeLeft -= form_.State().FrameMs;
    if (race.TallyTimeLeft >= 1) return;
    Close();
    EndOfGame();
}

void GameDialogs::EndOfGame() {
    GameState& s = form_.State();
    if (QualifiesForHighScores(s, form_.Race().Score)) {
        Open(kDialogNameEntry);
        return;
    }
    // The game's result is in, without a row of the table.
    form_.GameEnded(false);
    form_.RaceFlow().StopRaceSprites();
    form_.EnterMainMenu(false, kMainPlay, true);
}

void GameDialogs::BackToMenu(int selection) {
    form_.RaceFlow().StopRaceSprites();
    form_.EnterMainMenu(false, selection, true);
    form_.EnterHighScores();
}

}  // namespace vrumbal
