// The race screen: a game's levels, the race frame, and the bike's reports turned into dialogs.
#pragma once
#include <functional>

#include "game/screen.h"
#include "race/player.h"

namespace vrumbal {

class GameHost;
class TPointer;
class TScrollBackground;
class TBonus;
class TCar;

// The parts of the race that come from elsewhere: pickups, rivals and the head-up display.
// Each hook may be empty.
struct RaceHooks {
    std::function<void()> createPickups;  // the pickups' sprite of a new race
    std::function<void()> createRivals;   // the rivals' sprite, after the bike exists
    std::function<void()> placePickups;   // pickups on a new or repeated level
    std::function<void()> placeRivals;    // rivals on a new or repeated level
    std::function<void()> killSprites;    // marks the pickups and rivals dead
};

// The race screen: starts a game and its levels, runs the race frame (keys to the bike, the
// speedometer, the clock, the road window and its scroll), and turns the bike's reports at
// the end of a level into the tally, time-up or game-over dialog.
class RaceScreen final : public Screen, public BikeRace {
public:
    // Time limit ticks sound in the last this many milliseconds.
    static constexpr int kTickWindowMs = 10000;

    // A race screen of the form; nothing exists until StartRace. Fills the hooks of the
    // pickups and the rivals.
    explicit RaceScreen(GameHost& host);

    // Starts a game at the given level: road, needle and bike, three lives, no score, the
    // level-start notice.
    void StartRace(int level = 1);
    // Sets the level's values and generates its track.
    void StartLevel(int level) override;
    // One frame of the race while no dialog is open.
    void RaceFrame(int lagCount);
    // Removes the race's sprites and leaves the screen (ScreenKind 0).
    void StopRaceSprites();

    // Screen.
    void Frame(int lagCount) override { RaceFrame(lagCount); }
    void Activate(int) override {}

    // BikeRace.
    void LevelWon() override;
    void LevelTimedOut() override;
    void LivesGone() override;
    void PlacePickups() override;
    void PlaceRivals() override;

    // True while a race's sprites exist.
    bool Running() const { return bike_ != nullptr; }
    // The bike, or null between races.
    TPlayer* Bike() const { return bike_; }
    // The road, or null between races.
    TScrollBackground* Road() const { return road_; }
    // The speedometer needle, or null between races (or without its picture).
    TPointer* Needle() const { return needle_; }
    // The pickups, or null between races.
    TBonus* Pickups() const { return pickups_; }
    // The rival riders, or null between races.
    TCar* Rivals() const { return rivals_; }

    // The angle the needle shows for the bike's speed and engine state.
    static int NeedleAngleFor(double speed, bool shifting);

    // The parts supplied from elsewhere.
    RaceHooks Hooks;

private:
    void RunClock();

    GameHost& host_;                     // the form whose state the race runs on
    TScrollBackground* road_ = nullptr;  // owned by the sprite engine
    TPointer* needle_ = nullptr;         // owned by the sprite engine
    TPlayer* bike_ = nullptr;            // owned by the sprite engine
    TBonus* pickups_ = nullptr;          // owned by the sprite engine
    TCar* rivals_ = nullptr;             // owned by the sprite engine
    bool clockRan_ = false;              // the clock went down in the previous frame
};

}  // namespace vrumbal
