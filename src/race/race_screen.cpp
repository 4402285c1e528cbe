// The race screen at work: starting a game and its levels, the frame's keys, needle and clock,
// and the dialogs that end a level.
#include "race/race_screen.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/input_states.h"
#include "engine/my_image_sprite.h"
#include "engine/picture_collection.h"
#include "engine/random.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/content_ids.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/level_tables.h"
#include "game/race_state.h"
#include "race/hud.h"
#include "race/pickups.h"
#include "race/rivals.h"
#include "race/scroll_background.h"
#include "race/track_generator.h"

namespace vrumbal {
namespace {

constexpr double kTurn = 2 * std::numbers::pi / 256;  // radians per heading unit

// The speedometer needle: picture 4 of list 2 turning about a point near its right end.
constexpr int kNeedlePicture = race_picture::kNeedle;
constexpr int kNeedleRestAngle = 28;

}  // namespace

RaceScreen::RaceScreen(GameHost& host) : host_(host) {
    // The pickups lie on the track of the level just generated; the rivals steer round the
    // bike, so they come after it.
    Hooks.createPickups = [this] { pickups_ = TBonus::Create(host_, road_); };
    Hooks.createRivals = [this] {
        rivals_ = TCar::Create(host_, road_, bike_);
        if (bike_ != nullptr) bike_->SetRivals(rivals_);
        if (road_ != nullptr) road_->SetRivalTarget(rivals_);
    };
    Hooks.placePickups = [this] {
        if (pickups_ != nullptr) pickups_->PlacePickups();
    };
    Hooks.placeRivals = [this] {
        if (rivals_ != nullptr) rivals_->Reset();
    };
    Hooks.killSprites = [this] {
        if (bike_ != nullptr) bike_->SetRivals(nullptr);
        if (road_ != nullptr) road_->SetRivalTarget(nullptr);
        if (pickups_ != nullptr) pickups_->KillOnce();
        if (rivals_ != nullptr) rivals_->KillOnce();
        pickups_ = nullptr;
        rivals_ = nullptr;
    };
}

int RaceScreen::NeedleAngleFor(double speed, bool shifting) {
    const int angle = std::max(kNeedleRestAngle, RoundHalfEven(0.76875 * speed + kNeedleRestAngle));
    return shifting ? angle - 1 : angle;
}

void RaceScreen::StartRace(int level) {
    GameState& s = host_.State();
    if (Running()) StopRaceSprites();
    s.ScreenKind = kScreenRace;
    host_.StartScreenMusic();
    // The pointer has nothing to point at over the road; the questions show it again.
    host_.HideSystemCursor();
    s.MenuFirst = 1;
    s.MenuLast = 0;
    s.MenuSelection = 0;

    road_ = TScrollBackground::Create(host_.Sprites(), host_.Race(), s, 2, 1, 13, 10);
    StartLevel(level);
    if (Hooks.createPickups) Hooks.createPickups();
    const TPictureCollection* list2 = host_.Sprites().imageList2;
    if (list2 != nullptr && kNeedlePicture < list2->Count()) {
        needle_ = TPointer::Create(host_.Sprites(), 2, kNeedlePicture, 0.7, 0.5, -10, 510);
        needle_->NeedleAngle = kNeedleRestAngle;
    }
    bike_ = TPlayer::Create(host_, this, TPlayer::kScreenX, TPlayer::kScreenY);
    bike_->SetRoad(road_);
    road_->SetBikeTarget(bike_);
    if (Hooks.createRivals) Hooks.createRivals();
    DrawHud(host_, bike_);
    RaceState& race = host_.Race();
    race.Lives = 3;
    race.Score = 0;
    host_.OpenDialog(kDialogLevelStart);
}

void RaceScreen::StartLevel(int level) {
    RaceState& race = host_.Race();
    race.Level = level;
    race.RacerCount = 0;
    race.Place = 0;
    race.TrackRows = TrackRowsForLevel(level);
    race.TimeLeftMs = TimeLimitSeconds(level) * 1000;
    race.BonusCount = BonusCountForLevel(level);
    GenerateTrack(race, host_.Randomness(), road_);
    clockRan_ = false;
}

void RaceScreen::RaceFrame(int lagCount) {
    host_.SpriteEngine().Move(lagCount);
    if (!Running()) return;
    const TDXInput& input = host_.Input();
    bike_->SteerLeft = input.State(kStateLeft);
    bike_->SteerRight = input.State(kStateRight);
    bike_->Throttle = input.State(kStateUp);
    bike_->Brake = input.State(kStateDown);
    bike_->HandBrake = input.State(kStateSpace);
    bike_->Horn = input.State(kStateH);
    if (needle_ != nullptr) {
        needle_->NeedleAngle =
            NeedleAngleFor(bike_->Speed, bike_->EngineSound == EngineSoundState::Shift);
    }
    RunClock();
    RaceState& race = host_.Race();
    DrawTrackWindow(race, *road_);
    const double heading = bike_->Heading * kTurn;
    race.BikeVelX = -std::sin(heading) * bike_->GroundSpeed;
    race.BikeVelY = std::cos(heading) * bike_->GroundSpeed;
    DrawHud(host_, bike_);
    const GameState& s = host_.State();
    // Opening does nothing while a dialog is open, so Escape wins over P in the same frame.
    if (s.EdgeEscape) host_.OpenDialog(kDialogExit);
    if (s.EdgePause) host_.OpenDialog(kDialogPause);
}

void RaceScreen::RunClock() {
    RaceState& race = host_.Race();
    const int frameMs = host_.State().FrameMs;
    int& left = race.TimeLeftMs;
    // A tick for each whole second the clock passed in its last step; a stopped clock sitting
    // just below a whole second must not tick again every frame.
    if (clockRan_ && left <= kTickWindowMs && (left + frameMs) / 1000 > left / 1000) {
        host_.PlaySound(kSoundClockTick);
    }
    clockRan_ = false;
    if (!bike_->TimeUp && !bike_->Finished && left - frameMs >= 0) {
        left -= frameMs;
        clockRan_ = true;
    }
    if (left <= frameMs + 1) bike_->TimeUp = true;
}

void RaceScreen::StopRaceSprites() {
    host_.State().ScreenKind = kScreenNone;
    if (road_ != nullptr) {
        road_->SetBikeTarget(nullptr);
        road_->KillOnce();
    }
    if (bike_ != nullptr) bike_->StopBikeSounds(true);
    if (Hooks.killSprites) Hooks.killSprites();
    if (needle_ != nullptr) needle_->KillOnce();
    if (bike_ != nullptr) bike_->KillOnce();
    host_.SpriteEngine().FreeKilled();
    road_ = nullptr;
    needle_ = nullptr;
    bike_ = nullptr;
}

void RaceScreen::LevelWon() {
    RaceState& race = host_.Race();
    race.TallyTimeLeft = race.TimeLeftMs;
    race.TimePoints = 0;
    race.PlaceBonus = PlaceBonus(race.Place);
    race.TallyStepTimer = 0;
    race.TallyLines = 0;
    host_.OpenDialog(kDialogTally);
}

void RaceScreen::LevelTimedOut() {
    RaceState& race = host_.Race();
    if (race.Lives > 0) {
        --race.Lives;
        if (bike_ != nullptr) bike_->HitsLeft = 3;
    }
    host_.OpenDialog(race.Lives < 1 ? kDialogGameOver : kDialogTimeUp);
}

void RaceScreen::LivesGone() {
    host_.OpenDialog(kDialogGameOver);
}

void RaceScreen::PlacePickups() {
    if (Hooks.placePickups) Hooks.placePickups();
}

void RaceScreen::PlaceRivals() {
    if (Hooks.placeRivals) Hooks.placeRivals();
}

}  // namespace vrumbal
