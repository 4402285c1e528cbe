// The recording of a game as it is played: its start, each frame's input, lag and pace, and
// what reached it between frames, until the game ends.
#pragma once
#include <cstdint>
#include <string>

#include "game/replay.h"

namespace vrumbal {

// Records one game. The form starts it at the start of a race, tells it every event and
// frame, and finishes it when the game ends.
class GameRecorder final {
public:
    // A recording of a game that starts as start says (its frames and result are ignored).
    explicit GameRecorder(Replay start);

    // Something reached the game before the next frame.
    void Event(const ReplayEvent& event);
    // The width answer the last typed character got from the name entry.
    void AnswerLastChar(bool fits);
    // One frame ran with this input, lag and pace.
    void Frame(std::uint64_t input, int lag, int frameMs, double speedFactor);
    // The whole replay with its claimed result; events after the last frame are kept as its
    // trailing events.
    Replay Finish(bool finished, std::int32_t score, std::int32_t level, const std::string& name);

private:
    Replay replay_;              // what has been recorded
    std::uint32_t pending_ = 0;  // events since the last frame
};

}  // namespace vrumbal
