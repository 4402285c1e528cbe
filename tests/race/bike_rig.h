// A headless game for the bike's tests: libraries with pictures of the sizes the race uses,
// sounds told apart by their length, a simulated clock and keys through the window's events.
#pragma once
#include <cstdint>
#include <memory>

#include "race/player.h"
#include "race/race_screen.h"
#include "race/scroll_background.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Virtual-key code of the space bar; the arrows and the rest are with the fake platform.
inline constexpr int kKeySpace = 0x20;

// Sizes of the test pictures of the bikes.
inline constexpr int kBikeWidth = 40;
inline constexpr int kBikeHeight = 80;
inline constexpr int kLeanPatterns = 6;

// What the fake sound output saw, by sound number; a buffer's IsPlaying answers for its sound.
using SoundLog = PlatformLog;

// Writes the game's libraries under root/Data/Res: list 2 holds the race's pictures at their
// numbers, sound n has n + 1 sample bytes.
void WriteRaceData(const std::filesystem::path& root);

// A game of its own with a race started at the given level on the given bike.
class BikeRig {
public:
    // Writes the libraries, starts the game at fps frames per second (the refresh is told the
    // same) and starts a race; the level-start notice is still open.
    explicit BikeRig(int fps = 85, int bike = 1, int level = 1);
    ~BikeRig();

    TMForm& Form() { return *form_; }
    RaceScreen& Race() { return form_->RaceFlow(); }
    TPlayer& Bike() { return *form_->RaceFlow().Bike(); }
    RaceState& State() { return form_->Race(); }
    GameState& Game() { return form_->State(); }
    SoundLog& Sounds() { return *sounds_; }
    // What the platform saw besides the sounds: the display and the desktop.
    PlatformLog& Log() { return *sounds_; }
    // Where the game's Data folder is.
    const std::filesystem::path& Root() const { return dir_.Path(); }

    // Runs n frames of the rig's rate.
    void Frames(int n);
    // Runs frames until the level-start notice has closed (at most five seconds).
    void PassLevelStart();
    // A key goes down / up before the next frame.
    void KeyDown(int vk);
    void KeyUp(int vk);
    // World pixel of the bike's centre.
    double WorldX();
    double WorldY();

private:
    TempDir dir_;
    std::unique_ptr<SoundLog> sounds_;
    std::unique_ptr<TMForm> form_;
    SimulatedClock* clock_ = nullptr;
    int fps_ = 85;
    FrameSteps steps_;
};

// Rival riders as plain data, for the contact and place tests.
class FakeRivals final : public BikeRivals {
public:
    std::array<RivalInfo, 6> riders{};  // 1..5
    std::array<int, 6> crashes{};       // CrashRider calls per rider

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
