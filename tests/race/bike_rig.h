// The shared game for the bike's tests, with a race on pictures of the race's sizes.
#pragma once
#include <array>

#include "race/player.h"
#include "race/race_screen.h"
#include "race/scroll_background.h"
#include "support/game_rig.h"

namespace vrumbal::test {

// Writes the game's libraries under root/Data/Res: list 2 holds the race's pictures at their
// numbers, sound n has n + 1 sample bytes.
void WriteRaceData(const std::filesystem::path& root);

// A game of its own with a race started at the given level on the given bike.
class BikeRig final : public GameRig {
public:
    // Writes the libraries, starts the game at fps frames per second (the refresh is told the
    // same) and starts a race; the level-start notice is still open.
    explicit BikeRig(int fps = 85, int bike = 1, int level = 1);

    // The race's screen, the player's bike and the race's state.
    RaceScreen& Race() { return Form().RaceFlow(); }
    TPlayer& Bike() { return *Race().Bike(); }
    RaceState& State() { return Form().Race(); }
    // What the fake sound output saw; a buffer's IsPlaying answers for its whole sound.
    PlatformLog& Sounds() { return Log(); }
    // World pixel of the bike's centre.
    double WorldX();
    double WorldY();
};

// Rival riders as plain data, for the contact and place tests.
class FakeRivals final : public BikeRivals {
public:
    std::array<RivalInfo, 6> riders{};  // 1..5
    std::array<int, 6> crashes{};       // CrashRider calls per rider

    // What the bike asks of the riders and tells them, on the data above.
    RivalInfo Rider(int r) const override { return riders.at(static_cast<std::size_t>(r)); }
    void SetRiderTouching(int r, bool touching) override { At(r).touching = touching; }
    void SetRiderSpeed(int r, double speed) override { At(r).speed = speed; }
    void SetRiderHeading(int r, double heading) override { At(r).heading = heading; }
    void SetRiderHitCount(int r, int count) override { At(r).hitCount = count; }
    void CrashRider(int r) override {
        At(r).crashed = true;
        ++crashes.at(static_cast<std::size_t>(r));
    }
    // Places rider r as a 20 x 40 box centred on the world point.
    void Place(int r, double worldX, double worldY);

private:
    RivalInfo& At(int r) { return riders.at(static_cast<std::size_t>(r)); }
};

}  // namespace vrumbal::test
