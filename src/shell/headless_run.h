// A headless run of the real game, for tools and tests: its options and the run itself.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "game/replay.h"
#include "shell/play_script.h"

namespace vrumbal {

// How a headless run of the real game is set up.
struct HeadlessRunOptions {
    std::filesystem::path dataRoot = ".";  // the folder holding Data/
    int fps = 85;                          // frames per simulated second
    int refresh = 85;                      // monitor refresh the game is told
    long frames = 850;                     // frames to run at most
    std::optional<std::uint64_t> seed;     // random seed (else the simulated clock's 0)
    PlayScript script;                     // scripted events and shots
    std::filesystem::path shotsDir;        // where shots go (empty: none)
    std::filesystem::path traceFile;       // per-frame JSON trace (empty: none)
    bool startRace = false;                // start a race right after start-up
    int level = 1;                         // the level that race begins at
    int bike = 1;                          // the bike it is ridden on
    std::filesystem::path recordFile;      // the game's replay goes here (empty: nowhere)
    std::optional<Replay> replay;          // a replay played instead of the script's game
    long shotEvery = 0;                    // a shot every this many frames (0: the script's)
    bool autopilot = false;                // the autopilot rides every race
    std::optional<std::string> name;       // typed (code page 1251) when the name entry opens
    bool draw = true;                      // frames are drawn (shots need them)
    std::string language = "ru";           // the language spoken, whatever the environment says
};

// Runs the real game from start-up under SDL's dummy drivers and a simulated clock: script
// events before each frame, a trace line and shots after it. With a replay, the game plays it
// from start-up on, as watched in the window, and the run ends with it. With a record file,
// the game started (by the script or the start of a race) is recorded there when it ends, or
// as cut off when the run does. Returns the process status: 0 when the run ended (after its
// frames or because the game quit), 1 when start-up failed or the replay cannot be played on
// this game, with the reason in error.
int RunHeadless(const HeadlessRunOptions& options, std::string& error);

}  // namespace vrumbal
