// The frame timer's steps: starting and resting, frames run from idle passes, and the frame rate
// counted once a second.
#include "engine/frame_timer.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vrumbal {

void TDXTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!loaded_) return;
    if (enabled_) {
        Start();
    } else {
        Stop();
    }
}

void TDXTimer::SetActiveOnly(bool activeOnly) {
    activeOnly_ = activeOnly;
    if (!started_) return;
    const bool shouldRun = !activeOnly_ || appActive_;
    if (shouldRun && !running_) Resume();
    if (!shouldRun && running_) Suspend();
}

void TDXTimer::SetInterval(int interval) {
    interval_ = std::max(interval, 0);
}

void TDXTimer::Loaded() {
    loaded_ = true;
    if (enabled_) Start();
}

void TDXTimer::Start() {
    Stop();
    if (!activeOnly_ || appActive_) Resume();
    started_ = true;
}

void TDXTimer::Stop() {
    Suspend();
    // A stopped timer stays quiet through activation changes until it is started again.
    started_ = false;
}

void TDXTimer::Resume() {
    // The pause does not count as lag: the next frame measures from now.
    lastTick_ = rateStart_ = clock_.NowMs();
    running_ = true;
}

bool TDXTimer::Idle() {
    if (!running_) return false;
    const std::uint32_t now = clock_.NowMs();
    // Unsigned differences stay right when the 32-bit millisecond count wraps.
    const std::uint32_t sinceLast = now - lastTick_;
    if (sinceLast < static_cast<std::uint32_t>(interval_)) return false;
    const std::uint32_t lag = sinceLast / static_cast<std::uint32_t>(std::max(interval_, 1));
    lastTick_ = now;

    ++frameCount_;
    const std::uint32_t elapsed = std::max<std::uint32_t>(now - rateStart_, 1);
    if (elapsed >= 1000) {
        framesPerSecond_ =
            static_cast<int>(std::nearbyint(frameCount_ * 1000.0 / static_cast<double>(elapsed)));
        frameCount_ = 0;
        rateStart_ = now;
    }

    const int lagCount = static_cast<int>(std::min<std::uint32_t>(lag, INT_MAX));
    if (OnTimer) OnTimer(lagCount > 0 ? lagCount : 1);
    return true;
}

void TDXTimer::Activate() {
    appActive_ = true;
    if (OnActivate) OnActivate();
    if (started_ && activeOnly_) Resume();
}

void TDXTimer::Deactivate() {
    appActive_ = false;
    if (OnDeactivate) OnDeactivate();
    if (started_ && activeOnly_) Suspend();
}

}  // namespace vrumbal
