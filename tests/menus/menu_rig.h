// A headless game for the menu tests: picture libraries whose menu pictures have the game's
// sizes, sounds told apart by their length, a simulated clock, and keys and mouse through the
// window's events.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shell/main_form.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Virtual-key codes the menus read.
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyDown = 0x28;
inline constexpr int kKeyLeft = 0x25;
inline constexpr int kKeyRight = 0x27;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyNo = 'N';

// What the fake sound output and desktop saw.
struct MenuLog {
    std::map<int, int> sounds;        // sound number -> starts
    std::vector<std::string> songs;   // paths of the songs loaded, in order
    int songsFreed = 0;               // songs freed
    std::vector<std::string> opened;  // targets handed to the desktop
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
    MenuLog& Log() { return *log_; }
    // Starts of sound n so far.
    int Sounds(int n) { return log_->sounds[n]; }

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
    std::unique_ptr<MenuLog> log_;
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
