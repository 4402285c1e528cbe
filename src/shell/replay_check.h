// Re-running a recorded game without drawing, sound or a display, to see whether it reaches
// the result it claims.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "game/replay.h"

namespace vrumbal {

// What a re-run of a replay came to.
struct ReplayCheck {
    std::string error;         // why it could not be re-run ("" when it was)
    std::int32_t score = 0;    // the score the re-run reached
    std::int32_t level = 0;    // the level it reached
    std::string name;          // the name it typed into the table (code page 1251)
    std::uint32_t frames = 0;  // frames it ran
    bool ended = false;        // the game reached its end on the last frame
    bool matches = false;      // all of it is what the replay claims
};

// Re-runs the replay on the game whose Data/ lies in dataRoot: the real game's logic, frame by
// frame as recorded, without drawing, sound or a display. A replay of another version or
// other content is not re-run (error says so).
// When the content's digest is known (a server checks many replays on the same content), it
// is taken as given.
ReplayCheck CheckReplay(const std::filesystem::path& dataRoot, const Replay& replay,
                        const Digest* content = nullptr);

// The digest of the game's content under dataRoot: its picture and sound libraries, each
// with its length first so that bytes cannot pass from one to the next. A library that cannot
// be read counts as empty, and its path is put in *unread.
Digest ContentDigestOf(const std::filesystem::path& dataRoot, std::string* unread = nullptr);

}  // namespace vrumbal
