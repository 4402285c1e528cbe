// The head-up display: the level, clock, score, lives, speed and place texts, and the side panels.
#pragma once
#include <string>

namespace vrumbal {

class TCanvas;
class TDXDraw;
class TPictureCollection;
class GameHost;
class TPlayer;
struct RaceState;

// The level line of the top-right panel: "УРОВЕНЬ 5 / 10", or the pattern translated.
std::string HudLevelText(int level, const std::string& pattern = "УРОВЕНЬ %d / 10");
// The race clock: minutes and seconds, each with a leading zero below 10 ("01 : 05").
std::string HudClockText(int timeLeftMs);
// The lives count; a negative count shows as "0".
std::string HudLivesText(int lives);
// The speed in km/h shown for an engine speed: Round(speed x 1.9), "0" unless moving forward.
std::string HudSpeedText(double speed);
// The race place among the racers ("2/6").
std::string HudPlaceText(int place, int racerCount);

// Draws the head-up display (level, clock, score, lives, speed, place) onto the panels.
void DrawHud(TCanvas& canvas, const RaceState& race, double bikeSpeed,
             const std::string& levelPattern = "УРОВЕНЬ %d / 10");
// Draws the head-up display of the form's race; the speed is 0 while no bike exists.
void DrawHud(GameHost& host, const TPlayer* bike);

// Draws the two side panels of the head-up display (pictures of the race list, when it has
// them) at the screen's edges.
void DrawSidePanels(TDXDraw& target, TPictureCollection* list);

}  // namespace vrumbal
