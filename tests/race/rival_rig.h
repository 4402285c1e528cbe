// The shared game for the rivals' and pickups' tests, on pictures whose patterns read back.
#pragma once
#include <cstdint>

#include "race/pickups.h"
#include "race/player.h"
#include "race/race_screen.h"
#include "race/rivals.h"
#include "race/scroll_background.h"
#include "support/game_rig.h"

namespace vrumbal::test {

// Virtual-key code of the Up arrow.
inline constexpr int kKeyThrottle = kKeyUp;

// The colour (0x00RRGGBB) of pattern p of picture n in the test library.
std::uint32_t PatternColour(int picture, int pattern);
// The same as the drawing surface holds it.
std::uint16_t PatternPixel(int picture, int pattern);

// A game of its own with a race started at the given level; the level-start notice is open.
class RivalRig final : public GameRig {
public:
    // Writes the libraries and starts the game at fps frames per second with the given seed.
    explicit RivalRig(int level = 1, int fps = 85, std::uint64_t seed = 11);

    // The race's screen, the player's bike, the rivals, the pickups and the race's state.
    RaceScreen& Race() { return Form().RaceFlow(); }
    TPlayer& Bike() { return *Race().Bike(); }
    TCar& Rivals() { return *Race().Rivals(); }
    TBonus& Pickups() { return *Race().Pickups(); }
    RaceState& State() { return Form().Race(); }

    // Screen position of a world point.
    double ScreenX(double worldX);
    double ScreenY(double worldY);
    // World position of a screen point.
    double WorldX(double screenX) { return screenX - ScreenX(0); }
    double WorldY(double screenY) { return screenY - ScreenY(0); }
    // The drawn pixel at (x, y) of the last frame.
    std::uint16_t Pixel(int x, int y);
    // Stops rider r's random lane and pace changes for the rest of the test.
    void Steady(int r);
};

}  // namespace vrumbal::test
