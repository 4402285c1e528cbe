// A recorded game played back frame by frame: what each frame was given, and how the
// playback stands.
#pragma once
#include <cstdint>
#include <span>

#include "game/replay.h"

namespace vrumbal {

// Why a replay is played back: to watch it in the game's window (the player can leave it),
// or to re-run it without drawing to check its result.
enum class PlaybackKind : std::uint8_t { Watch, Check };

// Plays one replay: the form asks it for the next frame until it is done.
class ReplayPlayer final {
public:
    // A playback of the replay for the given purpose.
    ReplayPlayer(Replay replay, PlaybackKind kind) : replay_(std::move(replay)), kind_(kind) {}

    // Why it is played.
    PlaybackKind Kind() const { return kind_; }
    // True once every frame has run and the events after the last one have been handed over.
    bool Done() const { return FramesDone() && trailingHandedOver_; }
    // True once every frame has run.
    bool FramesDone() const { return next_ >= replay_.frames.size(); }
    // Frames run so far.
    std::size_t FramesRun() const { return next_; }
    // The next frame to run (only while not done).
    const ReplayFrame& Next() const { return replay_.frames[next_]; }
    // The events that come before it.
    std::span<const ReplayEvent> EventsOf(const ReplayFrame& frame) const {
        return {replay_.events.data() + frame.firstEvent, frame.eventCount};
    }
    // The events that came after the last frame.
    std::span<const ReplayEvent> TrailingEvents() const {
        return {replay_.events.data() + (replay_.events.size() - replay_.trailingEvents),
                replay_.trailingEvents};
    }
    // The next frame has run.
    void Advance() { ++next_; }
    // The events after the last frame have been handed to the game.
    void TrailingHandedOver() { trailingHandedOver_ = true; }
    // The game ended (its result is in, or it went back to the menu) while playing back.
    void MarkEnded() { ended_ = true; }
    // True when the game ended.
    bool Ended() const { return ended_; }

private:
    Replay replay_;                    // what is played
    PlaybackKind kind_;                // why
    std::size_t next_ = 0;             // the next frame's index
    bool ended_ = false;               // the game reached its end
    bool trailingHandedOver_ = false;  // the events after the last frame were handed over
};

}  // namespace vrumbal
