// A headless game for the options and high-score screens: small libraries whose pictures tell
// by their width which one a sprite shows, a text renderer that records what is drawn with
// widths that depend on the font, sounds and songs that are counted, and a recording desktop.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal::test {

// Virtual-key codes the screens read besides the arrows and Escape.
inline constexpr int kKeyEnter = 0x0D;
inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyCtrl = 0x11;
inline constexpr int kKeyAlt = 0x12;
inline constexpr int kKeyF1 = 0x70;

// Width of a test picture that is not given a size of its own: 1000 + its number, so a
// sprite's Width tells which picture it shows.
int TestPictureWidth(int index);

// One text as the recording renderer saw it drawn.
struct DrawnText {
    int x;
    int y;
    std::string text;  // code page 1251
    FontSpec font;
};

// What the fake outputs saw.
struct RigLog final : PlatformLog {
    RigLog() = default;
    // Never copied: soundStarts names this log's own starts.
    RigLog(const RigLog&) = delete;
    RigLog& operator=(const RigLog&) = delete;
    std::map<int, int>& soundStarts = starts;  // sound number -> starts
    std::vector<DrawnText> drawn;              // texts drawn since the last ClearDrawn
};

// The renderer's widths: "W" is 2 x the point size wide, every other byte half the size.
// A line is as high as the point size.
int FakeTextWidth(const std::string& text, int pointSize);

// A game of its own, started and past the main menu's slide-in.
class ScreenRig {
public:
    ScreenRig();
    ~ScreenRig();

    TMForm& Form() { return *form_; }
    GameState& State() { return form_->State(); }
    RigLog& Log() { return *log_; }
    // The folder holding Data/.
    const std::filesystem::path& Root() const { return dir_.Path(); }

    // Runs n frames at 85 frames per second.
    void Frames(int n);
    // A key goes down with the given modifiers held, a frame runs, it goes up, a frame runs.
    void Tap(int vk, std::uint8_t shift = 0);
    // A key goes down (or up) with the given modifiers; no frame runs.
    void KeyDown(int vk, std::uint8_t shift = 0);
    void KeyUp(int vk, std::uint8_t shift = 0);
    // A typed character reaches the window.
    void Type(std::uint8_t ch);
    // The pointer moves to (x, y).
    void MouseTo(int x, int y);
    // A click where the pointer is.
    void Click();
    // Forgets the texts drawn so far.
    void ClearDrawn() { log_->drawn.clear(); }
    // The texts drawn in the given font slot's size and colour since the last ClearDrawn.
    std::vector<DrawnText> DrawnInSlot(int slot) const;
    // The width of the picture the entry's sprite shows, or -1 without a sprite.
    int EntryPictureWidth(int entry) const;

private:
    TempDir dir_;
    std::unique_ptr<RigLog> log_;
    std::unique_ptr<TMForm> form_;
    SimulatedClock* clock_ = nullptr;
};

}  // namespace vrumbal::test
