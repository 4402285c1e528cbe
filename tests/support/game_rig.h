// The headless game the test rigs share, and the race's test pictures.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/library_data.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Sizes of the test pictures of the bikes.
inline constexpr int kBikeWidth = 40;
inline constexpr int kBikeHeight = 80;
inline constexpr int kLeanPatterns = 6;

// List 2 with the race's pictures at their numbers in sizes like the game's, one colour each.
PictureLibraryData RacePictures();

// Writes picture lists 1 to 3 and the numbered sounds under root/Data/Res, and with songs a
// menu and a race song under root/Data/Music.
void WriteGameData(const std::filesystem::path& root, const std::vector<std::uint8_t>& list1,
                   const std::vector<std::uint8_t>& list2, const std::vector<std::uint8_t>& list3,
                   bool songs = false);

// A game of its own; a rig writes its data under Root() and then creates the game.
class GameRig {
public:
    // Frames run at fps frames per second; log is where the platform records what it saw.
    explicit GameRig(int fps = 85,
                     std::unique_ptr<PlatformLog> log = std::make_unique<PlatformLog>());
    virtual ~GameRig();

    // The game and its state, as the tests drive and read them.
    TMForm& Form() { return *form_; }
    GameState& Game() { return form_->State(); }
    // What the platform saw: sounds, songs, the desktop and the display where there is one.
    PlatformLog& Log() { return *log_; }
    // Starts of sound n so far.
    int Starts(int sound) { return log_->starts[sound]; }
    // The folder holding Data/.
    const std::filesystem::path& Root() const { return dir_.Path(); }

    // Runs n frames.
    void Frames(int n);
    // Runs frames while the given dialog stays open (at most limit); returns the frames run.
    int FramesWhileOpen(int kind, int limit = 20000);
    // Runs frames until the level-start notice has closed (at most five seconds).
    void PassLevelStart();
    // Runs frames until the main menu's slide-in has ended (at most 200); returns the frames run.
    int PassIntro();
    // Starts a race at the given level on the selected bike; the level-start notice is open.
    void StartRace(int level = 1) { form_->StartRace(level); }

    // A key goes down / up with the given modifiers before the next frame.
    void KeyDown(int vk, std::uint8_t shift = 0);
    void KeyUp(int vk, std::uint8_t shift = 0);
    // A key goes down, one frame runs, the key goes up.
    void Tap(int vk, std::uint8_t shift = 0);
    // Characters in code page 1251 reach the window as typed.
    void Type(std::uint8_t ch);
    void Type(const std::string& cp1251);
    // Enter typed.
    void Enter() { Type(13); }
    // The pointer moves to (x, y).
    void MoveMouse(int x, int y);
    // The pointer moves to (x, y), a frame runs, and it clicks (or double-clicks) there.
    void Click(int x, int y);
    void DoubleClick(int x, int y);

protected:
    // Recording audio and desktop over the log and the clock, for a rig to fit out.
    PlatformBundle RecordingPlatform(PlayingState playing = PlayingState::kPerBuffer);
    // Creates the game over the data under Root() and runs its start-up.
    void Create(PlatformBundle platform, std::uint64_t seed);
    // A rig's own bookkeeping before every frame, such as forgetting the last frame's texts.
    virtual void BeforeFrame() {}

private:
    TempDir dir_;                       // the game's folder
    std::unique_ptr<PlatformLog> log_;  // outlives the form, whose platform writes to it
    std::unique_ptr<TMForm> form_;      // null until Create
    SimulatedClock* clock_ = nullptr;   // the form's, advanced by Frames
    int fps_;                           // frames a second
    FrameSteps steps_;                  // the time between frames at fps_
};

}  // namespace vrumbal::test
