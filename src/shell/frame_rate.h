// The speed factor and frame milliseconds that keep the game at its 85-frame pace at any rate.
#pragma once
#include <cstdint>

namespace vrumbal {

// The two numbers that keep the game at its 85-frames-per-second pace at any frame rate.
struct FramePace {
    double speedFactor = 1.0;  // 85 / the rate used; multiplies every per-frame movement
    std::int32_t frameMs = 15;  // whole milliseconds per frame; every countdown subtracts it
};

// Turns a measured frame rate and the monitor refresh into the pace. A rate close below the
// refresh, or well above it, counts as the refresh rate, since presenting waits for the
// vertical blank and the measurement jitters around it.
FramePace PaceForFrameRate(int measured, int refresh);

}  // namespace vrumbal
