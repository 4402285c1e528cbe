// A headless game for the rivals' and pickups' tests: libraries with pictures of the race's
// sizes (each pattern its own colour, so the drawn frame can be read back), sounds told apart
// by their length, a simulated clock and keys through the window's events.
#pragma once
#include <cstdint>
#include <memory>

#include "race/pickups.h"
#include "race/player.h"
#include "race/race_screen.h"
#include "race/rivals.h"
#include "race/scroll_background.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Virtual-key code of the Up arrow.
inline constexpr int kKeyThrottle = kKeyUp;

// The colour (0x00RRGGBB) of pattern p of picture n in the test library.
std::uint32_t PatternColour(int picture, int pattern);
// The same as the drawing surface holds it.
std::uint16_t PatternPixel(int picture, int pattern);

// A game of its own with a race started at the given level; the level-start notice is open.
class RivalRig {
public:
    explicit RivalRig(int level = 1, int fps = 85, std::uint64_t seed = 11);
    ~RivalRig();

    TMForm& Form() { return *form_; }
    RaceScreen& Race() { return form_->RaceFlow(); }
    TPlayer& Bike() { return *Race().Bike(); }
    TCar& Rivals() { return *Race().Rivals(); }
    TBonus& Pickups() { return *Race().Pickups(); }
    RaceState& State() { return form_->Race(); }
    GameState& Game() { return form_->State(); }
    int Starts(int sound) { return sounds_->starts[sound]; }

    // Runs n frames of the rig's rate.
    void Frames(int n);
    // Runs frames until the level-start notice has closed.
    void PassLevelStart();
    void KeyDown(int vk);
    void KeyUp(int vk);
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

private:
    TempDir dir_;
    std::unique_ptr<PlatformLog> sounds_;
    std::unique_ptr<TMForm> form_;
    SimulatedClock* clock_ = nullptr;
    int fps_ = 85;
    FrameSteps steps_;
};

}  // namespace vrumbal::test
