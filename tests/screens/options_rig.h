// The shared game for the options and high-score screens, with texts recorded as drawn.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "support/game_rig.h"

namespace vrumbal::test {

// Width of a test picture that is not given a size of its own: 1000 + its number, so a
// sprite's Width tells which picture it shows.
int TestPictureWidth(int index);

// One text as the recording renderer saw it drawn.
struct DrawnText {
    int x;             // left
    int y;             // top
    std::string text;  // code page 1251
    FontSpec font;     // as asked for
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
class ScreenRig final : public GameRig {
public:
    // Writes small libraries whose pictures tell by their width which one a sprite shows, and
    // songs, and starts the game.
    ScreenRig();

    // The game's state, which the screens live in.
    GameState& State() { return Game(); }
    // What the fake outputs saw and the texts drawn: the RigLog this rig gave the base.
    RigLog& Log() { return static_cast<RigLog&>(GameRig::Log()); }

    // A key goes down with the given modifiers held, a frame runs, it goes up, a frame runs.
    void Tap(int vk, std::uint8_t shift = 0);
    // Forgets the texts drawn so far.
    void ClearDrawn() { Log().drawn.clear(); }
    // The texts drawn in the given font slot's size and colour since the last ClearDrawn.
    std::vector<DrawnText> DrawnInSlot(int slot);
    // The width of the picture the entry's sprite shows, or -1 without a sprite.
    int EntryPictureWidth(int entry);
};

}  // namespace vrumbal::test
