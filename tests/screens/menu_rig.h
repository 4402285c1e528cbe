// The shared game for the menu tests, on menu pictures of the game's sizes, with songs.
#pragma once
#include <string>
#include <vector>

#include "support/game_rig.h"

namespace vrumbal::test {

// What the fake sound output and desktop saw, as it stands when asked.
struct MenuLog {
    const std::vector<std::string>& songs;   // paths of the songs loaded, in order
    int songsFreed = 0;                      // songs freed
    const std::vector<std::string>& opened;  // targets handed to the desktop
};

// A game of its own, started and running at 85 frames per second.
class MenuRig final : public GameRig {
public:
    // Writes the data and runs start-up; the slide-in has just begun. With realText the
    // TrueType renderer draws and measures the texts, otherwise there is no text.
    explicit MenuRig(bool realText = false);

    // The game's state, which the menus live in.
    GameState& State() { return Game(); }
    // The log as it stands now; ask again after frames have run.
    MenuLog Log() {
        const PlatformLog& log = GameRig::Log();
        return {log.songs, static_cast<int>(log.songsFreed.size()), log.opened};
    }
    // Starts of sound n so far.
    int Sounds(int n) { return Starts(n); }
    // Live (not dying) sprites of type T under the engine root.
    template <class T>
    std::vector<T*> Live();
};

template <class T>
std::vector<T*> MenuRig::Live() {
    std::vector<T*> found;
    TSpriteEngine& engine = Form().MDXSpriteEngine.Engine();
    for (int i = 0; i < engine.ChildCount(); ++i) {
        auto* s = dynamic_cast<T*>(engine.Child(i));
        if (s != nullptr && !s->Killed()) found.push_back(s);
    }
    return found;
}

}  // namespace vrumbal::test
