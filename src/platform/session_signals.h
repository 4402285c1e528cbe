// Requests from outside the window to end the game in order, polled between frames.
#pragma once
#include <memory>

namespace vrumbal {

// Requests from outside the window to end the game in order: the desktop session ending, a
// terminal closed, `kill`. The game polls between frames; nothing runs inside a signal
// handler.
class SessionSignals {
public:
    virtual ~SessionSignals() = default;
    // True once such a request has arrived (and from then on).
    virtual bool EndRequested() = 0;
};

// SIGTERM, SIGINT and SIGHUP as end requests. Create it before any other thread starts (the
// threads inherit the blocked signals, so only this object ever sees them); the signals get
// their old meaning back when it goes. Without a signal descriptor the signals keep their
// usual meaning and EndRequested stays false.
std::unique_ptr<SessionSignals> CreateTerminationSignals();

}  // namespace vrumbal
