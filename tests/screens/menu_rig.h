// A headless game for the menu tests: picture libraries whose menu pictures have the game's
// sizes, sounds told apart by their length, a simulated clock, and keys and mouse through the
// window's events.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Virtual-key code of the answer No.
inline constexpr int kKeyNo = 'N';

// What the fake sound output and desktop saw, as it stands when asked.
struct MenuLog {
    const std::vector<std::string>& songs;   // paths of the songs loaded, in order
    int songsFreed = 0;                      // songs freed
    const std::vector<std::string>& opened;  // targets handed to the desktop
};

// Writes the libraries and songs under root: list 1 holds the menu pictures at their numbers
// and sizes, list 2 the race's and the bonus pictures; sound n has n + 1 sample bytes.
void WriteMenuData(const std::filesystem::path& root);

// A game of its own, started and running at 85 frames per second.
class MenuRig {
public:
    // Writes the data and runs start-up; the slide-in has just begun. With realText the
    // TrueType renderer draws and measures the texts, otherwise there is no text.
    explicit MenuRig(bool realText = false);
    ~MenuRig();

    TMForm& Form() { return *form_; }
    GameState& State() { return form_->State(); }
    // The log as it stands now; ask again after frames have run.
    MenuLog Log() const {
        return {log_->songs, static_cast<int>(log_->songsFreed.size()), log_->opened};
    }
    // Starts of sound n so far.
    int Sounds(int n) { return log_->starts[n]; }

    // Runs n frames.
    void Frames(int n);
    // Runs frames until the slide-in has ended (at most 200); returns the frames run.
    int PassIntro();
    // A key goes down, one frame runs, the key goes up.
    void Tap(int vk);
    // The key goes down / up before the next frame.
    void KeyDown(int vk);
    void KeyUp(int vk);
    // Enter typed.
    void Enter();
    // The pointer moves to (x, y).
    void Mouse(int x, int y);
    // The pointer moves to (x, y), a frame runs, and it clicks (or double-clicks) there.
    void Click(int x, int y);
    void DoubleClick(int x, int y);
    // Live (not dying) sprites of type T under the engine root.
    template <class T>
    std::vector<T*> Live();

private:
    TempDir dir_;
    std::unique_ptr<PlatformLog> log_;
    std::unique_ptr<TMForm> form_;
    SimulatedClock* clock_ = nullptr;
};

template <class T>
std::vector<T*> MenuRig::Live() {
    std::vector<T*> found;
    TSpriteEngine& engine = form_->MDXSpriteEngine.Engine();
    for (int i = 0; i < engine.ChildCount(); ++i) {
        auto* s = dynamic_cast<T*>(engine.Child(i));
        if (s != nullptr && !s->Killed()) found.push_back(s);
    }
    return found;
}

}  // namespace vrumbal::test
