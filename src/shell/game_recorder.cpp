// A game's recording put together frame by frame.
#include "shell/game_recorder.h"

#include <utility>

namespace vrumbal {

GameRecorder::GameRecorder(Replay start) : replay_(std::move(start)) {
    replay_.frames.clear();
    replay_.events.clear();
    replay_.trailingEvents = 0;
}

void GameRecorder::Event(const ReplayEvent& event) {
    replay_.events.push_back(event);
    ++pending_;
}

void GameRecorder::AnswerLastChar(bool fits) {
    if (pending_ == 0) return;
    ReplayEvent& last = replay_.events.back();
    if (last.type != ReplayEvent::Type::Char) return;
    last.fit = fits ? ReplayEvent::Fit::Fits : ReplayEvent::Fit::TooWide;
}

void GameRecorder::Frame(std::uint64_t input, int lag, int frameMs, double speedFactor) {
    ReplayFrame frame;
    frame.input = input;
    frame.lag = lag;
    frame.frameMs = frameMs;
    frame.speedFactor = speedFactor;
    frame.firstEvent = static_cast<std::uint32_t>(replay_.events.size() - pending_);
    frame.eventCount = pending_;
    replay_.frames.push_back(frame);
    pending_ = 0;
}

Replay GameRecorder::Finish(bool finished, std::int32_t score, std::int32_t level,
                            const std::string& name) {
    replay_.trailingEvents = pending_;
    replay_.finished = finished;
    replay_.score = score;
    replay_.level = level;
    replay_.name = name.substr(0, kReplayMaxNameBytes);
    pending_ = 0;
    return std::move(replay_);
}

}  // namespace vrumbal
