// A headless run of the real game, for tools and tests: its options and the run itself.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

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
};

// Runs the real game from start-up under SDL's dummy drivers and a simulated clock: script
// events before each frame, a trace line and shots after it. Returns the process status: 0
// when the run ended (after its frames or because the game quit), 1 when start-up failed,
// with the reason in error.
int RunHeadless(const HeadlessRunOptions& options, std::string& error);

}  // namespace vrumbal
