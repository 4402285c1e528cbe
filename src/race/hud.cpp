// The head-up display's texts at their places on the panels, and the two side panels drawn.
#include "race/hud.h"

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/sprite.h"
#include "game/content_ids.h"
#include "game/game_host.h"
#include "game/race_state.h"
#include "game/texts.h"
#include "race/player.h"
#include "ui/font_slots.h"

namespace vrumbal {
namespace {

// Slots and places of the texts; the panel pictures have their windows at these points.
constexpr int kSlotLevel = 6;
constexpr int kSlotValues = 18;
constexpr int kSlotPlace = 24;
constexpr int kLevelX = 714, kLevelY = 20;
constexpr int kClockX = 87, kClockY = 23;
constexpr int kScoreX = 84, kScoreY = 218;
constexpr int kLivesX = 113, kLivesY = 342;
constexpr int kSpeedX = 91, kSpeedY = 578;
constexpr int kPlaceX = 635, kPlaceY = 185;

// km/h shown per unit of engine speed.
constexpr double kSpeedToKmh = 1.9;

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

std::string HudLevelText(int level, const std::string& pattern) {
    return Filled(pattern, level);
}

std::string HudClockText(int timeLeftMs) {
    // The clock stops at 0; a negative value would print a stray minus sign.
    if (timeLeftMs < 0) timeLeftMs = 0;
    const int minutes = timeLeftMs / 60000;
    const int seconds = timeLeftMs / 1000 % 60;
    return TwoDigits(minutes) + " : " + TwoDigits(seconds);
}

std::string HudLivesText(int lives) {
    return std::to_string(lives < 0 ? 0 : lives);
}

std::string HudSpeedText(double speed) {
    return speed > 0 ? std::to_string(RoundHalfEven(speed * kSpeedToKmh)) : "0";
}

std::string HudPlaceText(int place, int racerCount) {
    return std::to_string(place) + "/" + std::to_string(racerCount);
}

void DrawHud(TCanvas& canvas, const RaceState& race, double bikeSpeed,
             const std::string& levelPattern) {
    CentredTextInSlot(canvas, HudLevelText(race.Level, levelPattern), kSlotLevel, kLevelX, kLevelY,
                      true, true);
    CentredTextInSlot(canvas, HudClockText(race.TimeLeftMs), kSlotValues, kClockX, kClockY, true,
                      true);
    CentredText(canvas, std::to_string(race.Score), kScoreX, kScoreY, true, true);
    CentredText(canvas, HudLivesText(race.Lives), kLivesX, kLivesY, true, true);
    CentredText(canvas, HudSpeedText(bikeSpeed), kSpeedX, kSpeedY, true, true);
    // The place starts at a fixed x so that a wider racer count grows to the right.
    CentredTextInSlot(canvas, HudPlaceText(race.Place, race.RacerCount), kSlotPlace, kPlaceX,
                      kPlaceY, false, true);
}

void DrawHud(GameHost& host, const TPlayer* bike) {
    DrawHud(host.Surface().Canvas(), host.Race(), bike != nullptr ? bike->Speed : 0.0,
            host.Tr("УРОВЕНЬ %d / 10"));
}

void DrawSidePanels(TDXDraw& target, TPictureCollection* list) {
    for (const auto& [picture, x] :
         {std::pair{race_picture::kLeftPanel, 0}, std::pair{race_picture::kRightPanel, 626}}) {
        if (list == nullptr || picture >= list->Count()) continue;
        list->Items(picture).Draw(target, x, 0, 0);
    }
}

}  // namespace vrumbal
