// The frame timer that runs the game's frames from the idle message loop and measures their rate.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace vrumbal {

// The frame timer: run from the message loop whenever it is idle, it calls OnTimer when at
// least Interval milliseconds have passed, measures the frame rate once a second, and rests
// while the application is in the background.
class TDXTimer final {
public:
    // A timer reading the given clock (not owned); enabled, active only, interval 1000.
    explicit TDXTimer(Clock& clock) : clock_(clock) {}
    TDXTimer(const TDXTimer&) = delete;
    TDXTimer& operator=(const TDXTimer&) = delete;

    // The frame callback; its argument is LagCount, at least 1.
    std::function<void(int lagCount)> OnTimer;
    // Called when the application becomes active.
    std::function<void()> OnActivate;
    // Called when the application goes to the background.
    std::function<void()> OnDeactivate;

    // Whether the timer runs at all.
    bool Enabled() const { return enabled_; }
    // Switches the timer on (a fresh start) or off; takes effect once the form has loaded.
    void SetEnabled(bool enabled);
    // Whether the timer rests while the application is not active.
    bool ActiveOnly() const { return activeOnly_; }
    // Sets the active-only rule and applies it at once.
    void SetActiveOnly(bool activeOnly);
    // Milliseconds between frames; 0 makes every idle pass a frame.
    int Interval() const { return interval_; }
    // Sets the interval (negative values count as 0).
    void SetInterval(int interval);
    // Frames per second of the last measuring window; 0 until the first one ends.
    int FramesPerSecond() const { return framesPerSecond_; }

    // The form has loaded: an enabled timer starts.
    void Loaded();
    // One idle pass of the message loop; returns true when it ran a frame.
    bool Idle();
    // The application became active.
    void Activate();
    // The application went to the background.
    void Deactivate();
    // True while idle passes may run frames (started and not resting).
    bool Running() const { return running_; }

private:
    void Start();
    void Stop();
    void Resume();
    void Suspend() { running_ = false; }

    Clock& clock_;                 // the millisecond clock (not owned)
    bool enabled_ = true;          // the timer should run
    bool activeOnly_ = true;       // rest while the application is inactive
    int interval_ = 1000;          // stored as max(value, 0)
    int framesPerSecond_ = 0;      // last measurement
    std::uint32_t lastTick_ = 0;   // time of the previous frame
    std::uint32_t rateStart_ = 0;  // start of the current measuring window
    int frameCount_ = 0;           // frames in the current measuring window
    bool loaded_ = false;          // the form has loaded
    bool started_ = false;         // started and not stopped since
    bool running_ = false;         // the idle handler is installed
    bool appActive_ = true;        // the application is in front
};

}  // namespace vrumbal
